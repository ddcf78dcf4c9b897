#pragma once
// What a simulated network is made of: NICs of the PC, the local adapter wired to each,
// and the remote stations on the same mains wiring behind it. Loaded from JSON files
// (sim/scenarios/*.json) or built in code by tests.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/mac.h"

namespace zv::sim {

enum class Family { HomePlugAv, HomePlug10, Turbo };

// "av", "hp10" or "turbo".
const char* family_name(Family family);

// 16 bytes: an AV NMK, or an 8-byte HomePlug 1.0 / Turbo key followed by 8 zero bytes.
using Key = std::array<std::uint8_t, 16>;

// Misbehaviour on demand, per adapter. Key and state changes still happen when an
// answer is dropped; only `silent` makes the adapter ignore everything.
struct Faults {
  bool silent = false;              // takes no request, answers nothing
  double dropShare = 0.0;           // share (0..1) of answers lost, reproducible per seed
  std::uint32_t delayMs = 0;        // every answer leaves this much later
  std::uint32_t errorOnChunk = 0;   // 1-based transfer chunk request answered with an error
  std::uint32_t errorRepeat = 1;    // that many chunk requests in a row from there
  std::uint8_t errorStatus = 1;     // the status byte of those answers
};

struct AdapterConfig {
  MacAddress mac{};
  Family family = Family::HomePlugAv;
  std::uint8_t chipCode = 1;        // AV: device id of GET_VERSION (1..5; 4 = long header)
  std::string versionText;          // AV: GET_VERSION text; Turbo: 0x13 firmware text
  std::string name;                 // device name kept in the parameter block (AV)
  std::string devicePassword;       // printed on the adapter; gives its DAK or DEK
  Key networkKey{};                 // the key it holds now
  Key factoryKey{};                 // what RESTORE_DEFAULTS returns to
  double phyRateMbps = 100.0;       // link rate it reports, in Mbps
  Faults faults;
  std::uint8_t deviceBlockCode = 0; // READ_DEVICE_BLOCK answer code (0 flash, 16 none, 1 fail)
  std::uint8_t hp10Kind = 3;        // kind in the 0x1A answer (3 HomePlug 1.0, 2 Turbo, 1 USB)
  std::string manufacturer = "Simulated";  // Turbo identification texts
  std::string model = "PLT-85";
  bool loaderAddressOnly = false;   // Turbo loader answers only at 00:04:87:FE:11:00
};

struct NicConfig {
  std::string name;                 // interface name, e.g. "sim0"
  MacAddress mac{};                 // the PC's card
  std::optional<AdapterConfig> local;   // none: nothing is wired to this card
  std::vector<AdapterConfig> remotes;   // stations behind the local adapter
};

struct Scenario {
  std::string description;
  std::uint32_t seed = 1;           // for dropped answers
  std::vector<NicConfig> nics;
};

class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses a scenario document; throws ScenarioError naming the field on any bad or
// unknown entry. Missing fields take the defaults above, the keys those of the family's
// default network password, and the version text one that fits the chip code.
Scenario parse_scenario(std::string_view json);
Scenario load_scenario_file(const std::string& path);

// Defaults of a fresh adapter of `family` at `mac`: factory key = current key = the key of
// the standard's default network password, a version text for chip code 1, rate by family.
AdapterConfig default_adapter(Family family, const MacAddress& mac);

}  // namespace zv::sim
