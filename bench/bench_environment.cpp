// Path resolution runs on every profile read; keep it cheap.
#include <benchmark/benchmark.h>

#include "QsEnvironment.h"

static void BM_WindowsDirectory(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(qs::env::WindowsDirectory());
}
BENCHMARK(BM_WindowsDirectory);
