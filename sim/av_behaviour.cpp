#include "sim/av_behaviour.h"

#include <algorithm>

#include "base/bytes.h"
#include "sim/checksums.h"
#include "sim/sim_keys.h"

namespace zv::sim {

namespace {

constexpr std::size_t kMaxChunk = 1024;
constexpr std::size_t kVersionTextField = 64;
constexpr std::uint32_t kParameterBlockAddress = 0x01F00000;

// SET_KEY payload (from the start of the payload).
constexpr std::size_t kSetKeyType = 0, kSetKeyNmk = 1, kSetKeySelector = 17, kSetKeyTarget = 18,
                      kSetKeyDak = 24, kSetKeyEnd = 40;
constexpr std::uint8_t kSelectSelf = 15, kSelectStation = 0;

// NETWORK_INFO confirmation, positions from the first byte the program reads (frame 20
// with the short header, frame 27 with the long one).
struct NetworkInfoLayout {
  std::size_t first;          // frame offset of position 0
  std::size_t stationCount;   // position of the station count
  std::size_t firstStation;   // position of the first station entry
  std::size_t entrySize;
  std::size_t rateAt;         // entry offset of the average transmit rate
  std::size_t receiveRateAt;  // entry offset of the average receive rate
  std::size_t bridgedAt;      // entry offset of the bridged address
  bool wideRates;             // 16-bit rates (long) or 8-bit (short)
  std::size_t role, ccoMac, ccoTei;
};
constexpr NetworkInfoLayout kShortInfo{20, 18, 19, 15, 13, 14, 7, false, 10, 11, 17};
constexpr NetworkInfoLayout kLongInfo{27, 27, 33, 24, 16, 18, 10, true, 14, 15, 21};
constexpr std::size_t kNid = 1, kSnid = 8, kTei = 9;
constexpr std::uint8_t kRoleCco = 2;

bool keys_equal(std::span<const std::uint8_t> a, const Key& b) {
  return a.size() >= b.size() && std::equal(b.begin(), b.end(), a.begin());
}

Key key_at(std::span<const std::uint8_t> bytes) {
  Key key{};
  std::copy_n(bytes.begin(), key.size(), key.begin());
  return key;
}

std::vector<std::uint8_t> confirm_status(const SimulatedAdapter& adapter, const av::Request& request,
                     std::uint8_t status) {
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false, 1);
  frame[20] = status;
  return frame;
}

}  // namespace

const AvBehaviour::Route AvBehaviour::kRoutes[] = {
    {av::kGetVersion, &AvBehaviour::get_version},
    {av::kNetworkInfo, &AvBehaviour::network_info},
    {av::kSetKey, &AvBehaviour::set_key},
    {av::kReadDeviceBlock, &AvBehaviour::read_device_block},
    {av::kRestoreDefaults, &AvBehaviour::restore_defaults},
    {av::kWriteModule, &AvBehaviour::write_module},
    {av::kWriteMemory, &AvBehaviour::write_memory},
    {av::kReadModule, &AvBehaviour::read_module},
    {av::kCommitModules, &AvBehaviour::commit_modules},
    {av::kStartImage, &AvBehaviour::start_image},
};

bool AvBehaviour::takes(const SimulatedAdapter& adapter, const MacAddress& destination) const {
  if (!adapter.is_av() || adapter.config().faults.silent) return false;
  const bool broadcast = destination == kBroadcastMac;
  if (&adapter == segment_.local())
    return broadcast || destination == adapter.mac() || destination == kAvLocalManagementMac;
  return (broadcast || destination == adapter.mac()) && adapter.same_network(*segment_.local());
}

