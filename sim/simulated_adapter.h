#pragma once
// One simulated powerline adapter: its configuration, the state requests change (keys,
// parameter block, firmware) and a record of everything written to it, for tests to
// compare with the files they sent.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <random>
#include <vector>

#include "sim/scenario.h"

namespace zv::sim {

// What the program wrote into an adapter, as the adapter received it.
struct WriteRecord {
  std::map<std::uint8_t, std::vector<std::uint8_t>> modules;   // WRITE_MODULE by module id
  std::map<std::uint32_t, std::vector<std::uint8_t>> memory;   // WRITE_MEMORY runs by start address
  std::vector<std::uint8_t> commits;                           // COMMIT_MODULES module sets, in order
  struct StartedImage {
    std::uint32_t loadAddress, length, word4, word5;
  };
  std::vector<StartedImage> started;                           // START_IMAGE requests taken
  unsigned restoreDefaults = 0;                                // RESTORE_DEFAULTS taken
  // Turbo upgrade (0x887B entry 0x10), by module code (0x100 image, 0x10, 0x20, 0x80).
  std::map<std::uint32_t, std::vector<std::uint8_t>> loaderModules;
  std::vector<std::uint32_t> loaderCommits;                    // values of command 0x82
  unsigned loaderResets = 0;                                   // 0x12/0x67 taken
  unsigned hardwareResets = 0;                                 // 0x10/0x7F taken
  std::vector<std::array<std::uint8_t, 3>> hp10Parameters;     // 0x1F entries taken
};

// Stores `bytes` at `address`, extending the run that contains or ends at it.
void write_memory(WriteRecord& record, std::uint32_t address, std::span<const std::uint8_t> bytes);
// `length` bytes from `address` when one written run holds them all, else none.
std::optional<std::vector<std::uint8_t>> read_memory(const WriteRecord& record,
                                                     std::uint32_t address, std::size_t length);
// Stores `bytes` at `offset` of `module`; a write at offset 0 starts the module afresh.
void write_module(std::vector<std::uint8_t>& module, std::size_t offset,
                  std::span<const std::uint8_t> bytes);

class SimulatedAdapter {
 public:
  SimulatedAdapter(const AdapterConfig& config, std::uint32_t seed);

  const AdapterConfig& config() const { return config_; }
  const MacAddress& mac() const { return config_.mac; }
  Family family() const { return config_.family; }
  bool is_av() const { return config_.family == Family::HomePlugAv; }

  // --- keys ---
  const Key& network_key() const { return key_; }
  void set_network_key(const Key& key);
  // DAK (AV, 16 bytes) or DEK (8 bytes + zeros) of the device password.
  const Key& device_key() const { return deviceKey_; }
  // HomePlug 1.0 key slot 0 (status block bytes 6..13); its own DEK at start.
  const Key& slot0_key() const { return slot0_; }
  void set_slot0_key(const Key& key) { slot0_ = key; }
  bool same_network(const SimulatedAdapter& other) const;

  // --- AV stores ---
  // The parameter block as READ_MODULE module 2 returns it now: the stored block with
  // this adapter's MAC at 12, its current NMK at 100 and a fresh checksum at 8.
  std::vector<std::uint8_t> parameter_block() const;
  // The firmware image chain (READ_MODULE module 1).
  const std::vector<std::uint8_t>& firmware_image() const { return firmware_; }
  // Takes a committed or started block: NMK from bytes 100..115 when it holds them.
  void install_parameter_block(std::vector<std::uint8_t> block);
  void install_firmware_image(std::vector<std::uint8_t> image) { firmware_ = std::move(image); }
  // Factory key and device name back (RESTORE_DEFAULTS).
  void restore_defaults();
  const std::string& device_name() const { return name_; }

  // --- Turbo loader ---
  bool in_loader() const { return inLoader_; }
  void set_in_loader(bool in) { inLoader_ = in; }

  // --- faults ---
  // Counts one transfer chunk request; true when it must be answered with the error.
  bool next_chunk_fails();
  // Decides for one answer whether it is lost.
  bool drop_answer();

  WriteRecord& writes() { return writes_; }
  const WriteRecord& writes() const { return writes_; }

 private:
  AdapterConfig config_;
  Key key_{};
  Key deviceKey_{};
  Key slot0_{};
  std::string name_;
  std::vector<std::uint8_t> block_;     // parameter block without the live fields
  std::vector<std::uint8_t> firmware_;
  bool inLoader_ = false;
  std::uint32_t chunkRequests_ = 0;
  std::mt19937 random_;
  WriteRecord writes_;
};

}  // namespace zv::sim
