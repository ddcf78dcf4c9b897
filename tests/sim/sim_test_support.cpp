#include "sim_test_support.h"

#include <gtest/gtest.h>

#include "base/bytes.h"

namespace zv::sim::test {

Scenario one_nic(const AdapterConfig& local, std::vector<AdapterConfig> remotes) {
  Scenario scenario;
  NicConfig nic;
  nic.name = "sim0";
  nic.mac = kPcMac;
  nic.local = local;
  nic.remotes = std::move(remotes);
  scenario.nics.push_back(std::move(nic));
  return scenario;
}

SimulatedWire::SimulatedWire(const Scenario& scenario)
    : simulated(std::make_unique<SimulatedNetwork>(net.backend, net.clock, scenario)) {
  net.transport.open_all_nics();
}

std::vector<Bytes> SimulatedWire::exchange(const Bytes& frame, std::uint32_t waitMs, int nic) {
  EXPECT_EQ(net.transport.send_frame(nic, frame.data(), frame.size()), 1);
  net.clock.sleep_us(std::uint64_t{waitMs} * 1000);
  std::vector<Bytes> frames;
  while (const ReceivedFrame* received = net.transport.receive_frame(nic))
    frames.emplace_back(received->data.begin(), received->data.begin() + received->length);
  return frames;
}

SimulatedAdapter& SimulatedWire::adapter(const MacAddress& mac) {
  SimulatedAdapter* found = simulated->find(mac);
  if (found == nullptr) throw std::runtime_error("no adapter " + format_mac(mac));
  return *found;
}

static Bytes header(const MacAddress& destination, const MacAddress& source, std::uint8_t typeHigh,
                    std::uint8_t typeLow) {
  Bytes frame(destination.begin(), destination.end());
  frame.insert(frame.end(), source.begin(), source.end());
  frame.push_back(typeHigh);
  frame.push_back(typeLow);
  return frame;
}

Bytes vendor_request(const MacAddress& destination, const MacAddress& source, std::uint16_t mmtype,
                     const Bytes& payload) {
  Bytes frame = header(destination, source, 0x88, 0xE1);
  frame.push_back(0x00);
  append_le(frame, mmtype, 2);
  frame.insert(frame.end(), {0x00, 0xB0, 0x52});
  frame.insert(frame.end(), payload.begin(), payload.end());
  if (frame.size() < 60) frame.resize(60, 0);
  return frame;
}

Bytes hp10_request(const MacAddress& destination, const MacAddress& source, const Bytes& body) {
  Bytes frame = header(destination, source, 0x88, 0x7B);
  frame.insert(frame.end(), body.begin(), body.end());
  if (frame.size() < 60) frame.resize(60, 0);
  return frame;
}

std::uint16_t le16(const Bytes& frame, std::size_t at) { return get_le16(&frame.at(at + 1) - 1); }
std::uint32_t le32(const Bytes& frame, std::size_t at) { return get_le32(&frame.at(at + 3) - 3); }
std::uint32_t be32(const Bytes& frame, std::size_t at) {
  return std::uint32_t{frame.at(at)} << 24 | std::uint32_t{frame.at(at + 1)} << 16 |
         std::uint32_t{frame.at(at + 2)} << 8 | frame.at(at + 3);
}
MacAddress mac_in(const Bytes& frame, std::size_t at) { return mac_at(&frame.at(at + 5) - 5); }

void append_le(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void append_be(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void append(Bytes& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

std::uint32_t xor_checksum(const std::uint8_t* data, std::size_t length) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 4 <= length; i += 4) sum ^= get_le32(data + i);
  return ~sum;
}

}  // namespace zv::sim::test
