#include "discovery/hp10_answers.h"

#include <array>
#include <cstdio>
#include <span>

#include "base/bytes.h"
#include "discovery/hp10_frames.h"
#include "discovery/hp10_statistics.h"
#include "discovery/hp10_status.h"
#include "discovery/station_table.h"
#include "discovery/turbo_answers.h"
#include "transport/management_filter.h"

namespace zv {

namespace {

constexpr std::size_t kAnswerBufferSize = 1536;

using Frame = std::span<std::uint8_t>;

// Byte `offset` of the frame, or 0 beyond its end.
std::uint8_t at(Frame frame, std::size_t offset) {
  return offset < frame.size() ? frame[offset] : 0;
}

bool handle_turbo(Discovery& d, Frame frame, std::string* text) {
  if (frame.size() <= 20 || (frame[20] & 0x80) == 0) return false;
  frame[20] &= 0x7F;
  const std::uint8_t selector = frame[20];
  if (selector == kTurboIdentification) {
    apply_turbo_identification(d, frame);
  } else if (selector == kTurboRates) {
    apply_turbo_rates(d, frame);
  } else if (text != nullptr) {
    char note[64];
    std::snprintf(note, sizeof note,
                  selector == kTurboExtendedStats ? "Extended Stats response recieved (%d)."
                                                  : "Unknown private response recieved (%d).",
                  at(frame, 17));
    *text = note;
  }
  return true;
}

bool handle_accepted(Discovery&, Frame, std::string*) { return true; }

bool handle_station_answer(Discovery& d, Frame frame, std::string*) {
  add_or_refresh_station(d, frame.data() + 6);
  return true;
}

bool handle_query_answer(Discovery& d, Frame frame, std::string*) {
  switch (at(frame, 17)) {
    case kTurboQueryFirmware:
      apply_turbo_firmware_text(d, frame);
      return true;
    case kTurboQueryKey:
      return apply_turbo_key(d, frame);
    default:
      return false;
  }
}

bool handle_status(Discovery& d, Frame frame, std::string*) {
  return at(frame, 16) == 0x33 && apply_status_block(d, frame);
}

bool handle_network_stats(Discovery& d, Frame frame, std::string*) {
  // 0x80: the request itself, as sent by this or another program.
  if (frame.size() <= 17 || frame[17] == 0x80) return false;
  if (!apply_hp10_statistics(d, frame)) return false;
  d.main_page().refresh_main_page(d.state.scanPhase);
  return true;
}

struct AnswerRow {
  std::uint8_t type;
  bool (*handle)(Discovery&, Frame, std::string*);
};
constexpr AnswerRow kAnswerTable[] = {
    {kEntryTurbo, handle_turbo},
    {kEntryAccepted06, handle_accepted},
    {kEntryStatisticsAnswer, handle_station_answer},
    {kEntryTurboQuery, handle_accepted},
    {kEntryTurboQueryAnswer, handle_query_answer},
    {kEntryStatus, handle_status},
    {kEntryNetworkStats, handle_network_stats},
};

}  // namespace

bool handle_hp10_answer(Discovery& d, std::span<std::uint8_t> frame, std::string* text) {
  if (frame.size() <= 15) return false;
  for (const AnswerRow& row : kAnswerTable)
    if (row.type == frame[15]) return row.handle(d, frame, text);
  return false;
}

std::uint8_t process_hp10_answers(Discovery& d, std::string* text) {
  std::array<std::uint8_t, kAnswerBufferSize> buffer;
  std::uint8_t handled = 0;
  int length = 0;
  while (d.transport.poll_management_frame(buffer, length)) {
    const Frame frame(buffer.data(), static_cast<std::size_t>(length));
    if (get_be16(frame.data() + 12) != kEtherTypeHomePlug10) {
      handled = 0;
      break;
    }
    handled = handle_hp10_answer(d, frame, text) ? 1 : 0;
    d.transport.clock().sleep_us(1000);
  }
  return handled;
}

void process_answers_100ms(Discovery& d, std::string* text) {
  Transport& t = d.transport;
  const auto deadline = t.clock().deadline_after_ms(100);
  while (!t.clock().reached(deadline)) {
    t.pause(deadline);
    process_hp10_answers(d, text);
  }
}

int turbo_rates_round(Discovery& d, const std::uint8_t* localAdapterMac) {
  const std::uint8_t none[] = {0};
  send_turbo_request(d.transport, localAdapterMac, kTurboRates, none, 1);
  std::string text;
  process_hp10_answers(d, &text);
  return 1;
}

}  // namespace zv
