// Extracting 1,000 entries out of a 10,000-entry cache, and deleting as
// many: the moves, the index rewrites and the removal of the list lines.
#include <QApplication>
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/services.h"
#include "app/uFormMain.h"
#include "platform/platform.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace {

using namespace qm;

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillmere_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the program ends
}

// A UT2004 folder whose cache holds `entries` ".utx" packages, written in
// one go (one index write, one file per entry).
struct BigCache {
    explicit BigCache(int entries) {
        ensureApplication();
        gameDir = root.mkdir("Game") + "/";
        root.write("Game/System/UT2004.exe", "exe");
        root.mkdir("Game/Textures");
        const std::string cache = root.mkdir("Game/Cache") + "/";
        std::string index = "[Cache]\r\n";
        for (int i = 0; i < entries; ++i) {
            char key[40];
            std::snprintf(key, sizeof key, "%08X%08X%08X%08X", 0x1000 + i * 7, i * 104729, 0x2468ACE0 ^ i, i);
            index += std::string(key) + "=Package" + std::to_string(i) + ".utx\r\n";
            std::ofstream(cache + key + ".uxx", std::ios::binary) << "package";
        }
        std::ofstream(cache + "Cache.ini", std::ios::binary) << index;
        fs = platform::makeFileSystem();
        ini = platform::makeIniFiles();
        registry = platform::makeRegistry(root / "registry.reg");
        services = {fs.get(), ini.get(), registry.get(), &dialogs, &shell, &clock, gameDir + "System/quillmere", ""};
        form = std::make_unique<TFormMain>(services);
    }
    // Every `step`-th line, `count` of them.
    void selectSpread(int count, int step) {
        form->ListBoxCache->clearSelection();
        for (int i = 0; i < count; ++i) form->ListBoxCache->item(i * step)->setSelected(true);
    }

    test::TempDir root;
    std::string gameDir;
    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<IniFiles> ini;
    std::unique_ptr<Registry> registry;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FixedClock clock;
    Services services;
    std::unique_ptr<TFormMain> form;
};

template <bool Extract>
void runAction(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const int chosen = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        auto game = std::make_unique<BigCache>(entries);
        game->selectSpread(chosen, entries / chosen);
        state.ResumeTiming();
        if (Extract)
            game->form->ButtonExtractClick(game->form->ButtonExtract);
        else
            game->form->miDeleteCacheFileEntryClick(game->form->miDeleteCacheEntry);
        state.PauseTiming();
        const int left = game->form->ListBoxCache->count();
        if (left != entries - chosen) state.SkipWithError(("lines left: " + std::to_string(left)).c_str());
        const size_t keys = game->ini->keys(game->gameDir + "Cache/Cache.ini", "Cache").size();
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
