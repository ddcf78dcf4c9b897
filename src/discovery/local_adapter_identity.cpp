#include "discovery/local_adapter_identity.h"

#include <algorithm>
#include <string_view>

#include "discovery/device_records.h"
#include "discovery/fixed_text.h"
#include "discovery/hp10_answers.h"
#include "discovery/hp10_frames.h"
#include "discovery/local_adapter_nmk.h"
#include "security/key_derivation.h"
#include "state/known_devices.h"

namespace zv {

namespace {

// Bytes 14..21 of a status block: the adapter's network key.
constexpr std::size_t kStatusBlockKeyAt = 14;

bool all_zero(std::span<const std::uint8_t> key) {
  return std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0; });
}

// Where a rule's name goes: the record (when there is one) and the technology's network.
class NameTargets {
 public:
  NameTargets(DeviceRecord* record, std::span<char> network) : record_(record), network_(network) {}
  // "Both names".
  void both(std::string_view name) {
    if (record_ != nullptr) set_fixed_text(record_->networkName, name);
    set_fixed_text(network_, name);
  }
  void network_only(std::string_view name) { set_fixed_text(network_, name); }
  void record_key(const NetworkKey& key) {
    if (record_ != nullptr) record_->key = key;
  }

 private:
  DeviceRecord* record_;
  std::span<char> network_;
};

// pendingNetworkName: the private network page has just set the current NIC's network.
// true when it was taken.
bool take_pending_name(Discovery& d, NameTargets& names, const NetworkKey& key) {
  if (d.state.pendingNetworkName == 0) return false;
  names.both(fixed_text(d.current_block().networkName));
  names.record_key(key);
  d.state.pendingNetworkName = 0;
  return true;
}

// find_network_by_key for a key that was read; its name in networkNameBuffer.
bool named_by_other_record(Discovery& d, const NetworkKey& key, std::string_view technology) {
  return !all_zero(key) && find_network_by_key(d.state, key.data(), technology) != 0;
}

NetworkKey hp10_key_of(const Hp10Network& network) {
  NetworkKey key{};
  std::copy(network.key.begin(), network.key.end(), key.begin());
  return key;
}

bool is_hp10_default_key(const NetworkKey& key) {
  return std::any_of(kHp10DefaultKeys.begin(), kHp10DefaultKeys.end(), [&key](const Hp10Key& k) {
    return std::equal(k.begin(), k.end(), key.begin());
  });
}

// A record seen for the first time (or none): named after the record that holds its key,
// else the technology's default network, else unknown; the record takes the key.
void name_new_record(Discovery& d, NameTargets& names, const NetworkKey& key, bool isDefault,
                     std::string_view defaultName, std::string_view technology) {
  if (named_by_other_record(d, key, technology))
    names.both(fixed_text(d.state.networkNameBuffer));
  else if (isDefault)
    names.both(defaultName);
  else
    names.both(kUnknownNetworkName);
  names.record_key(key);
}

}  // namespace

LocalAdapterRecord local_adapter_record(Discovery& d) {
  MacAddress mac{};
  d.transport.local_adapter_mac(mac.data());
  // No adapter on the current NIC: a record for the zero MAC would name no device.
  if (is_zero_mac(mac.data())) return {};
  if (const int known = find_device_by_mac(d.state, mac.data()))
    return {&d.state.deviceRecords[static_cast<std::size_t>(known - 1)], false};
  const int made = create_device_record(d.state, mac);
  if (made == 0) return {};
  return {&d.state.deviceRecords[static_cast<std::size_t>(made - 1)], true};
}

void name_av_network(Discovery& d, const LocalAdapterRecord& local) {
  DiscoveryState& s = d.state;
  MacAddress mac{};
  d.transport.local_adapter_mac(mac.data());
  NetworkKey key{};  // stays zero when the block cannot be read
  read_local_nmk(d, mac.data(), key);
  s.avNetwork.nmk = key;

  NameTargets names(local.record, s.avNetwork.name);
  DeviceRecord* record = local.record;
  // Without a record nothing would find the name just taken again: it stands.
  if (take_pending_name(d, names, key) && record == nullptr) return;
  const bool isDefault = key == kAvDefaultNmk;
  if (record == nullptr || local.isNew) {
    name_new_record(d, names, key, isDefault, kAvDefaultNetworkPassword, "AV");
    return;
  }
  const NetworkKey stored = record->key;
  if (isDefault) {
    names.both(kAvDefaultNetworkPassword);
  } else if (!all_zero(key) && key == stored) {
    names.network_only(fixed_text(record->networkName));
  } else if (named_by_other_record(d, key, "AV")) {
    names.both(fixed_text(s.networkNameBuffer));
    names.record_key(key);
  } else if (s.keepNameOnce != 0) {
    s.keepNameOnce = 0;
  } else {
    names.both(kUnknownNetworkName);
  }
}

void name_hp10_network(Discovery& d, const LocalAdapterRecord& local) {
  DiscoveryState& s = d.state;
  if (s.local_adapter_is_turbo) {
    send_turbo_query(d.transport, kTurboQueryKey);
    process_answers_100ms(d);
  } else {
    std::copy_n(s.statusBlock50.begin() + kStatusBlockKeyAt, kHp10KeySize,
                s.hp10Network.key.begin());
  }
  const NetworkKey key = hp10_key_of(s.hp10Network);

  NameTargets names(local.record, s.hp10Network.name);
  DeviceRecord* record = local.record;
  if (take_pending_name(d, names, key) && record == nullptr) return;
  const bool isDefault = is_hp10_default_key(key);
  const char* technology = s.local_adapter_is_turbo ? "Turbo" : "AV";
  if (record == nullptr || local.isNew) {
    name_new_record(d, names, key, isDefault, kHp10DefaultNetworkPassword, technology);
    return;
  }
  const NetworkKey stored = record->key;
  if (isDefault) {
    names.both(kHp10DefaultNetworkPassword);
  } else if (!all_zero(key) &&
             std::equal(key.begin(), key.begin() + kHp10KeySize, stored.begin())) {
    names.network_only(fixed_text(record->networkName));
  } else if (named_by_other_record(d, key, technology)) {
    names.both(fixed_text(s.networkNameBuffer));
    names.record_key(key);
  } else {
    names.both(kUnknownNetworkName);
  }
}

}  // namespace zv
