// Validation of a large cache: 10,000 index entries and 10,000 cache files,
// a tenth of the files orphans and a tenth of the entries without a file.
// The whole click is timed: question, index pass, file pass and the report
// in the results window.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/services.h"
#include "app/uFormMain.h"
#include "app/uFormResults.h"
#include "core/paths.h"
#include "platform/platform.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

// One QApplication for the whole benchmark program; another benchmark file
// may have made it already.
void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillmere_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the program ends
}

std::string key(int i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X%08X%08X%08X", 0x31415926 ^ i, i * 7919, 0x0BADF00D + i, i);
    return buf;
}

struct LargeCache {
    static constexpr int kEntries = 10000;
    static constexpr int kFiles = 10000;
    static constexpr int kOrphans = kFiles / 10;

    LargeCache() {
        ensureGuiApplication();
        const std::string game = root.mkdir("Game") + std::string(1, path::kSeparator);
        root.write("Game/System/UT2004.exe", "exe");
        const std::string cache = root.mkdir("Game/Cache") + std::string(1, path::kSeparator);
        std::string index = "[Cache]\r\n";
        const int withFile = kFiles - kOrphans;
        for (int i = 0; i < kEntries; ++i) {
            index += key(i) + "=Package" + std::to_string(i) + ".utx\r\n";
            if (i < withFile) std::ofstream(cache + key(i) + (i % 50 == 0 ? "-1.uxx" : ".uxx")) << "p";
        }
        for (int i = 0; i < kOrphans; ++i) std::ofstream(cache + "Z" + key(i) + "-2.uxx") << "o";
        std::ofstream(cache + "Cache.ini", std::ios::binary) << index;

        fs = platform::makeFileSystem();
        ini = platform::makeIniFiles();
        registry = platform::makeRegistry(root / "registry.reg");
        services.fs = fs.get();
        services.ini = ini.get();
        services.registry = registry.get();
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = game + "System" + std::string(1, path::kSeparator) + "quillmere";
        form = std::make_unique<TFormMain>(services);
    }

    test::TempDir root;
    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<IniFiles> ini;
    std::unique_ptr<Registry> registry;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FixedClock clock;
    Services services;
    std::unique_ptr<TFormMain> form;
};

void BM_ValidateLargeCache(benchmark::State& state) {
    ensureGuiApplication();
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
        auto cache = std::make_unique<LargeCache>();
        cache->dialogs.answers = {DlgButton::OK};
        state.ResumeTiming();

        cache->form->ButtonValidateClick();

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

// The two passes called on their own, to see where the time goes. The index
// pass here is the cache list's own validation mode, which writes each key
// deletion at once; the click holds them back and writes them in one go.
template <bool indexPass>
void BM_ValidatePass(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto cache = std::make_unique<LargeCache>();
        std::vector<std::string> log;
        cache->form->FValidationLog = &log;
        state.ResumeTiming();

        if (indexPass)
            cache->form->RefreshCacheList(true);
        else
            cache->form->ValidateCacheFiles();

        state.PauseTiming();
        cache->form->FValidationLog = nullptr;
        state.counters["report_lines"] = static_cast<double>(log.size());
        cache.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ValidatePass<true>)->Name("BM_RefreshCacheListValidationMode")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ValidatePass<false>)->Name("BM_ValidateFilePass")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace qm
