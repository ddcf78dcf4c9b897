// One save_state with 32 device records and one load_state of that file, on the folder in
// ZV_BENCH_DIR (default: the system's temporary folder). Each save writes a temporary
// file, flushes it to disk and renames it, so the figure is mostly the disk's fsync.
//
//   build/bench/state_file_bench [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "discovery/fixed_text.h"
#include "state/data_folder.h"
#include "state/state_file.h"
#include "support/memory_network.h"

namespace zv {
namespace {

struct BenchSystem {
  BenchSystem() {
    const char* dir = std::getenv("ZV_BENCH_DIR");
    std::string pattern =
        ((dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) / "zv-bench-XXXXXX")
            .string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    context.stateFile = state_file_path(folder);
    for (int i = 0; i < kMaxDeviceRecords; ++i) {
      DeviceRecord& r = discovery.deviceRecords[i];
      set_fixed_text(r.name, "device " + std::to_string(i + 1));
      r.mac = {0x00, 0xB0, 0x52, 0x00, 0x00, static_cast<std::uint8_t>(i + 2)};
      r.lastSeen = 1700000000 + i;
    }
    discovery.deviceCount = kMaxDeviceRecords;
  }
  ~BenchSystem() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  test::MemoryNetwork net;
  DiscoveryState discovery;
  StoredListLayout deviceList;
  StateContext context{net.transport, discovery, deviceList, {}, {}};
};

void BM_SaveState32Records(benchmark::State& state) {
  BenchSystem s;
  for (auto _ : state)
    if (save_state(s.context) != SaveResult::Saved) state.SkipWithError("save failed");
  const auto bytes = static_cast<double>(std::filesystem::file_size(s.context.stateFile));
  state.counters["bytes_written"] = bytes;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SaveState32Records)->Unit(benchmark::kMicrosecond);

void BM_LoadState32Records(benchmark::State& state) {
  BenchSystem s;
  save_state(s.context);
  for (auto _ : state)
    if (load_state(s.context).result != LoadResult::Loaded) state.SkipWithError("load failed");
  const auto bytes = static_cast<double>(std::filesystem::file_size(s.context.stateFile));
  state.counters["bytes_read"] = bytes;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_LoadState32Records)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zv
