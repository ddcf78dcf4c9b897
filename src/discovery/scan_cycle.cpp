#include "discovery/scan_cycle.h"

#include <algorithm>

#include "discovery/av_discovery.h"
#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "discovery/local_adapter_scan.h"
#include "discovery/scan_stations.h"

namespace zv {

ScanCycle::ScanCycle(Discovery& d, PeriodicTimer& timer)
    : scanPhase(d.state.scanPhase), d_(d), timer_(timer) {}

ScanCycle::~ScanCycle() { stop_scan_timer(); }

std::uint8_t ScanCycle::start_scan(std::uint16_t unit, std::uint16_t retries, int autoScan) {
  stop_scan_timer();
  d_.transport.close_all_nics();
  const std::uint8_t found = scan_all_nics(d_);
  // A unit of 0 would never end phases 0 and 6 and tick without pause.
  timerUnit = std::max<std::int32_t>(unit, 1);
  d_.state.missesTillDrop = misses_till_drop_for(retries);
  suspend_auto_scan(autoScan);
  if (found) restart_scan_timer();
  return found;
}

void ScanCycle::enter_phase(std::int32_t phase) {
  tickCount = 0;
  scanPhase = phase;
  actionDue_ = phase >= kPhaseStatus && phase <= kPhaseInitialStatus;
}

TimerId ScanCycle::restart_scan_timer() {
  enter_phase(kPhaseStatus);
  stop_scan_timer();
  scanTimerId = timer_.start(period_ms(), [this] { scan_timer_tick(); });
  return scanTimerId;
}

void ScanCycle::stop_scan_timer() {
  if (scanTimerId != 0) timer_.stop(scanTimerId);
}

int ScanCycle::suspend_auto_scan(int token) {
  const int former = autoScanSuspended;
  autoScanSuspended = token == 0 ? 1 : 0;
  return former == 0 ? 1 : 0;
}

void ScanCycle::scan_timer_tick() {
  if (autoScanSuspended != 0 && refreshRequested == 0) return;
  process_hp10_answers(d_);
  tickCount += 1;
  // "At least": a phase that was due to act but could not has counted past the unit.
  if (tickCount >= timerUnit && !actionDue_) {
    tickCount = 0;
    scanPhase += 1;
  }
  if (scanPhase >= kPhaseFullScan) {
    age_stations();
    scan_all_nics(d_);
    d_.main_page().refresh_main_page(kPhaseFullScan);
    enter_phase(kPhaseWait);
    refreshRequested = 0;
  }
  run_phase();
}

void ScanCycle::send_status(std::uint8_t selector) {
  Transport& t = d_.transport;
  const NicRecord& record = t.current_nic_record();
  MacAddress source{};
  t.nic_source_mac(source.data());
  if (record.present == 0 || record.adapterKind == kAdapterGeneric || is_zero_mac(source.data()))
    return;
  send_status_request(t, t.currentNic, source.data(), kBroadcastMac.data(), selector);
}

void ScanCycle::run_phase() {
  Transport& t = d_.transport;
  const DiscoveryState& s = d_.state;
  const NicRecord& record = t.current_nic_record();
  actionDue_ = false;
  d_.vendor.header_version = record.adapterKind > kAdapterAvFirstFamily ? kLongHeaderVersion : 0;
  if (record.present == 0) return;

  const int nic = t.currentNic;
  MacAddress source{};
  t.nic_source_mac(source.data());
  const bool turbo = s.local_adapter_is_turbo != 0;
  switch (scanPhase) {
    case kPhaseStatus:
      if (!turbo)
        send_status(record.statusValid != 0 ? kStatusSelectorValid : kStatusSelectorInitial);
      send_statistics_request(t, nic, source.data(), kBroadcastMac.data());
      d_.main_page().refresh_main_page(kPhaseStatus);
      break;
    case kPhaseStations:
      for (const StationEntry& entry : d_.current_block().stations)
        if (entry.inUse != 0) send_statistics_request(t, nic, source.data(), entry.mac.data());
      break;
    case kPhaseDiscovery: {
      if (is_zero_mac(source.data())) return;
      const MacAddress local = record.localMac;
      if (turbo)
        turbo_rates_round(d_, local.data());
      else if (s.local_adapter_is_av != 0)
        discover_av_stations(d_, local.data());
      else
        send_network_stats_request(t, nic, source.data(), kBroadcastMac.data());
      break;
    }
    case kPhaseIdentify: {
      const std::uint8_t none[] = {0};
      send_turbo_request(t, kBroadcastMac.data(), kTurboIdentification, none, sizeof none);
      if (!turbo && record.statusValid != 0) send_status(kStatusSelectorValid);
      break;
    }
    case kPhaseInitialStatus:
      if (!turbo) send_status(kStatusSelectorInitial);
      break;
    default:
      return;
  }
  enter_phase(scanPhase + 1);
}

void ScanCycle::age_stations() { zv::age_stations(d_); }

}  // namespace zv
