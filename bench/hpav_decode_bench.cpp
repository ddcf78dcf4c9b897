// Decoding speed of the vendor confirmation decoder over a mix of answers, the vendor
// checksum over one transfer chunk, and the heap allocations per decoded frame (counted
// by replacing the global operator new in this program).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "base/bytes.h"
#include "hpav/vendor_checksum.h"
#include "hpav/vendor_layer.h"
#include "support/memory_network.h"

namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

// The replacement pair is malloc/free on purpose; GCC cannot see that they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using zv::MacAddress;
using Frame = std::vector<std::uint8_t>;

const MacAddress kPc{0x00, 0x0C, 0x29, 0x00, 0x00, 0x01};
const MacAddress kDevice{0x00, 0xB0, 0x52, 0x11, 0x22, 0x33};

Frame confirmation(std::uint16_t type, std::size_t length, std::uint16_t etherType = 0x88E1) {
  Frame frame(length, 0);
  zv::write_ethernet_header(length, frame.data(), kPc.data(), kDevice.data());
  zv::put_be16(frame.data() + 12, etherType);
  zv::write_mm_header(length - 14, frame.data() + 14, type);
  for (std::size_t i = 21; i < length; ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
  return frame;
}

// What a scan and a key change see: versions, network lists, key and block answers,
// station records, and frames that are refused early.
std::vector<Frame> confirmation_mix() {
  return {
      confirmation(0xA001, 128),   // GET_VERSION
      confirmation(0xA039, 1514),  // NETWORK_INFO, full frame
      confirmation(0xA051, 60),    // SET_KEY
      confirmation(0xA059, 300),   // READ_DEVICE_BLOCK
      confirmation(0xA031, 320),
      confirmation(0xA036, 200),
      confirmation(0xA071, 700),
      confirmation(0xA001, 87),             // too short
      confirmation(0xA096, 60),             // no decoder
      confirmation(0x0000, 60, 0x887B),     // HomePlug 1.0 frame
  };
}

void BM_DecodeConfirmationMix(benchmark::State& state) {
  zv::test::MemoryNetwork net;
  zv::VendorLayer layer{net.transport};
  const std::vector<Frame> mix = confirmation_mix();
  zv::VendorResult result;
  std::size_t next = 0;
  std::int64_t frames = 0;
  const std::uint64_t allocationsBefore = allocations.load();
  for (auto _ : state) {
    const Frame& frame = mix[next];
    next = next + 1 == mix.size() ? 0 : next + 1;
    benchmark::DoNotOptimize(layer.decode_confirmation(frame.size(), frame.data(), result, 0));
    benchmark::ClobberMemory();
    ++frames;
  }
  const std::uint64_t allocated = allocations.load() - allocationsBefore;
  state.SetItemsProcessed(frames);
  state.counters["allocs_per_frame"] =
      benchmark::Counter(static_cast<double>(allocated) / static_cast<double>(frames));
  state.counters["allocs_total"] = benchmark::Counter(static_cast<double>(allocated));
  // Non-zero: the counting operator new is the one in use (the setup allocates).
  state.counters["allocs_in_setup"] = benchmark::Counter(static_cast<double>(allocationsBefore));
}
BENCHMARK(BM_DecodeConfirmationMix);

void BM_VendorChecksum1024(benchmark::State& state) {
  std::vector<std::uint8_t> chunk(1024);
  for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<std::uint8_t>(i * 31 + 7);
  for (auto _ : state) {
    benchmark::DoNotOptimize(chunk.data());
    benchmark::DoNotOptimize(zv::vendor_checksum(chunk.data(), chunk.size() / 4, 0));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1024);
}
BENCHMARK(BM_VendorChecksum1024);

}  // namespace
