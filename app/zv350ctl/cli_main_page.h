#pragma once
// The main page as the command-line front end plays it: no lists to draw, but new
// stations become device records and known ones are marked as seen, as the page's
// refresh does, so that a later `devices` listing and the GUI find them.

#include <cstdint>
#include <functional>

#include "discovery/discovery.h"
#include "discovery/main_page_seam.h"

namespace zv {

class CliMainPage final : public MainPageSeam {
 public:
  CliMainPage(Discovery& discovery, std::function<std::int64_t()> now)
      : d_(discovery), now_(std::move(now)) {}

  void enable_upgrade_button() override {}
  void enable_reset_button() override {}
  void station_table_cleared() override {}
  void refresh_main_page(int phase) override;

  int fullScans = 0;  // refreshes after a cycle's full scan

 private:
  Discovery& d_;
  std::function<std::int64_t()> now_;
};

}  // namespace zv
