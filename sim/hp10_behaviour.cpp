#include "sim/hp10_behaviour.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>

#include "base/bytes.h"
#include "sim/checksums.h"

namespace zv::sim {

namespace {

enum EntryType : std::uint8_t {
  kTurboRequest = 0x02,
  kKeyConfirmation = 0x06,
  kStatisticsRequest = 0x07,
  kStatisticsAnswer = 0x08,
  kSetKey = 0x04,
  kLoader = 0x10,
  kTurboQuery = 0x12,
  kTurboQueryAnswer = 0x13,
  kTurboRemoteSetKey = 0x14,
  kStatus = 0x19,
  kNetworkStatistics = 0x1A,
  kParameters = 0x1F,
};

constexpr std::uint8_t kIdentify = 0x10, kRates = 0x18, kAnswerBit = 0x80;
constexpr std::uint8_t kFirmwareText = 0x20, kKeyText = 0x21, kEnterLoader = 0x67;
constexpr std::uint8_t kWriteChunk = 0x81, kCommit = 0x82, kChecksum = 0x83, kVerify = 0x84,
                       kHardwareReset = 0x7F;
constexpr std::size_t kMaxStatisticsRecords = 15;
constexpr std::size_t kMaxRateRecords = 15;
constexpr std::size_t kMaxLoaderChunk = 1024;

std::uint32_t get_be32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}
void put_be32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint16_t clamp16(double value) {
  return static_cast<std::uint16_t>(std::lround(std::clamp(value, 0.0, 65535.0)));
}

// The statistics answer's rate unit: the program reads Mbps as raw / 42 × 1.14345 − 0.12979.
std::uint16_t hp10_rate_value(double mbps) {
  return clamp16((mbps + 0.12978912978912938) / 1.1434511434511434 * 42.0);
}

// The Turbo rate unit: y = raw / 42 on a piecewise scale up to 85 Mbps.
std::uint16_t turbo_rate_value(double mbps) {
  double y;
  if (mbps <= 6.0) y = mbps;
  else if (mbps <= 14.0) y = (mbps - 6.0) / 8.0 * 6.357142857142858 + 6.0;
  else y = (mbps - 14.0) / 71.0 * 54.59523809523809 + 12.357142857142858;
  return clamp16(y * 42.0);
}

bool same8(std::span<const std::uint8_t> a, const Key& b) {
  return a.size() >= 8 && std::equal(a.begin(), a.begin() + 8, b.begin());
}

Key key8(std::span<const std::uint8_t> bytes) {
  Key key{};
  std::copy_n(bytes.begin(), 8, key.begin());
  return key;
}

void append_counted(std::vector<std::uint8_t>& out, const std::string& text) {
  const std::size_t n = std::min<std::size_t>(text.size(), 80);
  out.push_back(static_cast<std::uint8_t>(n));
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

// "x.y" anywhere in a firmware text gives the identification's version numbers.
std::pair<std::uint8_t, std::uint8_t> version_numbers(const std::string& text) {
  for (std::size_t i = 0; i + 2 < text.size(); ++i)
    if (std::isdigit(static_cast<unsigned char>(text[i])) && text[i + 1] == '.' &&
        std::isdigit(static_cast<unsigned char>(text[i + 2])))
      return {static_cast<std::uint8_t>(text[i] - '0'), static_cast<std::uint8_t>(text[i + 2] - '0')};
  return {1, 8};
}

}  // namespace

const Hp10Behaviour::Route Hp10Behaviour::kRoutes[] = {
    {kNetworkStatistics, &Hp10Behaviour::network_statistics},
    {kStatus, &Hp10Behaviour::status},
    {kStatisticsRequest, &Hp10Behaviour::station_statistics},
    {kSetKey, &Hp10Behaviour::set_key},
    {kParameters, &Hp10Behaviour::parameters},
    {kTurboRequest, &Hp10Behaviour::turbo_request},
    {kTurboQuery, &Hp10Behaviour::turbo_query},
    {kTurboRemoteSetKey, &Hp10Behaviour::turbo_remote_set_key},
    {kLoader, &Hp10Behaviour::loader_command},
};

bool Hp10Behaviour::reachable(const SimulatedAdapter& station) const {
  const SimulatedAdapter* local = segment_.local();
  return &station != local && !station.is_av() && !station.config().faults.silent &&
         station.same_network(*local);
}

std::vector<SimulatedAdapter*> Hp10Behaviour::addressed(const MacAddress& destination, bool turboOnly) {
  std::vector<SimulatedAdapter*> out;
  const bool broadcast = destination == kBroadcastMac;
  SimulatedAdapter* local = segment_.local();
  for (SimulatedAdapter& adapter : segment_.adapters()) {
    if (turboOnly && adapter.family() != Family::Turbo) continue;
    if (!broadcast && destination != adapter.mac()) continue;
    if (&adapter == local || reachable(adapter)) out.push_back(&adapter);
  }
  return out;
}

void Hp10Behaviour::answer(SimulatedAdapter& from, const Frame&, std::vector<std::uint8_t> frame) {
  PowerlineSegment::answer(from, std::move(frame), answers_);
}

std::vector<Answer> Hp10Behaviour::handle(std::span<const std::uint8_t> bytes) {
  SimulatedAdapter* local = segment_.local();
  if (local == nullptr || local->is_av() || local->config().faults.silent) return {};
  const auto request = hp10::parse(bytes);
  if (!request) return {};
  for (const hp10::Entry& entry : request->entries) {
    // The loader speaks nothing but the upgrade entries, and only the loader speaks them.
    if (local->in_loader() != (entry.type == kLoader)) continue;
    const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                    [&](const Route& r) { return r.type == entry.type; });
    if (route != std::end(kRoutes)) (this->*route->handler)(*request, entry);
  }
  return std::move(answers_);
}

