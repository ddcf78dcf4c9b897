#include "sim/simulated_adapter.h"

#include <algorithm>

#include "sim/firmware_image.h"
#include "sim/parameter_block.h"
#include "sim/sim_keys.h"

namespace zv::sim {

namespace {
std::uint32_t mac_seed(const MacAddress& mac, std::uint32_t seed) {
  std::uint32_t value = seed * 2654435761u;
  for (std::uint8_t byte : mac) value = value * 31 + byte;
  return value;
}
}  // namespace

SimulatedAdapter::SimulatedAdapter(const AdapterConfig& config, std::uint32_t seed)
    : config_(config),
      key_(config.networkKey),
      deviceKey_(device_key_of(config.family, config.devicePassword)),
      slot0_(deviceKey_),
      name_(config.name),
      random_(mac_seed(config.mac, seed)) {
  if (is_av()) {
    block_ = pib::make_factory_block(name_);
    firmware_ = make_firmware_image(mac_seed(config.mac, 7));
  }
}

void SimulatedAdapter::set_network_key(const Key& key) {
  key_ = key;
  // HomePlug 1.0 keys are 8 bytes; the rest of the buffer means nothing.
  if (!is_av()) std::fill(key_.begin() + 8, key_.end(), 0);
}

bool SimulatedAdapter::same_network(const SimulatedAdapter& other) const {
  const std::size_t width = is_av() && other.is_av() ? 16 : 8;
  return is_av() == other.is_av() && std::equal(key_.begin(), key_.begin() + static_cast<std::ptrdiff_t>(width),
                                                other.key_.begin());
}

std::vector<std::uint8_t> SimulatedAdapter::parameter_block() const {
  std::vector<std::uint8_t> block = block_;
  pib::stamp(block, config_.mac, key_, name_);
  return block;
}

void SimulatedAdapter::install_parameter_block(std::vector<std::uint8_t> block) {
  if (block.size() >= pib::kNmk + key_.size())
    std::copy_n(block.begin() + pib::kNmk, key_.size(), key_.begin());
  if (block.size() >= pib::kDeviceNameText + pib::kTextSize) name_ = pib::device_name_of(block);
  block_ = std::move(block);
}

void SimulatedAdapter::restore_defaults() {
  set_network_key(config_.factoryKey);
  name_ = config_.name;
}

bool SimulatedAdapter::next_chunk_fails() {
  ++chunkRequests_;
  const Faults& f = config_.faults;
  return f.errorOnChunk != 0 && chunkRequests_ >= f.errorOnChunk &&
         chunkRequests_ < f.errorOnChunk + f.errorRepeat;
}

bool SimulatedAdapter::drop_answer() {
  const double share = config_.faults.dropShare;
  if (share <= 0.0) return false;
  if (share >= 1.0) return true;
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < share;
}

}  // namespace zv::sim

namespace zv::sim {

void write_module(std::vector<std::uint8_t>& module, std::size_t offset,
                  std::span<const std::uint8_t> bytes) {
  if (offset == 0) module.clear();
  if (module.size() < offset + bytes.size()) module.resize(offset + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), module.begin() + static_cast<std::ptrdiff_t>(offset));
}

void write_memory(WriteRecord& record, std::uint32_t address, std::span<const std::uint8_t> bytes) {
  auto run = record.memory.upper_bound(address);
  if (run != record.memory.begin()) {
    --run;
    const std::uint64_t end = static_cast<std::uint64_t>(run->first) + run->second.size();
    if (address <= end) {
      const std::size_t offset = address - run->first;
      auto& data = run->second;
      if (data.size() < offset + bytes.size()) data.resize(offset + bytes.size(), 0);
      std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
      return;
    }
  }
  record.memory[address].assign(bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> read_memory(const WriteRecord& record,
                                                     std::uint32_t address, std::size_t length) {
  auto run = record.memory.upper_bound(address);
  if (run == record.memory.begin()) return std::nullopt;
  --run;
  const std::size_t offset = address - run->first;
  if (offset + length > run->second.size()) return std::nullopt;
  const auto begin = run->second.begin() + static_cast<std::ptrdiff_t>(offset);
  return std::vector<std::uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(length));
}

}  // namespace zv::sim