std::vector<Answer> AvBehaviour::handle(std::span<const std::uint8_t> frame) {
  std::vector<Answer> answers;
  SimulatedAdapter* local = segment_.local();
  if (local == nullptr || !local->is_av() || local->config().faults.silent) return answers;
  const auto request = av::parse_request(frame);
  if (!request) return answers;
  const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                  [&](const Route& r) { return r.mmtype == request->mmtype; });
  if (route == std::end(kRoutes)) return answers;
  // Only NETWORK_INFO is spoken with the long header.
  if (request->longHeader && request->mmtype != av::kNetworkInfo) return answers;
  // Who is reached is settled before anyone acts: a key taken on the way must not change
  // which stations a broadcast reaches.
  std::vector<SimulatedAdapter*> reached;
  for (SimulatedAdapter& adapter : segment_.adapters())
    if (takes(adapter, request->destination)) reached.push_back(&adapter);
  for (SimulatedAdapter* adapter : reached)
    if (auto answer = (this->*route->handler)(*adapter, *request))
      PowerlineSegment::answer(*adapter, std::move(*answer), answers);
  return answers;
}

// 20 status, 21 chip code, 22 text length, 23..86 text, 87 zero.
std::optional<AvBehaviour::Frame> AvBehaviour::get_version(SimulatedAdapter& adapter, const av::Request& request) {
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false, 68);
  const std::string& text = adapter.config().versionText;
  const std::size_t n = std::min(text.size(), kVersionTextField);
  frame[20] = av::kOk;
  frame[21] = adapter.config().chipCode;
  frame[22] = static_cast<std::uint8_t>(n);
  std::copy_n(text.begin(), n, frame.begin() + 23);
  return frame;
}

// One network: the answering adapter's own, listing every other AV adapter on the wire
// that holds the same NMK (silent ones too: they are on the mains, only mute).
std::optional<AvBehaviour::Frame> AvBehaviour::network_info(SimulatedAdapter& adapter, const av::Request& request) {
  // Only the chip family with code 4 knows the long header.
  if (request.longHeader && adapter.config().chipCode != 4) return std::nullopt;
  const NetworkInfoLayout& layout = request.longHeader ? kLongInfo : kShortInfo;
  std::vector<const SimulatedAdapter*> peers;
  auto& all = segment_.adapters();
  for (const SimulatedAdapter& other : all)
    if (&other != &adapter && other.is_av() && other.same_network(adapter)) peers.push_back(&other);
  const std::size_t last = layout.firstStation + peers.size() * layout.entrySize;
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype,
                                     request.longHeader, layout.first + last - av::payload_offset(request.longHeader));
  if (peers.empty()) return frame;  // no network formed: zero networks
  std::uint8_t* p = frame.data() + layout.first;
  auto tei_of = [&](const SimulatedAdapter* a) {
    return static_cast<std::uint8_t>(1 + (a - all.data()));
  };
  const SimulatedAdapter* cco = segment_.local();
  const auto key = adapter.network_key();
  const auto nid = sha256(std::span<const std::uint8_t>(key.data(), key.size()));
  p[0] = 1;
  std::copy_n(nid.begin(), 7, p + kNid);
  p[kSnid] = static_cast<std::uint8_t>(nid[7] & 0x0F);
  p[kTei] = tei_of(&adapter);
  p[layout.role] = &adapter == cco ? kRoleCco : 0;
  std::copy(cco->mac().begin(), cco->mac().end(), p + layout.ccoMac);
  p[layout.ccoTei] = tei_of(cco);
  p[layout.stationCount] = static_cast<std::uint8_t>(peers.size());
  for (std::size_t i = 0; i < peers.size(); ++i) {
    std::uint8_t* e = p + layout.firstStation + i * layout.entrySize;
    std::copy(peers[i]->mac().begin(), peers[i]->mac().end(), e);
    e[6] = tei_of(peers[i]);
    const double rate = std::clamp(peers[i]->config().phyRateMbps, 0.0, layout.wideRates ? 65535.0 : 255.0);
    const auto value = static_cast<std::uint16_t>(rate);
    if (layout.wideRates) {
      put_le16(e + layout.rateAt, value);
      put_le16(e + layout.receiveRateAt, value);
    } else {
      e[layout.rateAt] = static_cast<std::uint8_t>(value);
      e[layout.receiveRateAt] = static_cast<std::uint8_t>(value);
    }
  }
  return frame;
}

