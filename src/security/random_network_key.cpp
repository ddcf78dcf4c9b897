#include "security/random_network_key.h"

#include <openssl/rand.h>

#include <algorithm>
#include <climits>

#include "security/key_derivation.h"

namespace zv {

bool make_random_network_key(std::span<std::uint8_t, 16> buffer,
                             LocalAdapterTechnology technology) {
  return make_random_network_key(buffer, technology, [](std::uint8_t* out, std::size_t count) {
    return count <= INT_MAX && RAND_bytes(out, static_cast<int>(count)) == 1;
  });
}

bool make_random_network_key(std::span<std::uint8_t, 16> buffer,
                             LocalAdapterTechnology technology,
                             const RandomBytesSource& source) {
  const KeyBuffer defaultKey = default_network_key(technology.localAdapterIsAv);
  const std::size_t length = technology.localAdapterIsTurbo ? 8 : 16;
  do {
    if (!source(buffer.data(), length)) return false;
  } while (std::equal(buffer.begin(), buffer.begin() + 8, defaultKey.begin()));
  return true;
}

}  // namespace zv
