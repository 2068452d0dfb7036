#pragma once
// A game folder with a large cache for the benchmarks, written directly
// (one index write, one file per entry), and the main window over it.
#include <QApplication>
#include <QListWidget>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/platform_services.h"
#include "app/services.h"
#include "app/uFormMain.h"
#include "core/cache_list.h"
#include "core/paths.h"
#include "platform/platform.h"
#include "support/form_access.h"
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

struct CacheShape {
    int entries = 0;         // index entries, ".utx" packages
    int withoutFile = 0;     // the last ones of them have no cache file
    int orphans = 0;         // cache files that no entry claims
    bool timedGroups = false;  // downloads in groups of 20, a quarter of an hour apart
};

class SampleGame {
public:
    explicit SampleGame(const CacheShape& shape) {
        ensureApplication();
        gameDir = root.mkdir("Game") + "/";
        root.write("Game/System/UT2004.exe", "exe");
        root.mkdir("Game/Textures");
        const std::string cache = cacheDir();
        std::string index = "[Cache]\r\n";
        index.reserve(static_cast<size_t>(shape.entries) * 50);
        for (int i = 0; i < shape.entries; ++i) {
            const std::string k = benchKey(i);
            index += k + "=Package" + std::to_string(i) + ".utx\r\n";
            if (i >= shape.entries - shape.withoutFile) continue;
            // One in fifty is stored under a numbered name.
            const std::string file = cache + k + (i % 50 == 49 ? "-1.uxx" : ".uxx");
            std::ofstream(file, std::ios::binary) << "package";
            if (shape.timedGroups)
                test::setModified(file, DateTime{2025, 6, 1 + (i / 20 / 96) % 28, (i / 20 / 4) % 24, (i / 20 % 4) * 15, 0});
        }
        for (int i = 0; i < shape.orphans; ++i) std::ofstream(cache + "ORPHAN" + benchKey(i) + "-2.uxx") << "x";
        std::ofstream(cache + "Cache.ini", std::ios::binary) << index;
        services = real.services(dialogs, shell, clock);
        services.systemDriveRoot = "";
        services.launcher = &launcher;
        services.executablePath = gameDir + "System/quillmere";
    }

    std::string cacheDir() const { return root.mkdir("Game/Cache") + "/"; }
    CacheAccess access() const { return {*fs, *ini, cacheDir(), cacheDir() + "Cache.ini"}; }
    size_t indexKeys() const { return ini->keys(cacheDir() + "Cache.ini", "Cache").size(); }

    TFormMain& start() {
        form = std::make_unique<TFormMain>(services);
        return *form;
    }

    // Selects every `step`-th line, `count` of them.
    void selectSpread(int count, int step) {
        test::ui(*form).ListBoxCache->clearSelection();
        for (int i = 0; i < count; ++i) test::ui(*form).ListBoxCache->item(i * step)->setSelected(true);
    }

    test::TempDir root;
    std::string gameDir;
    PlatformServices real{root / "registry.reg"};
    std::unique_ptr<FileSystem>& fs = real.fs;
    std::unique_ptr<IniFiles>& ini = real.ini;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::RecordingLauncher launcher;
    test::FixedClock clock;
    Services services;
    std::unique_ptr<TFormMain> form;
};

}  // namespace qm::bench
