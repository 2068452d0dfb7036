// Validation of a large cache: 10,000 index entries and 10,000 cache files,
// a tenth of the files orphans and a tenth of the entries without a file.
// The whole click is timed: question, index pass, file pass and the report
// in the results window.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

#include "app/uFormResults.h"
#include "bench_support.h"
#include "core/validation.h"

namespace qm {
namespace {

// 10,000 entries and 10,000 files: a tenth of the entries without a file,
// a tenth of the files orphans.
std::unique_ptr<bench::SampleGame> largeCache() {
    auto game = std::make_unique<bench::SampleGame>(bench::CacheShape{10000, 1000, 1000, false});
    game->start();
    return game;
}

void BM_ValidateLargeCache(benchmark::State& state) {
    bench::ensureApplication();
    // Closes the report window as soon as it is up.
    QTimer closer;
    closer.setInterval(1);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* w = qobject_cast<TFormResults*>(QApplication::activeModalWidget()))
            if (w->ButtonClose->isEnabled()) w->ButtonClose->click();
    });
    closer.start();
    // What is left after the last run: 9,000 files and 9,000 entries.
    size_t filesLeft = 0, keysLeft = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto cache = largeCache();
        cache->dialogs.answers = {DlgButton::OK};
        state.ResumeTiming();

        test::ui(*cache->form).ButtonValidate->click();

        state.PauseTiming();
        const std::string folder = cache->form->CacheFolder();
        filesLeft = cache->fs->list(folder, "*.uxx").size();
        keysLeft = cache->ini->keys(folder + "Cache.ini", "Cache").size();
        cache.reset();
        state.ResumeTiming();
    }
    state.counters["files_left"] = static_cast<double>(filesLeft);
    state.counters["keys_left"] = static_cast<double>(keysLeft);
}
BENCHMARK(BM_ValidateLargeCache)->Unit(benchmark::kMillisecond)->Iterations(3);

// The two passes called on their own, to see where the time goes.
template <bool indexPass>
void BM_ValidatePass(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto cache = largeCache();
        std::vector<std::string> log;
        
        state.ResumeTiming();

        if (indexPass) {
            CacheList list = readCacheList(*cache->fs, *cache->ini, cache->cacheDir());
            DropMissingEntries(cache->access(), list, log);
        } else {
            ValidateCacheFiles(cache->access(), cache->dialogs, log);
        }

        state.PauseTiming();
                state.counters["report_lines"] = static_cast<double>(log.size());
        cache.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ValidatePass<true>)->Name("BM_RefreshCacheListValidationMode")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ValidatePass<false>)->Name("BM_ValidateFilePass")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace qm