// Answer: 17 kind (bit 7 clear), 18-19 zero, 20-21 and 22-23 counters, from 24 up to 15
// records {MAC, rate (LE), two counters (LE)} of the stations in the local network.
void Hp10Behaviour::network_statistics(const Frame& request, const hp10::Entry& entry) {
  SimulatedAdapter& local = *segment_.local();
  if (entry.data.empty() || (entry.data[0] & kAnswerBit) == 0) return;
  if (request.destination != kBroadcastMac && request.destination != local.mac()) return;
  std::vector<std::uint8_t> data(7, 0);
  data[0] = static_cast<std::uint8_t>(local.config().hp10Kind & 0x7F);
  put_le16(data.data() + 3, 0x0100);
  put_le16(data.data() + 5, 0x0100);
  std::size_t records = 0;
  for (SimulatedAdapter& station : segment_.adapters()) {
    if (&station == &local || station.is_av() || !station.same_network(local)) continue;
    if (records++ == kMaxStatisticsRecords) break;
    std::uint8_t record[12] = {};
    std::copy(station.mac().begin(), station.mac().end(), record);
    put_le16(record + 6, hp10_rate_value(station.config().phyRateMbps));
    put_le16(record + 8, 0x0100);
    put_le16(record + 10, 0x0100);
    data.insert(data.end(), std::begin(record), std::end(record));
  }
  answer(local, request, hp10::FrameBuilder(request.source, local.mac()).entry(kNetworkStatistics, data).finish());
}

// Answer: 16 length 0x33, 17 block kind (1 for selector 0, 2 for selector 16), 18..67 the
// block: 0-5 MAC, 6-13 key slot 0, 14-21 network key.
void Hp10Behaviour::status(const Frame& request, const hp10::Entry& entry) {
  SimulatedAdapter& local = *segment_.local();
  if (request.destination != kBroadcastMac && request.destination != local.mac()) return;
  const std::uint8_t selector = entry.data.empty() ? 0 : entry.data[0];
  std::vector<std::uint8_t> data(51, 0);
  data[0] = selector == 16 ? 2 : 1;
  std::uint8_t* block = data.data() + 1;
  std::copy(local.mac().begin(), local.mac().end(), block);
  std::copy_n(local.slot0_key().begin(), 8, block + 6);
  std::copy_n(local.network_key().begin(), 8, block + 14);
  answer(local, request, hp10::FrameBuilder(request.source, local.mac()).entry(kStatus, data).finish());
}

void Hp10Behaviour::station_statistics(const Frame& request, const hp10::Entry&) {
  for (SimulatedAdapter* adapter : addressed(request.destination, false))
    answer(*adapter, request,
           hp10::FrameBuilder(request.source, adapter->mac())
               .entry(kStatisticsAnswer, {0x00, 0x10, 0x00, 0x10})
               .finish());
}

std::vector<std::uint8_t> Hp10Behaviour::confirm_key(const SimulatedAdapter& from, const Frame& request) {
  return hp10::FrameBuilder(request.source, from.mac()).entry(kKeyConfirmation, {kSetKey, 0x00}).finish();
}

