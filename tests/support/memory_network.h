#pragma once
// A transport on the in-memory backend and the virtual clock, for tests.

#include <string>
#include <vector>

#include "base/user_notice.h"
#include "base/virtual_clock.h"
#include "transport/memory_backend.h"
#include "transport/transport.h"

namespace zv::test {

struct MemoryNetwork {
  VirtualClock clock;
  RecordingNotice notice;
  MemoryBackend backend{clock};
  Transport transport{backend, clock, notice};

  // Adds interfaces "sim0".."simN-1" with addresses 02:00:00:00:00:0i.
  void add_nics(int count);
};

// A frame of `length` bytes (zero-filled) with the given addresses and EtherType.
std::vector<std::uint8_t> make_frame(const MacAddress& destination, const MacAddress& source,
                                     std::uint16_t etherType, std::size_t length = 60);

}  // namespace zv::test