// Selector 15: the addressed adapter takes the NMK. Selector 0: every other station whose
// DAK is the one given (and whose MAC is the target, unless that is the broadcast address)
// takes it; success only when one did.
std::optional<AvBehaviour::Frame> AvBehaviour::set_key(SimulatedAdapter& adapter, const av::Request& request) {
  const auto p = request.payload;
  if (p.size() < kSetKeyEnd || p[kSetKeyType] != 1)
    return confirm_status(adapter, request, av::kBadRequest);
  const Key nmk = key_at(p.subspan(kSetKeyNmk));
  const std::uint8_t selector = p[kSetKeySelector];
  if (selector == kSelectSelf) {
    adapter.set_network_key(nmk);
    return confirm_status(adapter, request, av::kOk);
  }
  if (selector != kSelectStation) return confirm_status(adapter, request, av::kBadRequest);
  const MacAddress target = mac_at(p.data() + kSetKeyTarget);
  bool taken = false;
  for (SimulatedAdapter& station : segment_.adapters()) {
    if (&station == &adapter || !station.is_av() || station.config().faults.silent) continue;
    if (target != kBroadcastMac && target != station.mac()) continue;
    if (!keys_equal(p.subspan(kSetKeyDak), station.device_key())) continue;
    station.set_network_key(nmk);
    taken = true;
  }
  return confirm_status(adapter, request, taken ? av::kOk : av::kFailed);
}

// 20 answer code, 21 block length n, 22.. the block.
std::optional<AvBehaviour::Frame> AvBehaviour::read_device_block(SimulatedAdapter& adapter, const av::Request& request) {
  static constexpr std::uint8_t kBlock[] = {0x02, 0x00, 0x20, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false,
                                     2 + sizeof kBlock);
  frame[20] = adapter.config().deviceBlockCode;
  frame[21] = sizeof kBlock;
  std::copy(std::begin(kBlock), std::end(kBlock), frame.begin() + 22);
  return frame;
}

std::optional<AvBehaviour::Frame> AvBehaviour::restore_defaults(SimulatedAdapter& adapter, const av::Request& request) {
  adapter.restore_defaults();
  ++adapter.writes().restoreDefaults;
  return confirm_status(adapter, request, av::kOk);
}

// Request 20 module, 22 length, 24 offset, 28 checksum, 32 chunk.
// Confirmation 20 status, 21 module, 23 length, 25 offset.
std::optional<AvBehaviour::Frame> AvBehaviour::write_module(SimulatedAdapter& adapter, const av::Request& request) {
  const auto p = request.payload;
  if (p.size() < 12) return std::nullopt;
  const std::uint8_t module = p[0];
  const std::uint16_t length = get_le16(p.data() + 2);
  const std::uint32_t offset = get_le32(p.data() + 4);
  std::uint8_t status = av::kOk;
  if (adapter.next_chunk_fails()) {
    status = adapter.config().faults.errorStatus;
  } else if ((module != 1 && module != 2) || length > kMaxChunk || p.size() < 12u + length) {
    status = av::kBadRequest;
  } else {
    const auto chunk = p.subspan(12, length);
    if (vendor_checksum(chunk) != get_le32(p.data() + 8)) status = av::kBadChecksum;
    else sim::write_module(adapter.writes().modules[module], offset, chunk);
  }
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false, 9);
  frame[20] = status;
  frame[21] = module;
  put_le16(frame.data() + 23, length);
  put_le32(frame.data() + 25, offset);
  return frame;
}

// Request 20 address, 24 length, 28 chunk. Confirmation 20 status, 21 address, 25 length.
std::optional<AvBehaviour::Frame> AvBehaviour::write_memory(SimulatedAdapter& adapter, const av::Request& request) {
  const auto p = request.payload;
  if (p.size() < 8) return std::nullopt;
  const std::uint32_t address = get_le32(p.data());
  const std::uint32_t length = get_le32(p.data() + 4);
  std::uint8_t status = av::kOk;
  if (adapter.next_chunk_fails()) status = adapter.config().faults.errorStatus;
  else if (length > kMaxChunk || p.size() < 8u + length) status = av::kBadRequest;
  else sim::write_memory(adapter.writes(), address, p.subspan(8, length));
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false, 9);
  frame[20] = status;
  put_le32(frame.data() + 21, address);
  put_le32(frame.data() + 25, length);
  return frame;
}

