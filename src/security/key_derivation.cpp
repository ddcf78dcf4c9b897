#include "security/key_derivation.h"

#include <openssl/evp.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace zv {
namespace {

constexpr int kIterations = 1000;

std::string_view bytes_before_terminator(std::string_view password) {
  return password.substr(0, password.find('\0'));
}

// PBKDF1: digest of password || salt, then 999 digests of the previous digest.
// Returns the full last digest; callers keep the bytes the key needs.
template <std::size_t DigestSize>
std::array<std::uint8_t, DigestSize> pbkdf1(const EVP_MD* md, std::string_view password,
                                            const KeySalt& salt) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                              &EVP_MD_CTX_free);
  if (!ctx || static_cast<std::size_t>(EVP_MD_get_size(md)) != DigestSize) {
    throw std::runtime_error("key derivation: digest unavailable");
  }
  const std::string_view pw = bytes_before_terminator(password);
  std::vector<std::uint8_t> input(pw.size() + salt.size());
  std::memcpy(input.data(), pw.data(), pw.size());
  std::memcpy(input.data() + pw.size(), salt.data(), salt.size());

  std::array<std::uint8_t, DigestSize> digest{};
  const auto hash = [&](const std::uint8_t* data, std::size_t length) {
    if (EVP_DigestInit_ex2(ctx.get(), md, nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), data, length) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), digest.data(), nullptr) != 1) {
      throw std::runtime_error("key derivation: digest failed");
    }
  };
  hash(input.data(), input.size());
  for (int i = 1; i < kIterations; ++i) hash(digest.data(), digest.size());
  return digest;
}

KeyBuffer derive_av_key(std::string_view password, const KeySalt& salt) {
  const auto digest = pbkdf1<32>(EVP_sha256(), password, salt);
  KeyBuffer key{};
  std::copy_n(digest.begin(), key.size(), key.begin());
  return key;
}

// DES keys carry their parity in bit 0: make the count of 1-bits in each byte odd.
std::uint8_t with_odd_parity(std::uint8_t byte) {
  const bool upperOdd = std::popcount(static_cast<unsigned>(byte >> 1)) % 2 != 0;
  return upperOdd ? static_cast<std::uint8_t>(byte & 0xFE) : static_cast<std::uint8_t>(byte | 1);
}

}  // namespace

KeyBuffer derive_nmk(std::string_view password) { return derive_av_key(password, kAvNmkSalt); }

KeyBuffer derive_dak(std::string_view password) { return derive_av_key(password, kAvDakSalt); }

Hp10Key derive_hp10_key(std::string_view password) {
  const auto digest = pbkdf1<16>(EVP_md5(), password, kHp10Salt);
  Hp10Key key{};
  std::transform(digest.begin(), digest.begin() + key.size(), key.begin(), with_odd_parity);
  return key;
}

KeyBuffer default_network_key(bool localAdapterIsAv) {
  if (localAdapterIsAv) return kAvDefaultNmk;
  KeyBuffer key{};
  std::copy(kHp10DefaultKeys[0].begin(), kHp10DefaultKeys[0].end(), key.begin());
  return key;
}

}  // namespace zv
