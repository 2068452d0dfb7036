// Deleting 1,000 keys one at a time from a 10,000-entry index, each in an
// atomic rewrite of its own: as an action does it (the flush to disk once at
// the end) and with every rewrite flushed.
#include <benchmark/benchmark.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/inifile.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

void deleteSpread(benchmark::State& state, bool flushOnce) {
    const int entries = static_cast<int>(state.range(0));
    const int chosen = static_cast<int>(state.range(1));
    std::string index = "[Cache]\r\n";
    for (int i = 0; i < entries; ++i) index += bench::benchKey(i) + "=Package" + std::to_string(i) + ".utx\r\n";
    for (auto _ : state) {
        state.PauseTiming();
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", index);
        auto ini = platform::makeIniFiles();
        ini->keys(file, "Cache");  // the action starts from a listed index
        state.ResumeTiming();
        {
            std::optional<DeferredFlush> action;
            if (flushOnce) action.emplace(*ini, file);
            for (int i = 0; i < chosen; ++i)
                if (!ini->deleteKey(file, "Cache", bench::benchKey(i * (entries / chosen))))
                    state.SkipWithError("a deletion failed");
        }
        state.PauseTiming();
        const size_t left = platform::makeIniFiles()->keys(file, "Cache").size();
        if (left != static_cast<size_t>(entries - chosen)) state.SkipWithError(("keys left: " + std::to_string(left)).c_str());
        state.ResumeTiming();
    }
}

void BM_IniDeleteKeysFlushOnce(benchmark::State& state) { deleteSpread(state, true); }
void BM_IniDeleteKeysFlushEach(benchmark::State& state) { deleteSpread(state, false); }

BENCHMARK(BM_IniDeleteKeysFlushOnce)->Args({10000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IniDeleteKeysFlushEach)->Args({10000, 1000})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace qm