// Entry data: key select, 8 key bytes. Slot 0 holds a station's device key; the next
// slot 1 key after it is handed on encrypted under it, to the station (or every station
// when sent to the broadcast address) holding that device key. A slot 1 key sent to the
// broadcast address or to the local adapter is also the local adapter's own.
void Hp10Behaviour::set_key(const Frame& request, const hp10::Entry& entry) {
  if (entry.data.size() < 9) return;
  SimulatedAdapter& local = *segment_.local();
  const Key key = key8(entry.data.subspan(1));
  const MacAddress& to = request.destination;
  const bool toLocal = to == kBroadcastMac || to == local.mac();
  if (entry.data[0] == 0) {
    local.set_slot0_key(key);
    segment_.slot0Armed_ = true;
    if (toLocal) answer(local, request, confirm_key(local, request));
    return;
  }
  if (entry.data[0] != 1) return;
  if (toLocal) {
    local.set_network_key(key);
    answer(local, request, confirm_key(local, request));
  }
  if (segment_.slot0Armed_ && to != local.mac()) {
    for (SimulatedAdapter& station : segment_.adapters()) {
      if (&station == &local || station.is_av() || station.config().faults.silent) continue;
      if (to != kBroadcastMac && to != station.mac()) continue;
      if (!same8(std::span<const std::uint8_t>(local.slot0_key()), station.device_key())) continue;
      station.set_network_key(key);
      answer(station, request, confirm_key(station, request));
    }
  }
  segment_.slot0Armed_ = false;
}

void Hp10Behaviour::parameters(const Frame&, const hp10::Entry& entry) {
  if (entry.data.size() < 3) return;
  segment_.local()->writes().hp10Parameters.push_back({entry.data[0], entry.data[1], entry.data[2]});
}

// Turbo extension: data 00 04 87, selector, arguments. 0x10 identification (local adapter
// and Turbo stations), 0x18 rates (local adapter).
void Hp10Behaviour::turbo_request(const Frame& request, const hp10::Entry& entry) {
  const auto d = entry.data;
  if (d.size() < 4 || !std::equal(d.begin(), d.begin() + 3, hp10::kTurboOui) || (d[3] & kAnswerBit))
    return;
  SimulatedAdapter& local = *segment_.local();
  const std::vector<std::uint8_t> oui(hp10::kTurboOui, hp10::kTurboOui + 3);
  if (d[3] == kIdentify) {
    for (SimulatedAdapter* adapter : addressed(request.destination, true)) {
      const auto [major, minor] = version_numbers(adapter->config().versionText);
      std::vector<std::uint8_t> data = oui;
      const std::uint8_t remote = adapter == &local ? 0 : 1;
      data.insert(data.end(), {static_cast<std::uint8_t>(kIdentify | kAnswerBit), remote, 0, 0, major, minor});
      append_counted(data, adapter->config().manufacturer);
      append_counted(data, adapter->config().model);
      answer(*adapter, request, hp10::FrameBuilder(request.source, adapter->mac()).entry(kTurboRequest, data).finish());
    }
  } else if (d[3] == kRates && local.family() == Family::Turbo &&
             (request.destination == local.mac() || request.destination == kBroadcastMac)) {
    std::vector<std::uint8_t> data = oui;
    data.push_back(static_cast<std::uint8_t>(kRates | kAnswerBit));
    std::size_t records = 0;
    for (SimulatedAdapter& station : segment_.adapters()) {
      if (&station == &local || station.is_av() || !station.same_network(local)) continue;
      if (records++ == kMaxRateRecords) break;
      std::uint8_t record[14] = {};
      std::copy(station.mac().begin(), station.mac().end(), record);
      put_be16(record + 6, turbo_rate_value(station.config().phyRateMbps));
      data.insert(data.end(), std::begin(record), std::end(record));
    }
    answer(local, request, hp10::FrameBuilder(request.source, local.mac()).entry(kTurboRequest, data).finish());
  }
}

