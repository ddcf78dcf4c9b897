#include "sim/sim_keys.h"

#include <openssl/evp.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace zv::sim {

namespace {

constexpr std::array<std::uint8_t, 8> kNmkSalt{0x08, 0x85, 0x6D, 0xAF, 0x7C, 0xF5, 0x81, 0x86};
// The device key salt of HomePlug AV is also the salt of HomePlug 1.0.
constexpr std::array<std::uint8_t, 8> kDeviceSalt{0x08, 0x85, 0x6D, 0xAF, 0x7C, 0xF5, 0x81, 0x85};
constexpr int kRounds = 1000;

// PBKDF1: digest(password ‖ salt), then digest of the digest, `kRounds` digests in all.
std::vector<std::uint8_t> pbkdf1(const EVP_MD* md, std::string_view password,
                                 const std::array<std::uint8_t, 8>& salt) {
  std::vector<std::uint8_t> input(password.begin(), password.end());
  input.insert(input.end(), salt.begin(), salt.end());
  std::vector<std::uint8_t> digest(static_cast<std::size_t>(EVP_MD_get_size(md)));
  unsigned length = 0;
  if (!EVP_Digest(input.data(), input.size(), digest.data(), &length, md, nullptr))
    throw std::runtime_error("digest failed");
  for (int round = 1; round < kRounds; ++round) {
    std::vector<std::uint8_t> previous = digest;
    if (!EVP_Digest(previous.data(), previous.size(), digest.data(), &length, md, nullptr))
      throw std::runtime_error("digest failed");
  }
  return digest;
}

Key first_16(const std::vector<std::uint8_t>& digest) {
  Key key{};
  std::copy_n(digest.begin(), key.size(), key.begin());
  return key;
}

}  // namespace

Key av_network_key(std::string_view password) {
  return first_16(pbkdf1(EVP_sha256(), password, kNmkSalt));
}

Key av_device_key(std::string_view password) {
  return first_16(pbkdf1(EVP_sha256(), password, kDeviceSalt));
}

Key hp10_key(std::string_view password) {
  const auto digest = pbkdf1(EVP_md5(), password, kDeviceSalt);
  Key key{};
  for (std::size_t i = 0; i < 8; ++i) {
    // Odd parity over the whole byte: bit 0 makes the count of ones odd.
    const int upper = __builtin_popcount(digest[i] & 0xFE);
    key[i] = static_cast<std::uint8_t>((digest[i] & 0xFE) | (upper % 2 == 0 ? 1 : 0));
  }
  return key;
}

Key network_key_of(Family family, std::string_view password) {
  return family == Family::HomePlugAv ? av_network_key(password) : hp10_key(password);
}

Key device_key_of(Family family, std::string_view password) {
  return family == Family::HomePlugAv ? av_device_key(password) : hp10_key(password);
}

Key default_network_key(Family family) {
  return family == Family::HomePlugAv ? av_network_key(kAvDefaultPassword)
                                      : hp10_key(kHp10DefaultPassword);
}

std::array<std::uint8_t, 32> sha256(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, 32> digest{};
  unsigned length = 0;
  if (!EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr))
    throw std::runtime_error("digest failed");
  return digest;
}

}  // namespace zv::sim
