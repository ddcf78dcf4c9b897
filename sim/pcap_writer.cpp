#include "sim/pcap_writer.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "base/bytes.h"

namespace zv::sim {

namespace {
constexpr std::uint32_t kMagic = 0xA1B2C3D4;
constexpr std::uint32_t kSnapLength = 65535;
constexpr std::uint32_t kLinkTypeEthernet = 1;
}  // namespace

PcapWriter::PcapWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
  if (!file_) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  std::uint8_t header[24] = {};
  put_le32(header, kMagic);
  put_le16(header + 4, 2);
  put_le16(header + 6, 4);
  put_le32(header + 16, kSnapLength);
  put_le32(header + 20, kLinkTypeEthernet);
  std::fwrite(header, 1, sizeof header, file_.get());
  std::fflush(file_.get());
}

void PcapWriter::write(std::uint64_t timeUs, std::span<const std::uint8_t> frame) {
  std::uint8_t record[16];
  const auto length = static_cast<std::uint32_t>(frame.size());
  put_le32(record, static_cast<std::uint32_t>(timeUs / 1'000'000));
  put_le32(record + 4, static_cast<std::uint32_t>(timeUs % 1'000'000));
  put_le32(record + 8, length);
  put_le32(record + 12, length);
  std::fwrite(record, 1, sizeof record, file_.get());
  std::fwrite(frame.data(), 1, frame.size(), file_.get());
  std::fflush(file_.get());
}

}  // namespace zv::sim