// Turbo query, data: selector. 0x20 firmware text and 0x21 key (answered with 0x13),
// 0x67 restart into the loader (not answered).
void Hp10Behaviour::turbo_query(const Frame& request, const hp10::Entry& entry) {
  if (entry.data.empty()) return;
  const std::uint8_t selector = entry.data[0];
  for (SimulatedAdapter* adapter : addressed(request.destination, true)) {
    std::vector<std::uint8_t> data{selector};
    if (selector == kFirmwareText) {
      const std::string& text = adapter->config().versionText;
      data.insert(data.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(text.size(), 64)));
    } else if (selector == kKeyText) {
      data.push_back(1);
      data.insert(data.end(), adapter->network_key().begin(), adapter->network_key().begin() + 8);
    } else if (selector == kEnterLoader && adapter == segment_.local()) {
      adapter->set_in_loader(true);
      ++adapter->writes().loaderResets;
      continue;
    } else {
      continue;
    }
    answer(*adapter, request, hp10::FrameBuilder(request.source, adapter->mac()).entry(kTurboQueryAnswer, data).finish());
  }
}

// Entry 0x14: 01 00 and a device key; directly behind it an embedded 88 7B, count, set
// key entry (0x04, 9, key select 1, network key). Every Turbo station holding that device
// key takes the network key, whatever network it is in.
void Hp10Behaviour::turbo_remote_set_key(const Frame& request, const hp10::Entry& entry) {
  SimulatedAdapter& local = *segment_.local();
  if (local.family() != Family::Turbo || entry.data.size() < 10) return;
  const std::size_t at = entry.offset + entry.length;
  const auto f = request.bytes;
  if (at + 15 > f.size() || get_be16(f.data() + at) != hp10::kEtherType || f[at + 3] != kSetKey ||
      f[at + 4] < 9 || f[at + 5] != 1)
    return;
  const auto deviceKey = entry.data.subspan(2, 8);
  const Key key = key8(f.subspan(at + 6, 8));
  for (SimulatedAdapter& station : segment_.adapters()) {
    if (&station == &local || station.family() != Family::Turbo || station.config().faults.silent) continue;
    if (!same8(deviceKey, station.device_key())) continue;
    station.set_network_key(key);
    answer(station, request, confirm_key(station, request));
  }
}

// Loader entries (type 0x10, code at 17, big-endian fields): 0x81 write a chunk
// {18 length + 10, 20 module, 24 offset, 28 length, 30 data}, 0x82 commit {20 value},
// 0x84 verify, 0x83 checksum {20 module, 24 length}, 0x7F leave the loader.
// Reply to the request's source: 17 code, 18-19 length, 20 status, 21-24 module or
// value, 25-28 length, 29-32 checksum.
void Hp10Behaviour::loader_command(const Frame& request, const hp10::Entry& entry) {
  SimulatedAdapter& local = *segment_.local();
  const bool toLoader = request.destination == hp10::kLoaderMac ||
                        (request.destination == local.mac() && !local.config().loaderAddressOnly);
  const auto f = request.bytes;
  if (!toLoader || entry.offset != 17 || f.size() < 20) return;
  const std::uint8_t code = f[17];
  WriteRecord& writes = local.writes();
  std::uint8_t reply[16] = {code, 0, 13};
  std::uint8_t& status = reply[3];
  switch (code) {
    case kWriteChunk: {
      if (f.size() < 30) return;
      const std::uint32_t module = get_be32(f.data() + 20), offset = get_be32(f.data() + 24);
      const std::uint16_t length = get_be16(f.data() + 28);
      put_be32(reply + 4, module);
      put_be32(reply + 8, offset);
      if (local.next_chunk_fails()) status = local.config().faults.errorStatus;
      else if (length > kMaxLoaderChunk || f.size() < 30u + length) status = 1;
      else sim::write_module(writes.loaderModules[module], offset, f.subspan(30, length));
      break;
    }
    case kCommit:
    case kVerify:
      if (f.size() < 24) return;
      put_be32(reply + 4, get_be32(f.data() + 20));
      if (code == kCommit) writes.loaderCommits.push_back(get_be32(f.data() + 20));
      break;
    case kChecksum: {
      if (f.size() < 28) return;
      const std::uint32_t module = get_be32(f.data() + 20), length = get_be32(f.data() + 24);
      put_be32(reply + 4, module);
      put_be32(reply + 8, length);
      const auto stored = writes.loaderModules.find(module);
      if (stored == writes.loaderModules.end() || length > (1u << 24)) {
        status = 1;
        break;
      }
      std::vector<std::uint8_t> bytes = stored->second;
      bytes.resize(length, 0);
      put_be32(reply + 12, loader_checksum(bytes));
      break;
    }
    case kHardwareReset:
      ++writes.hardwareResets;
      local.set_in_loader(false);
      return;
    default:
      return;
  }
  answer(local, request,
         hp10::FrameBuilder(request.source, request.destination).entry(kLoader, reply).finish());
}

}  // namespace zv::sim