// Request 20 module, 22 length, 24 offset. Confirmation 20 status, 24 module, 26 length,
// 28 offset, 32 checksum of the chunk, 36 chunk.
std::optional<AvBehaviour::Frame> AvBehaviour::read_module(SimulatedAdapter& adapter, const av::Request& request) {
  const auto p = request.payload;
  if (p.size() < 8) return std::nullopt;
  const std::uint8_t module = p[0];
  const std::uint16_t wanted = get_le16(p.data() + 2);
  const std::uint32_t offset = get_le32(p.data() + 4);
  std::vector<std::uint8_t> source;
  std::uint8_t status = av::kOk;
  if (adapter.next_chunk_fails()) status = adapter.config().faults.errorStatus;
  else if (module == 1) source = adapter.firmware_image();
  else if (module == 2) source = adapter.parameter_block();
  else status = av::kBadRequest;
  if (status == av::kOk && offset >= source.size()) status = av::kFailed;
  const std::size_t n = status != av::kOk ? 0
                        : std::min<std::size_t>({wanted, kMaxChunk, source.size() - offset});
  auto frame = av::make_confirmation(request.source, adapter.mac(), request.mmtype, false, 16 + n);
  frame[20] = status;
  frame[24] = module;
  put_le16(frame.data() + 26, static_cast<std::uint16_t>(n));
  put_le32(frame.data() + 28, offset);
  if (n != 0) {
    const auto chunk = std::span<const std::uint8_t>(source).subspan(offset, n);
    put_le32(frame.data() + 32, vendor_checksum(chunk));
    std::copy(chunk.begin(), chunk.end(), frame.begin() + 36);
  }
  return frame;
}

// 20 module set: bit 0 firmware image, bit 1 parameter block (0x10 an option). A module
// in the set that was never written fails the commit.
std::optional<AvBehaviour::Frame> AvBehaviour::commit_modules(SimulatedAdapter& adapter, const av::Request& request) {
  if (request.payload.empty()) return std::nullopt;
  const std::uint8_t set = request.payload[0];
  WriteRecord& writes = adapter.writes();
  writes.commits.push_back(set);
  const bool image = (set & 0x01) != 0, block = (set & 0x02) != 0;
  if ((!image && !block) || (image && writes.modules[1].empty()) || (block && writes.modules[2].empty()))
    return confirm_status(adapter, request, av::kFailed);
  if (image) adapter.install_firmware_image(writes.modules[1]);
  if (block) adapter.install_parameter_block(writes.modules[2]);
  return confirm_status(adapter, request, av::kOk);
}

// 20 one, 24 load address, 28 length, 32 and 36 header words 4 and 5. The image must be
// in memory; a parameter block written at 0x01F00000 goes into use with it.
std::optional<AvBehaviour::Frame> AvBehaviour::start_image(SimulatedAdapter& adapter, const av::Request& request) {
  const auto p = request.payload;
  if (p.size() < 20) return std::nullopt;
  WriteRecord& writes = adapter.writes();
  const WriteRecord::StartedImage started{get_le32(p.data() + 4), get_le32(p.data() + 8),
                                          get_le32(p.data() + 12), get_le32(p.data() + 16)};
  if (!read_memory(writes, started.loadAddress, started.length))
    return confirm_status(adapter, request, av::kFailed);
  writes.started.push_back(started);
  if (auto head = read_memory(writes, kParameterBlockAddress, 8)) {
    if (auto block = read_memory(writes, kParameterBlockAddress, get_le16(head->data() + 4)))
      adapter.install_parameter_block(std::move(*block));
  }
  return confirm_status(adapter, request, av::kOk);
}

}  // namespace zv::sim
