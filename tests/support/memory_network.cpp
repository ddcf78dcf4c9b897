#include "support/memory_network.h"

#include "base/bytes.h"

namespace zv::test {

void MemoryNetwork::add_nics(int count) {
  for (int i = 0; i < count; ++i)
    backend.add_interface("sim" + std::to_string(i),
                          MacAddress{0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(i)});
}

std::vector<std::uint8_t> make_frame(const MacAddress& destination, const MacAddress& source,
                                     std::uint16_t etherType, std::size_t length) {
  std::vector<std::uint8_t> frame(length < 14 ? 14 : length, 0);
  std::copy(destination.begin(), destination.end(), frame.begin());
  std::copy(source.begin(), source.end(), frame.begin() + 6);
  put_be16(frame.data() + 12, etherType);
  frame.resize(length);
  return frame;
}

}  // namespace zv::test
