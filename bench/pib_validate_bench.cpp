// pib_validate on a valid 15560-byte version 4.4 block with every guarded check switched on.
#include <benchmark/benchmark.h>

#include "maintenance/pib_checker.h"
#include "maintenance/pib_test_block.h"

namespace {

void BM_PibValidateValidBlock(benchmark::State& state) {
  auto block = zv::test::make_valid_pib();
  zv::PibChecker checker;
  for (auto _ : state) {
    benchmark::DoNotOptimize(checker.pib_validate(block));
    benchmark::ClobberMemory();
  }
  if (checker.pib_validate(block) != zv::kPibOk) state.SkipWithError("block is not valid");
}
BENCHMARK(BM_PibValidateValidBlock);

}  // namespace
