#pragma once
// What the state operations need of the GUI's device list: its saved layout and the
// removal of a device's row. The GUI implements it; the command-line front end and tests
// use StoredListLayout, which only keeps the values.

#include <array>
#include <cstdint>
#include <string>

#include "base/mac.h"

namespace zv {

inline constexpr int kDeviceListColumns = 5;

// The device list's layout as the state file stores it.
struct ListLayout {
  // Display order of columns 0-4. Every column is inserted at position 1, so the list
  // starts as name, password, quality, rate, MAC.
  std::array<std::int32_t, kDeviceListColumns> columnOrder{0, 4, 3, 2, 1};
  std::array<std::int32_t, kDeviceListColumns> columnWidths{140, 120, 70, 80, 110};  // pixels
  std::int32_t sortDirection = 1;  // both 1 after the preferences are loaded
  std::int32_t sortColumn = 1;
};

class DeviceListSeam {
 public:
  virtual ~DeviceListSeam() = default;
  // The order and widths as the list shows them now, and its sort.
  virtual ListLayout list_layout() const = 0;
  // Applies what the state file held: order, widths (from their low 16 bits) and sort.
  virtual void apply_list_layout(const ListLayout& layout) = 0;
  // Deletes the row of that MAC, if there is one.
  virtual void remove_device_row(const MacAddress& mac) = 0;
};

// A list as the user left it: the row selection that delete_selected_device reads.
class SelectableList {
 public:
  virtual ~SelectableList() = default;
  // Up to 80 bytes of `column` of the first selected row into `text`; the row index + 1,
  // or 0 when no row is selected.
  virtual int selected_row_text(int column, std::string& text) const = 0;
};

// Keeps the layout without showing anything.
class StoredListLayout final : public DeviceListSeam {
 public:
  ListLayout list_layout() const override { return layout; }
  void apply_list_layout(const ListLayout& applied) override;
  void remove_device_row(const MacAddress&) override {}

  ListLayout layout;
};

}  // namespace zv
