#include "transport/management_filter.h"

#include <pcap/pcap.h>

#include "base/bytes.h"

namespace zv {

namespace {
// 0: load the EtherType; 1: 0x88E1 → accept; 2: 0x887B → accept, else reject;
// 3: accept the whole frame; 4: reject.
bpf_insn kInstructions[] = {
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kEtherTypeHomePlugAv, 1, 0),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kEtherTypeHomePlug10, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, 0xFFFFFFFF),
    BPF_STMT(BPF_RET | BPF_K, 0),
};
bpf_program kProgram{sizeof kInstructions / sizeof kInstructions[0], kInstructions};
}  // namespace

const bpf_program& management_filter_program() { return kProgram; }

bool is_management_ethertype(std::uint16_t etherType) {
  return etherType == kEtherTypeHomePlugAv || etherType == kEtherTypeHomePlug10;
}

bool management_filter_accepts(std::span<const std::uint8_t> frame) {
  return frame.size() >= 14 && is_management_ethertype(get_be16(frame.data() + 12));
}

}  // namespace zv
