#include "discovery/hp10_status.h"

#include <algorithm>
#include <cstring>

#include "discovery/hp10_frames.h"

namespace zv {

namespace {

constexpr std::size_t kBlockOffset = 18;
constexpr std::uint8_t kKindEeprom = 1;
constexpr std::uint8_t kKindRam = 2;
constexpr int kProbeTries = 3;

}  // namespace

bool apply_status_block(Discovery& d, std::span<const std::uint8_t> frame) {
  if (frame.size() < kBlockOffset + kStatusBlockSize) return false;
  const std::uint8_t kind = frame[17];
  const std::uint8_t* block = frame.data() + kBlockOffset;
  if (std::memcmp(block, block + 1, 6) == 0) {
    d.logs.write_dump(kind == kKindRam ? DumpKind::Ram : DumpKind::Eeprom, block,
                      kStatusBlockSize);
    return true;
  }
  const bool statusValid = d.current_nic().statusValid != 0;
  if ((statusValid && kind == kKindEeprom) || (!statusValid && kind == kKindRam)) {
    d.state.statusBlockSeen = 1;
    std::memcpy(d.state.statusBlock50.data(), block, kStatusBlockSize);
  }
  return true;
}

void hp10_status_probe(Discovery& d, int nic) {
  if (nic < 0 || nic >= kMaxNics) return;
  bool& running = d.state.statusProbeRunning[static_cast<std::size_t>(nic)];
  // The probe receives frames itself, and an announcement among them would start
  // another probe on the same NIC without end.
  if (running) return;
  Transport& t = d.transport;
  const MacAddress source = t.captureSlots[static_cast<std::size_t>(nic)].mac;
  if (is_zero_mac(source.data())) return;
  running = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{running};

  NicRecord& record = t.nicRecords[static_cast<std::size_t>(nic)];
  record.missCount = 0;
  bool answered = false;
  for (int attempt = 0; attempt < kProbeTries && !answered; ++attempt) {
    send_status_request(t, nic, source.data(), kBroadcastMac.data(), kStatusSelectorValid);
    answered = t.wait_for_self_addressed_frame(nic, static_cast<std::uint32_t>(50 + 4 * attempt)) != 0;
    if (answered) record.missCount = 0;
  }
  if (!answered && record.missCount == 3) {
    record.missCount = 0;
    record.statusValid = 0;
  } else {
    record.missCount = static_cast<std::uint8_t>(record.missCount + 1);
  }
}

}  // namespace zv
