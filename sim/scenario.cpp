#include "sim/scenario.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <set>
#include <sstream>

#include "sim/sim_keys.h"

namespace zv::sim {

namespace {

using Json = nlohmann::json;

struct FamilyName {
  Family family;
  const char* name;
};
constexpr FamilyName kFamilies[] = {
    {Family::HomePlugAv, "av"}, {Family::HomePlug10, "hp10"}, {Family::Turbo, "turbo"}};

// Version texts of the chip families, with the family prefix the program looks for.
std::string default_version_text(std::uint8_t chipCode) {
  return chipCode == 4 ? "QA-2400-MAC-5-2-5214-02-20140301-FINAL"
                       : "QA-1000-MAC-3-3-3312-01-20110801-FINAL";
}

// Sixteen letters A..P from the MAC's nibbles and its sum, in four dashed groups.
std::string default_device_password(const MacAddress& mac) {
  std::string letters;
  unsigned sum = 0;
  for (std::uint8_t byte : mac) {
    letters += static_cast<char>('A' + (byte >> 4));
    letters += static_cast<char>('A' + (byte & 0x0F));
    sum += byte;
  }
  letters += static_cast<char>('A' + (sum & 0x0F));
  letters += static_cast<char>('A' + ((sum >> 4) & 0x0F));
  letters += "SM";
  return letters.substr(0, 4) + "-" + letters.substr(4, 4) + "-" + letters.substr(8, 4) + "-" +
         letters.substr(12, 4);
}

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw ScenarioError(where + ": " + what);
}

void only_known_keys(const Json& object, const std::string& where, std::initializer_list<const char*> keys) {
  if (!object.is_object()) fail(where, "must be an object");
  const std::set<std::string> known(keys.begin(), keys.end());
  for (const auto& item : object.items())
    if (!known.count(item.key())) fail(where, "unknown field \"" + item.key() + "\"");
}

template <typename T>
T get(const Json& object, const char* key, const std::string& where, T fallback) {
  const auto it = object.find(key);
  if (it == object.end()) return fallback;
  try {
    return it->get<T>();
  } catch (const Json::exception&) {
    fail(where + "." + key, "has the wrong type");
  }
}

MacAddress get_mac(const Json& object, const char* key, const std::string& where) {
  const auto text = get<std::string>(object, key, where, "");
  const auto mac = parse_mac(text);
  if (!mac) fail(where + "." + key, "is not a MAC address: \"" + text + "\"");
  return *mac;
}

Key parse_key_hex(const std::string& text, std::size_t bytes, const std::string& where) {
  if (text.size() != bytes * 2) fail(where, "needs " + std::to_string(bytes * 2) + " hex digits");
  Key key{};
  for (std::size_t i = 0; i < bytes; ++i) {
    try {
      std::size_t used = 0;
      key[i] = static_cast<std::uint8_t>(std::stoul(text.substr(i * 2, 2), &used, 16));
      if (used != 2) throw std::invalid_argument("hex");
    } catch (const std::exception&) {
      fail(where, "is not hexadecimal");
    }
  }
  return key;
}

// A key given as "<prefix>Password" (derived) or "<prefix>Key" (hex); `fallback` otherwise.
Key get_key(const Json& object, const std::string& prefix, Family family, const std::string& where,
            const Key& fallback) {
  const std::string passwordField = prefix + "Password", keyField = prefix + "Key";
  const bool hasPassword = object.contains(passwordField), hasKey = object.contains(keyField);
  if (hasPassword && hasKey) fail(where, "give " + passwordField + " or " + keyField + ", not both");
  if (hasPassword)
    return network_key_of(family, get<std::string>(object, passwordField.c_str(), where, ""));
  if (hasKey)
    return parse_key_hex(get<std::string>(object, keyField.c_str(), where, ""),
                         family == Family::HomePlugAv ? 16 : 8, where + "." + keyField);
  return fallback;
}

Faults parse_faults(const Json& object, const std::string& where) {
  only_known_keys(object, where, {"silent", "dropShare", "delayMs", "errorOnChunk", "errorRepeat", "errorStatus"});
  Faults f;
  f.silent = get(object, "silent", where, f.silent);
  f.dropShare = get(object, "dropShare", where, f.dropShare);
  if (f.dropShare < 0.0 || f.dropShare > 1.0) fail(where + ".dropShare", "must be 0..1");
  f.delayMs = get(object, "delayMs", where, f.delayMs);
  f.errorOnChunk = get(object, "errorOnChunk", where, f.errorOnChunk);
  f.errorRepeat = get(object, "errorRepeat", where, f.errorRepeat);
  f.errorStatus = get(object, "errorStatus", where, f.errorStatus);
  if (f.errorOnChunk != 0 && f.errorStatus == 0) fail(where + ".errorStatus", "must not be 0");
  return f;
}

AdapterConfig parse_adapter(const Json& object, const std::string& where) {
  only_known_keys(object, where,
                  {"mac", "family", "chipCode", "version", "name", "devicePassword", "networkPassword",
                   "networkKey", "factoryNetworkPassword", "factoryNetworkKey", "phyRateMbps", "answers",
                   "faults", "deviceBlockCode", "kind", "manufacturer", "model", "loaderAddressOnly"});
  const std::string familyText = get<std::string>(object, "family", where, "av");
  const auto family = std::find_if(std::begin(kFamilies), std::end(kFamilies),
                                   [&](const FamilyName& f) { return familyText == f.name; });
  if (family == std::end(kFamilies)) fail(where + ".family", "must be av, hp10 or turbo");
  AdapterConfig a = default_adapter(family->family, get_mac(object, "mac", where));
  a.chipCode = get(object, "chipCode", where, a.chipCode);
  if (a.chipCode < 1 || a.chipCode > 5) fail(where + ".chipCode", "must be 1..5");
  a.versionText = get(object, "version", where,
                      a.family == Family::HomePlugAv ? default_version_text(a.chipCode) : a.versionText);
  a.name = get(object, "name", where, a.name);
  a.devicePassword = get(object, "devicePassword", where, a.devicePassword);
  a.factoryKey = get_key(object, "factoryNetwork", a.family, where, a.factoryKey);
  a.networkKey = get_key(object, "network", a.family, where, a.factoryKey);
  a.phyRateMbps = get(object, "phyRateMbps", where, a.phyRateMbps);
  if (object.contains("faults")) a.faults = parse_faults(object["faults"], where + ".faults");
  if (!get(object, "answers", where, true)) a.faults.silent = true;
  a.deviceBlockCode = get(object, "deviceBlockCode", where, a.deviceBlockCode);
  a.hp10Kind = get(object, "kind", where, a.hp10Kind);
  a.manufacturer = get(object, "manufacturer", where, a.manufacturer);
  a.model = get(object, "model", where, a.model);
  a.loaderAddressOnly = get(object, "loaderAddressOnly", where, a.loaderAddressOnly);
  return a;
}

}  // namespace

