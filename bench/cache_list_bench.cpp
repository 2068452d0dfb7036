// Rebuilding the cache list over caches of growing size.
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include "bench_support.h"

namespace {

void BM_RefreshCacheList(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    qm::bench::SampleGame game({entries, 0, 0, true});
    qm::TFormMain& form = game.start();
    for (auto _ : state) {
        qm::test::ui(form).ButtonRefresh->click();
        benchmark::DoNotOptimize(qm::test::ui(form).ListBoxCache->count());
    }
    state.SetComplexityN(entries);
    state.counters["lines"] = qm::test::ui(form).ListBoxCache->count();
}
BENCHMARK(BM_RefreshCacheList)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
