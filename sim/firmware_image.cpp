#include "sim/firmware_image.h"

#include <array>
#include <random>

#include "base/bytes.h"
#include "sim/checksums.h"

namespace zv::sim {

namespace {

struct ImagePlan {
  std::uint32_t loadAddress;
  std::uint32_t length;
  std::uint32_t entryPoint;
  std::uint32_t kind;
};

constexpr std::array<ImagePlan, 2> kImages{{
    {0x00001000, 512, 0x00001000, 1},
    {0x01000000, 4096, 0x01000040, 2},
}};

}  // namespace

std::vector<std::uint8_t> make_firmware_image(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> file;
  for (std::size_t i = 0; i < kImages.size(); ++i) {
    const ImagePlan& plan = kImages[i];
    const std::size_t header = file.size();
    file.resize(header + kImageHeaderLength + plan.length, 0);
    std::uint8_t* h = file.data() + header;
    put_le32(h + 0, 1);  // header version
    put_le32(h + 8, plan.loadAddress);
    put_le32(h + 12, plan.length);
    put_le32(h + 16, plan.entryPoint);
    put_le32(h + 20, plan.kind);
    const bool last = i + 1 == kImages.size();
    put_le32(h + 36, last ? 0 : static_cast<std::uint32_t>(file.size()));
    put_le32(h + 40, vendor_checksum(std::span<const std::uint8_t>(h, 40)));
    for (std::size_t k = 0; k < plan.length; ++k)
      file[header + kImageHeaderLength + k] = static_cast<std::uint8_t>(random());
  }
  return file;
}

}  // namespace zv::sim