const char* family_name(Family family) {
  for (const FamilyName& f : kFamilies)
    if (f.family == family) return f.name;
  return "?";
}

AdapterConfig default_adapter(Family family, const MacAddress& mac) {
  AdapterConfig a;
  a.mac = mac;
  a.family = family;
  a.devicePassword = default_device_password(mac);
  a.factoryKey = default_network_key(family);
  a.networkKey = a.factoryKey;
  switch (family) {
    case Family::HomePlugAv:
      a.versionText = default_version_text(a.chipCode);
      a.phyRateMbps = 150;
      break;
    case Family::HomePlug10:
      a.phyRateMbps = 12;
      a.hp10Kind = 3;
      break;
    case Family::Turbo:
      // The firmware version sits at index 14..16, where the program reads it.
      a.versionText = "PLT-TURBO-FW  1.8.0";
      a.phyRateMbps = 60;
      a.hp10Kind = 2;
      break;
  }
  return a;
}

Scenario parse_scenario(std::string_view text) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::parse_error& e) {
    throw ScenarioError(std::string("not JSON: ") + e.what());
  }
  only_known_keys(document, "scenario", {"description", "seed", "nics"});
  Scenario scenario;
  scenario.description = get<std::string>(document, "description", "scenario", "");
  scenario.seed = get(document, "seed", "scenario", scenario.seed);
  const Json nics = document.value("nics", Json::array());
  if (!nics.is_array()) fail("scenario.nics", "must be an array");
  std::set<MacAddress> macs;
  for (std::size_t i = 0; i < nics.size(); ++i) {
    const std::string where = "nics[" + std::to_string(i) + "]";
    only_known_keys(nics[i], where, {"name", "mac", "local", "remotes"});
    NicConfig nic;
    nic.name = get<std::string>(nics[i], "name", where, "sim" + std::to_string(i));
    nic.mac = get_mac(nics[i], "mac", where);
    if (nics[i].contains("local")) nic.local = parse_adapter(nics[i]["local"], where + ".local");
    const Json remotes = nics[i].value("remotes", Json::array());
    if (!remotes.is_array()) fail(where + ".remotes", "must be an array");
    if (!remotes.empty() && !nic.local) fail(where + ".remotes", "need a local adapter");
    for (std::size_t r = 0; r < remotes.size(); ++r)
      nic.remotes.push_back(parse_adapter(remotes[r], where + ".remotes[" + std::to_string(r) + "]"));
    for (const MacAddress& mac : [&] {
           std::vector<MacAddress> all{nic.mac};
           if (nic.local) all.push_back(nic.local->mac);
           for (const auto& remote : nic.remotes) all.push_back(remote.mac);
           return all;
         }())
      if (!macs.insert(mac).second) fail(where, "MAC " + format_mac(mac) + " is used twice");
    scenario.nics.push_back(std::move(nic));
  }
  return scenario;
}

Scenario load_scenario_file(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw ScenarioError("cannot read scenario " + path);
  std::stringstream text;
  text << in.rdbuf();
  try {
    return parse_scenario(text.str());
  } catch (const ScenarioError& e) {
    throw ScenarioError(path + ": " + e.what());
  }
}

}  // namespace zv::sim
