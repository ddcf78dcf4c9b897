#include "state/device_list_seam.h"

namespace zv {

void StoredListLayout::apply_list_layout(const ListLayout& applied) {
  layout = applied;
  // A list takes its widths from their low 16 bits.
  for (auto& width : layout.columnWidths)
    width = static_cast<std::int16_t>(static_cast<std::uint32_t>(width) & 0xFFFF);
}

}  // namespace zv
