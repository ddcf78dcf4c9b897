#include "discovery/local_adapter_scan.h"

#include <algorithm>
#include <string>

#include "discovery/chip_table.h"
#include "discovery/fixed_text.h"
#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "discovery/local_adapter_identity.h"
#include "discovery/scan_stations.h"
#include "discovery/vendor_request.h"

namespace zv {

namespace {

constexpr int kPresenceTries = 3;
constexpr std::uint8_t kMissesBeforeWithdrawal = 3;

bool valid_nic(int n) { return n >= 0 && n < kMaxNics; }

// Puts currentNic back when a walk over the NICs ends.
class CurrentNicKeeper {
 public:
  explicit CurrentNicKeeper(Transport& t) : t_(t), remembered_(t.currentNic) {}
  ~CurrentNicKeeper() { t_.currentNic = remembered_; }
  CurrentNicKeeper(const CurrentNicKeeper&) = delete;
  CurrentNicKeeper& operator=(const CurrentNicKeeper&) = delete;
  int remembered() const { return remembered_; }

 private:
  Transport& t_;
  int remembered_;
};

// What a GET_VERSION answer tells about the local adapter of NIC `nic`, which answered
// on NIC `answerNic`.
void take_av_identity(Discovery& d, int nic, int answerNic, const VendorResult& answer) {
  DiscoveryState& s = d.state;
  Transport& t = d.transport;
  if (valid_nic(answerNic))
    t.nicRecords[static_cast<std::size_t>(answerNic)].localMac = answer.sourceMac;

  const std::uint8_t code = answer.payload[kVersionChipCodeAt];
  const ChipRow* chip = chip_for_code(code);
  set_fixed_text(s.chipName, chip != nullptr ? chip->chipName : "");
  if (code == kChipCodeLongHeader) d.vendor.header_version = kLongHeaderVersion;

  const std::size_t length =
      std::min<std::size_t>(answer.payload[kVersionTextLengthAt], kVersionTextSize);
  const std::string_view text = fixed_text(
      std::span(reinterpret_cast<const char*>(answer.payload.data() + kVersionTextAt), length));
  // The chip-named text starts at the family prefix; firmwareText keeps what precedes it.
  const std::string named = chip_named_version(code, text);
  const std::string whole = std::string(text.substr(0, text.size() - named.size())) + named;
  set_fixed_text(s.firmwareText, whole);
  set_fixed_text(s.stationBlocks[static_cast<std::size_t>(nic)].firmwareVersion, named);

  NicRecord& record = t.nicRecords[static_cast<std::size_t>(nic)];
  record.statusValid = 1;
  record.present = 1;
  record.adapterKind = chip != nullptr ? chip->adapterKind : kAdapterAvFirstFamily;
}

// Step 6 of the scan: what every NIC's station block shows of its local adapter.
void copy_into_station_blocks(Discovery& d, bool av) {
  DiscoveryState& s = d.state;
  Transport& t = d.transport;
  for (int i = 0; i < t.nicCount && i < kMaxNics; ++i) {
    const auto n = static_cast<std::size_t>(i);
    StationBlock& block = s.stationBlocks[n];
    const NicRecord& record = t.nicRecords[n];
    block.nicMac = t.captureSlots[n].mac;
    block.localPresent = record.present;
    if (record.present == 0) continue;
    block.localKind = record.adapterKind;
    block.localMac = record.localMac;
    if (av) {
      block.networkKey = s.avNetwork.nmk;
      set_fixed_text(block.networkName, fixed_text(s.avNetwork.name));
    } else {
      NetworkKey key{};
      std::copy(s.hp10Network.key.begin(), s.hp10Network.key.end(), key.begin());
      block.networkKey = key;
      set_fixed_text(block.networkName, fixed_text(s.hp10Network.name));
    }
  }
}

}  // namespace

std::uint8_t scan_all_nics(Discovery& d) {
  Transport& t = d.transport;
  DiscoveryState& s = d.state;
  t.close_all_nics();
  for (NicRecord& record : t.nicRecords) record.present = 0;
  t.open_all_nics();
  s.local_adapter_is_turbo = 0;
  s.local_adapter_is_av = 0;

  const bool av = detect_av_adapters(d) != 0;
  bool turbo = false;
  bool found = av;
  if (av) {
    d.main_page().enable_upgrade_button();
    d.main_page().enable_reset_button();
  } else {
    turbo = detect_turbo_adapters(d) != 0;
    if (turbo) d.main_page().enable_upgrade_button();
    found = turbo || detect_hp10_adapters(d) != 0;
  }
  if (!found) {
    clear_station_table(d);
    return 0;
  }

  // Identify the current NIC's adapter, when it has one: another NIC's find leaves the
  // current NIC without an adapter, and a record for no device would be wrong.
  const NicRecord& current = t.current_nic_record();
  const bool identifiable = current.present != 0 && !is_zero_mac(current.localMac.data());
  const LocalAdapterRecord local = identifiable ? local_adapter_record(d) : LocalAdapterRecord{};
  const bool plainHp10 = !av && !turbo;
  // A plain HomePlug 1.0 adapter's key comes from its status block, which the scan
  // cycle asks for: until one was seen, names and station blocks stay as they were.
  if (plainHp10 && s.statusBlockSeen == 0) return 1;
  if (identifiable) {
    if (av)
      name_av_network(d, local);
    else
      name_hp10_network(d, local);
  }
  copy_into_station_blocks(d, av);
  return 1;
}

int probe_av_adapter(Discovery& d, VendorResult* answer) {
  d.vendor.confirmation_seen = 0;
  send_vendor_request(d, kAvLocalManagementMac.data(), mmtype::GET_VERSION);
  VendorResult local;
  d.vendor.wait_confirmation(mmtype::GET_VERSION, answer != nullptr ? *answer : local);
  return d.vendor.confirmation_seen;
}

int detect_av_adapters(Discovery& d) {
  Transport& t = d.transport;
  const CurrentNicKeeper keeper(t);
  int found = 0;
  for (int i = 0; i < t.nicCount && i < kMaxNics; ++i) {
    t.currentNic = i;
    VendorResult probe;
    if (!probe_av_adapter(d, &probe)) continue;
    const int probeNic = t.lastFrameNic;
    found = 1;
    if (i == keeper.remembered()) d.state.local_adapter_is_av = 1;
    send_vendor_request(d, kAvLocalManagementMac.data(), mmtype::GET_VERSION);
    VendorResult version;
    // When the second answer does not come, the probe's own answer identifies it.
    if (d.vendor.wait_confirmation(mmtype::GET_VERSION, version))
      take_av_identity(d, i, t.lastFrameNic, version);
    else
      take_av_identity(d, i, probeNic, probe);
  }
  return found;
}

int probe_turbo_adapter(Discovery& d) {
  d.state.turboFound = 0;
  const std::uint8_t none[] = {0};
  send_turbo_request(d.transport, kBroadcastMac.data(), kTurboIdentification, none, sizeof none);
  process_answers_100ms(d);
  return d.state.turboFound;
}

int detect_turbo_adapters(Discovery& d) {
  Transport& t = d.transport;
  const CurrentNicKeeper keeper(t);
  int found = 0;
  for (int i = 0; i < t.nicCount && i < kMaxNics; ++i) {
    t.currentNic = i;
    if (!probe_turbo_adapter(d)) continue;
    found = 1;
    if (i == keeper.remembered()) d.state.local_adapter_is_turbo = 1;
    send_turbo_query(t, kTurboQueryFirmware);
    process_answers_100ms(d);
    NicRecord& record = t.nicRecords[static_cast<std::size_t>(i)];
    record.adapterKind = kAdapterTurbo;
    record.statusValid = 1;
    record.present = 1;
  }
  return found;
}

int send_presence_request(Discovery& d, int nic) {
  if (!valid_nic(nic)) return 0;
  Transport& t = d.transport;
  const auto n = static_cast<std::size_t>(nic);
  const MacAddress& localMac = t.nicRecords[n].localMac;
  const MacAddress& source = is_zero_mac(localMac.data()) ? t.captureSlots[n].mac : localMac;
  return send_network_stats_request(t, nic, source.data(), kBroadcastMac.data());
}

int detect_hp10_adapters(Discovery& d) {
  Transport& t = d.transport;
  for (int i = 0; i < t.nicCount && i < kMaxNics; ++i) {
    NicRecord& record = t.nicRecords[static_cast<std::size_t>(i)];
    bool answered = false;
    for (int attempt = 0; attempt < kPresenceTries && !answered; ++attempt) {
      send_presence_request(d, i);
      // 50, 150, 250 ms.
      answered =
          t.wait_for_self_addressed_frame(i, static_cast<std::uint32_t>(100 * attempt + 50)) != 0;
      if (answered) record.missCount = 0;
    }
    if (!answered && record.missCount == kMissesBeforeWithdrawal) {
      record.missCount = 0;
      record.present = 0;
    } else {
      record.missCount = static_cast<std::uint8_t>(record.missCount + 1);
    }
  }
  for (int i = 0; i < t.nicCount && i < kMaxNics; ++i)
    if (t.nicRecords[static_cast<std::size_t>(i)].present != 0) return 1;
  return 0;
}

}  // namespace zv
