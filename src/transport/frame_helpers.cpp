#include "transport/frame_helpers.h"

#include <cstring>

#include "base/bytes.h"
#include "transport/management_filter.h"

namespace zv {

void build_hp10_header(std::uint8_t* frame, const std::uint8_t* source,
                       const std::uint8_t* destination) {
  std::memset(frame, 0, 17);
  copy_mac(frame, destination);
  copy_mac(frame + 6, source);
  put_be16(frame + 12, kEtherTypeHomePlug10);
}

void copy_mac(std::uint8_t* destination, const std::uint8_t* source) {
  std::memcpy(destination, source, 6);
}

void copy_key(std::uint8_t* destination, const std::uint8_t* source, bool localAdapterIsAv) {
  std::memcpy(destination, source, localAdapterIsAv ? 16 : 8);
}

}  // namespace zv
