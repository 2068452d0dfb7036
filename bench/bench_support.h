#pragma once
// A game folder with a large cache for the benchmarks, written directly
// (one index write, one file per entry) and the main window over it.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/services.h"
#include "app/uFormMain.h"
#include "core/paths.h"
#include "platform/platform.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace qm::bench {

// One QApplication for the whole benchmark program, on the offscreen platform.
inline void ensureApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillmere_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the program ends
}

inline std::string benchKey(int i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X%08X%08X%08X", 0x10000000 + i * 7, i * 104729, 0x2468ACE0 ^ i, i);
    return buf;
}

class SampleGame {
public:
    // `entries` index entries with a file each (one in 50 numbered "-1"), in
    // download groups of 20 a quarter of an hour apart, plus `orphans`
    // cache files that no entry claims. Real names are ".utx" packages.
    SampleGame(int entries, int orphans) {
        ensureApplication();
        gameDir = root.mkdir("Game") + "/";
        root.write("Game/System/UT2004.exe", "exe");
        root.mkdir("Game/Textures");
        std::string index = "[Cache]\r\n";
        index.reserve(static_cast<size_t>(entries) * 50);
        for (int i = 0; i < entries; ++i) {
            const std::string k = benchKey(i);
            index += k + "=Package" + std::to_string(i) + ".utx\r\n";
            const std::string file = cacheDir() + k + (i % 50 == 49 ? "-1.uxx" : ".uxx");
            std::ofstream(file, std::ios::binary) << "package";
            test::setModified(file, DateTime{2025, 6, 1 + (i / 20 / 96) % 28, (i / 20 / 4) % 24, (i / 20 % 4) * 15, 0});
        }
        for (int i = 0; i < orphans; ++i) std::ofstream(cacheDir() + "ORPHAN" + benchKey(i) + "-2.uxx") << "x";
        std::ofstream(cacheDir() + "Cache.ini", std::ios::binary) << index;
        fs = platform::makeFileSystem();
        ini = platform::makeIniFiles();
        registry = platform::makeRegistry(root / "registry.reg");
        services.fs = fs.get();
        services.ini = ini.get();
        services.registry = registry.get();
        services.dialogs = &dialogs;
        services.shell = &shell;
        services.clock = &clock;
        services.executablePath = gameDir + "System/quillmere";
    }

    std::string cacheDir() const { return root.mkdir("Game/Cache") + "/"; }

    std::unique_ptr<TFormMain> start() { return std::make_unique<TFormMain>(services); }

    test::TempDir root;
    std::string gameDir;
    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<IniFiles> ini;
    std::unique_ptr<Registry> registry;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FixedClock clock;
    Services services;
};

}  // namespace qm::bench
