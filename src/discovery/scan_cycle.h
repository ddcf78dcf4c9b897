#pragma once
// The scan cycle: the system's main loop once a local adapter was found. A periodic tick
// steps through phases 0..6 that send the technology's discovery and statistics requests,
// drains the HomePlug 1.0 and Turbo answers on every tick, and ends each cycle by ageing
// the stations, scanning all NICs again and refreshing the main page.
//
// A cycle at timer unit U: phase 0 for U ticks, phase 1 on the tick that ends it, phases
// 2..5 on the next four ticks, phase 6 for U ticks, then ageing, full scan, refresh(7),
// phase 0 again: 2 × U + 4 ticks, for U = 1 too (each of phases 1..5 acts on a tick of
// its own; the tick count never ends one of them before it acted). A phase whose NIC has
// no present local adapter (and phase 3 without a NIC address) does nothing and lasts U
// ticks. The period is U × 10 / 7 ms (integer division): 42 ms for the default unit 30.
//
// Operations that need the NICs for themselves hold the cycle:
//     const int token = cycle.suspend_auto_scan(0);  ...  cycle.suspend_auto_scan(token);
// (or ScanHold below); nested holds keep the outer one.

#include <cstdint>

#include "discovery/discovery.h"
#include "discovery/scan_timer.h"

namespace zv {

inline constexpr std::int32_t kDefaultTimerUnit = 30;
// The retry count the main page passes to start_scan.
inline constexpr std::uint16_t kMainPageScanRetries = 3;

// Phases of a cycle (scanPhase).
enum ScanPhase : std::int32_t {
  kPhaseWait = 0,           // timerUnit ticks
  kPhaseStatus = 1,         // status and broadcast statistics requests, refresh(1)
  kPhaseStations = 2,       // statistics request to every listed station
  kPhaseDiscovery = 3,      // AV remote discovery / Turbo rates / HomePlug 1.0 network stats
  kPhaseIdentify = 4,       // Turbo identification broadcast, status request
  kPhaseInitialStatus = 5,  // status request with selector 16
  kPhaseSettle = 6,         // timerUnit ticks
  kPhaseFullScan = 7,       // ageing, scan_all_nics, refresh(7); then phase 0
};

// timerUnit × 10 / 7, integer division.
constexpr std::uint32_t scan_timer_period_ms(std::int32_t unit) {
  return unit < 1 ? 0u : static_cast<std::uint32_t>(unit) * 10u / 7u;
}

class ScanCycle {
 public:
  // Both must outlive the cycle. Nothing starts until start_scan or restart_scan_timer.
  ScanCycle(Discovery& d, PeriodicTimer& timer);
  // Stops the timer, so no tick reaches a destroyed cycle.
  ~ScanCycle();
  ScanCycle(const ScanCycle&) = delete;
  ScanCycle& operator=(const ScanCycle&) = delete;

  // --- state ---
  TimerId scanTimerId = 0;  // the running timer; 0 when none was ever made or making failed
  std::int32_t timerUnit = kDefaultTimerUnit;  // ticks of phases 0 and 6; sets the period
  // The cycle's phase, 0..7. Kept in the discovery state, because a HomePlug 1.0
  // statistics answer passes it to the main page's refresh.
  std::int32_t& scanPhase;
  std::int32_t tickCount = 0;          // ticks counted in the current phase
  std::int32_t autoScanSuspended = 0;  // set: ticks do nothing (unless refreshRequested)
  // Set by the main page's rescan: ticks run even while suspended, up to and including
  // the cycle's next full scan, which clears it.
  std::int32_t refreshRequested = 0;

  // --- operations ---
  // Stops the timer, closes the NICs and runs scan_all_nics; then timerUnit := unit
  // (raised to 1), the missesTillDrop start value := retries clamped to 1..10, and the
  // auto-scan flag applied with suspend_auto_scan(autoScan). Starts the cycle at phase 1
  // when a local adapter was found. Returns scan_all_nics' result (1 found, 0 not).
  std::uint8_t start_scan(std::uint16_t unit, std::uint16_t retries, int autoScan);
  // tickCount := 0, scanPhase := 1, stops the old timer and starts a new one with the
  // period of timerUnit calling scan_timer_tick. Returns the new id (0: none made).
  TimerId restart_scan_timer();
  // Stops the timer when scanTimerId is not 0; scanTimerId keeps its value.
  void stop_scan_timer();
  // autoScanSuspended := !token; returns the negation of its former value, that is 1
  // when the cycle was running. Passing the result back restores the former state.
  int suspend_auto_scan(int token);
  // One tick: nothing while suspended without a refresh request; else drains the
  // HomePlug 1.0 and Turbo answers, counts the tick, runs the full scan when phase 7 is
  // reached, then run_phase.
  void scan_timer_tick();
  // The current phase's action on the current NIC (see ScanPhase); advances to the next
  // phase when it acted. Sets header_version from the NIC's adapter kind first.
  void run_phase();
  // Ages the current NIC's stations (age_stations in scan_stations.h).
  void age_stations();

  std::uint32_t period_ms() const { return scan_timer_period_ms(timerUnit); }

 private:
  void send_status(std::uint8_t selector);
  void enter_phase(std::int32_t phase);

  Discovery& d_;
  PeriodicTimer& timer_;
  // The current phase (1..5) was entered by restart_scan_timer or by the previous
  // phase's action and has not had its tick yet: the tick count must not end it before
  // it acts. Only matters for timerUnit 1, where every tick reaches the count.
  bool actionDue_ = false;
};

// Holds the cycle for its lifetime: suspend_auto_scan(0) now, the token back at the end.
class ScanHold {
 public:
  explicit ScanHold(ScanCycle& cycle) : cycle_(cycle), token_(cycle.suspend_auto_scan(0)) {}
  ~ScanHold() { cycle_.suspend_auto_scan(token_); }
  ScanHold(const ScanHold&) = delete;
  ScanHold& operator=(const ScanHold&) = delete;

 private:
  ScanCycle& cycle_;
  int token_;
};

}  // namespace zv
