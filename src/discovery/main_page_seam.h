#pragma once
// What discovery asks of the main page: enabling its maintenance buttons when a scan
// finds an adapter that supports them, finishing a cleared station table, and redrawing
// its lists. The GUI implements it; tests record the calls; the command-line front end
// fills in what it needs. Every call comes on the thread that runs the scans.

#include <functional>
#include <vector>

namespace zv {

class MainPageSeam {
 public:
  virtual ~MainPageSeam() = default;
  // The firmware upgrade button (a HomePlug AV or Turbo local adapter was found).
  virtual void enable_upgrade_button() = 0;
  // The factory reset button (a HomePlug AV local adapter was found).
  virtual void enable_reset_button() = 0;
  // clear_station_table (scan_stations.h) has taken the current NIC's stations out of use
  // and purged the device records without a MAC: the page saves the state and deletes
  // every row of its device list.
  virtual void station_table_cleared() = 0;
  // Redraw both lists from the NIC records and the current NIC's station block and take
  // over new stations. `phase`: 1 during the scan cycle, 7 after its full scan, or the
  // cycle's current phase when a HomePlug 1.0 statistics answer arrived.
  virtual void refresh_main_page(int phase) = 0;
};

// No page: every call does nothing.
class SilentMainPage final : public MainPageSeam {
 public:
  void enable_upgrade_button() override {}
  void enable_reset_button() override {}
  void station_table_cleared() override {}
  void refresh_main_page(int) override {}
};

// Remembers every call, for tests.
class RecordingMainPage final : public MainPageSeam {
 public:
  void enable_upgrade_button() override { upgradeEnabled += 1; }
  void enable_reset_button() override { resetEnabled += 1; }
  void station_table_cleared() override { tableCleared += 1; }
  void refresh_main_page(int phase) override {
    refreshes.push_back(phase);
    if (onRefresh) onRefresh(phase);
  }

  int upgradeEnabled = 0;
  int resetEnabled = 0;
  int tableCleared = 0;
  std::vector<int> refreshes;  // the phases, in order
  // Runs after a refresh was recorded (a test can act as the page would).
  std::function<void(int phase)> onRefresh;
};

}  // namespace zv
