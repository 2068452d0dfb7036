// Extracting 1,000 entries out of a 10,000-entry cache, and deleting as
// many: the moves, the index rewrites and the removal of the list lines.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "bench_support.h"

namespace {

using namespace qm;

template <bool Extract>
void runAction(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const int chosen = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        auto game = std::make_unique<bench::SampleGame>(bench::CacheShape{entries});
        game->start();
        game->selectSpread(chosen, entries / chosen);
        state.ResumeTiming();
        if (Extract)
            test::ui(*game->form).ButtonExtract->click();
        else
            test::ui(*game->form).miDeleteCacheEntry->trigger();
        state.PauseTiming();
        const int left = test::ui(*game->form).ListBoxCache->count();
        if (left != entries - chosen) state.SkipWithError(("lines left: " + std::to_string(left)).c_str());
        const size_t keys = game->indexKeys();
        if (keys != static_cast<size_t>(entries - chosen))
            state.SkipWithError(("keys left: " + std::to_string(keys)).c_str());
        game.reset();
        state.ResumeTiming();
    }
}

void BM_ExtractSelected(benchmark::State& state) { runAction<true>(state); }
void BM_DeleteSelected(benchmark::State& state) { runAction<false>(state); }

BENCHMARK(BM_ExtractSelected)->Args({10000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteSelected)->Args({10000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
