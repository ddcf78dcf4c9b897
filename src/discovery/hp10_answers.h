#pragma once
// Draining the HomePlug 1.0 and Turbo answers waiting on the NICs. Answers are never
// awaited one by one: the scan cycle sends requests, and every tick takes whatever came.

#include <cstdint>
#include <span>
#include <string>

#include "discovery/discovery.h"

namespace zv {

// Takes frames with poll_management_frame until none is waiting, handling each 0x887B
// frame by its first entry's type; a frame of another EtherType stops the draining and
// is lost. `text`, when given, receives the note about an unhandled Turbo answer.
// Returns 1 when the last frame taken was handled.
std::uint8_t process_hp10_answers(Discovery& d, std::string* text = nullptr);

// Handles one received 0x887B frame by its first entry's type; true when the type and
// its condition matched a row of the answer table. Reads nothing beyond `frame`; may
// rewrite bytes of it (the answer bit, the average).
bool handle_hp10_answer(Discovery& d, std::span<std::uint8_t> frame, std::string* text);

// process_hp10_answers for 100 ms.
void process_answers_100ms(Discovery& d, std::string* text = nullptr);

// Asks the local Turbo adapter for its stations' rates and takes what is waiting. Returns 1.
int turbo_rates_round(Discovery& d, const std::uint8_t* localAdapterMac);

}  // namespace zv
