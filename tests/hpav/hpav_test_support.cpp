#include "hpav/hpav_test_support.h"

#include <algorithm>

#include "base/bytes.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_frame.h"

namespace zv::test {

std::vector<std::uint8_t> vendor_frame(std::uint16_t type, std::size_t length, bool longHeader) {
  std::vector<std::uint8_t> frame(kLongPayloadOffset + 1536, 0);
  write_ethernet_header(frame.size(), frame.data(), kPc.data(), kDevice.data());
  if (longHeader)
    write_long_mm_header(12, frame.data() + 14, type);
  else
    write_mm_header(6, frame.data() + 14, type);
  frame.resize(length);
  return frame;
}

namespace {
void seal_header(std::uint8_t* header) {
  put_le32(header + 40, vendor_checksum(header, 10, 0));
}
}  // namespace

std::vector<std::uint8_t> image_file(const std::vector<ImageSpec>& images) {
  std::vector<std::uint8_t> file;
  for (std::size_t i = 0; i < images.size(); ++i) {
    const ImageSpec& spec = images[i];
    const std::size_t at = file.size();
    file.resize(at + kImageHeaderSize + spec.length);
    std::uint8_t* header = file.data() + at;
    put_le32(header + 8, spec.loadAddress);
    put_le32(header + 12, spec.length);
    put_le32(header + 16, spec.word4);
    put_le32(header + 20, spec.word5);
    const bool last = i + 1 == images.size();
    put_le32(header + 36, last ? 0 : static_cast<std::uint32_t>(file.size()));
    seal_header(header);
    for (std::size_t b = 0; b < spec.length; ++b)
      file[at + kImageHeaderSize + b] = static_cast<std::uint8_t>(b * 7 + i + 1);
  }
  return file;
}

void set_header_word(std::vector<std::uint8_t>& file, std::size_t headerAt, std::size_t word,
                     std::uint32_t value) {
  put_le32(file.data() + headerAt + 4 * word, value);
  seal_header(file.data() + headerAt);
}

std::vector<std::uint8_t> parameter_block(std::size_t length, std::uint16_t claimedLength) {
  std::vector<std::uint8_t> block(length);
  for (std::size_t i = 0; i < length; ++i) block[i] = static_cast<std::uint8_t>(i * 13 + 5);
  if (length >= 6) put_le16(block.data() + 4, claimedLength);
  return block;
}

namespace {

std::vector<std::uint8_t> reply_to(std::span<const std::uint8_t> request, std::size_t length) {
  std::vector<std::uint8_t> frame(std::max<std::size_t>(length, 60), 0);
  write_ethernet_header(frame.size(), frame.data(), request.data() + 6, request.data());
  write_mm_header(6, frame.data() + 14, static_cast<std::uint16_t>(get_le16(request.data() + 15) + 1));
  return frame;
}

void store(std::vector<std::uint8_t>& target, std::size_t offset, const std::uint8_t* data,
           std::size_t length) {
  if (target.size() < offset + length) target.resize(offset + length);
  std::copy(data, data + length, target.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

std::vector<std::uint8_t> FakeDevice::answer(std::span<const std::uint8_t> request) {
  const std::size_t index = requests.size();
  requests.emplace_back(request.begin(), request.end());
  const std::uint8_t status = failing.count(index) != 0 ? 1 : 0;
  const std::uint8_t* r = request.data();
  switch (get_le16(r + 15)) {
    case mmtype::WRITE_MODULE: {
      const std::uint16_t length = get_le16(r + 22);
      const std::uint32_t offset = get_le32(r + 24);
      if (status == 0 && r[20] <= 2) store(modules[r[20]], offset, r + 32, length);
      auto frame = reply_to(request, 29);
      frame[20] = status;
      frame[21] = r[20];
      put_le16(frame.data() + 23, length);
      put_le32(frame.data() + 25, offset);
      return frame;
    }
    case mmtype::WRITE_MEMORY: {
      const std::uint32_t length = get_le32(r + 24);
      if (status == 0) memoryWrites.emplace_back(get_le32(r + 20), std::vector<std::uint8_t>(r + 28, r + 28 + length));
      auto frame = reply_to(request, 29);
      frame[20] = status;
      std::copy(r + 20, r + 28, frame.begin() + 21);
      return frame;
    }
    case mmtype::COMMIT_MODULES:
    case mmtype::START_IMAGE: {
      auto frame = reply_to(request, 22);
      frame[20] = status;
      return frame;
    }
    case mmtype::READ_MODULE: {
      const std::uint8_t module = r[20] <= 2 ? r[20] : 0;
      const std::vector<std::uint8_t>& source = modules[module];
      const std::uint32_t offset = get_le32(r + 24);
      const std::size_t start = std::min<std::size_t>(offset, source.size());
      const std::size_t length = std::min<std::size_t>(get_le16(r + 22), source.size() - start);
      auto frame = reply_to(request, 36 + length);
      frame[20] = status;
      frame[24] = module;
      put_le16(frame.data() + 26, static_cast<std::uint16_t>(length));
      put_le32(frame.data() + 28, offset);
      std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(start), length, frame.begin() + 36);
      std::uint32_t seal = vendor_checksum(frame.data() + 36, length / 4, 0);
      if (badChecksum.count(index) != 0) seal ^= 0x00010000;
      put_le32(frame.data() + 32, seal);
      return frame;
    }
    default:
      return {};
  }
}

std::vector<std::vector<std::uint8_t>> FakeDevice::requests_of(std::uint16_t type) const {
  std::vector<std::vector<std::uint8_t>> found;
  for (const auto& request : requests)
    if (request.size() >= 17 && get_le16(request.data() + 15) == type) found.push_back(request);
  return found;
}

}  // namespace zv::test
