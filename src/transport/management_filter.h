#pragma once
// The kernel filter that passes only powerline management frames:
// ether proto 0x88e1 or ether proto 0x887b.

#include <cstdint>
#include <span>

struct bpf_program;

namespace zv {

inline constexpr std::uint16_t kEtherTypeHomePlugAv = 0x88E1;
inline constexpr std::uint16_t kEtherTypeHomePlug10 = 0x887B;

// The classic BPF program, instruction for instruction; valid for the program's life.
const bpf_program& management_filter_program();

// The same decision in software, for backends without a kernel filter.
bool management_filter_accepts(std::span<const std::uint8_t> frame);

bool is_management_ethertype(std::uint16_t etherType);

}  // namespace zv
