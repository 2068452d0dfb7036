#pragma once
// A throw-away game installation for GUI tests: a temp game folder with the
// game's executable, a cache with its index and files, content folders and
// optional mods, a temp registry store, scripted dialogs, and the main
// window built over the real file system and INI implementations.
//
//   GameFixture g(gkUT2004);
//   g.addCacheEntry("K1", "DM-Foo.ut2");
//   TFormMain& form = g.start();
//
// Build the installation first, then start(); after start() the files can
// still be changed and the list rebuilt with ui(form).ButtonRefresh->click().
#include <QComboBox>
#include <algorithm>
#include <QItemSelectionModel>
#include <QListWidget>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/platform_services.h"
#include "app/services.h"
#include "app/uFormMain.h"
#include "core/cache.h"
#include "core/game.h"
#include "core/paths.h"
#include "platform/platform.h"
#include "support/form_access.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace qm::test {

class GameFixture {
public:
    // The game's executable under System, by kind.
    static std::string executableName(TGameKind kind) {
        const GameInfo* game = gameInfo(kind);
        return game ? game->executable : gameInfo(gkUT2004)->executable;
    }

    // Every destination folder the kind's extension table names, plus System.
    static std::vector<std::string> contentFolders(TGameKind kind) {
        std::vector<std::string> folders = qm::contentFolders(kind);
        if (std::find(folders.begin(), folders.end(), "System") == folders.end()) folders.push_back("System");
        return folders;
    }

    // `folders`: the content folders to create (default: all of the kind's).
    explicit GameFixture(TGameKind kind = gkUT2004)
        : GameFixture(kind, contentFolders(kind)) {}
    GameFixture(TGameKind kind, const std::vector<std::string>& folders) : kind(kind) {
        gameDir = root.mkdir("Game") + std::string(1, path::kSeparator);
        root.write("Game/System/" + executableName(kind), "exe");
        root.mkdir("Game/Cache");
        for (const std::string& f : folders) root.mkdir("Game/" + f);
        services = real.services(dialogs, shell, clock);
        services.launcher = &launcher;  // real.launcher for a real start
        services.executablePath = gameDir + "System" + path::kSeparator + "quillmere";
        services.systemDriveRoot = "";  // no questions about fixed folders
        // Nothing leaves the machine: the maker's servers are replaced by a
        // loopback address where nothing listens, unless a test serves one.
        services.serverOverride = "http://127.0.0.1:1";
        writeIndex();
    }

    GameFixture(const GameFixture&) = delete;
    GameFixture& operator=(const GameFixture&) = delete;

    // ---- the installation ----

    // The game's cache folder, ending with the separator.
    std::string cacheDir() const { return gameDir + "Cache" + path::kSeparator; }
    // A path under the game folder ("Maps/DM-Foo.ut2").
    std::string game(const std::string& relative) const { return path::native(gameDir + relative); }

    // Adds an index entry and, unless `fileName` is "", its cache file
    // (default: key + ".uxx") dated `time` (default: one minute after the
    // previous entry, so no separators appear unless asked for).
    std::string addCacheEntry(const std::string& key, const std::string& realName,
                              std::string fileName = "\x01", DateTime time = {}) {
        entries.emplace_back(key, realName);
        writeIndex();
        if (time == DateTime{}) time = nextTime();
        lastTime = time;
        if (fileName.empty()) return {};
        if (fileName == "\x01") fileName = key + ".uxx";
        const std::string p = root.write("Game/Cache/" + fileName, "package " + key);
        setModified(p, time);
        return p;
    }
    // An index entry whose cache file is missing.
    void addMissingEntry(const std::string& key, const std::string& realName) { addCacheEntry(key, realName, ""); }

    // Rewrites Cache.ini from `entries` ([Cache], key=value in order).
    void writeIndex() {
        std::string text = "[Cache]\r\n";
        for (const auto& [k, v] : entries) text += k + "=" + v + "\r\n";
        root.write("Game/Cache/" + std::string(kCacheIniName), text);
    }
    std::string indexText() const { return root.read("Game/Cache/" + std::string(kCacheIniName)); }
    // The keys of the index as the real INI reader sees them now.
    std::vector<std::string> indexKeys() const {
        return realIni->keys(cacheDir() + kCacheIniName, kCacheSection);
    }

    // A mod folder (with its Maps folder) and optional further folders;
    // returns the mod folder ending with the separator.
    std::string addMod(const std::string& name, const std::vector<std::string>& folders = {}) {
        root.mkdir("Game/" + name + "/Maps");
        for (const std::string& f : folders) root.mkdir("Game/" + name + "/" + f);
        return gameDir + name + path::kSeparator;
    }

    // Replaces the file system before start() (e.g. by a fault-injecting
    // wrapper around `*realFs`).
    void useFileSystem(FileSystem* fs) { services.fs = fs; }

    // ---- the window ----

    TFormMain& start() {
        form = std::make_unique<TFormMain>(services);
        return *form;
    }

    // Makes mod-list entry `index` current (0 = the game) without the list
    // rebuild that a user's pick runs.
    void selectMod(int index) { ui(*form).cmbMod->setCurrentIndex(index); }

    // ---- the cache list ----

    // The row of the entry line (or missing-entry line) of a real name.
    int rowOf(const std::string& realName) const {
        const QString tail = QString::fromStdString(" - " + realName);
        for (int i = 0; i < ui(*form).ListBoxCache->count(); ++i)
            if (ui(*form).ListBoxCache->item(i)->text().endsWith(tail)) return i;
        return -1;
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> t;
        for (int i = 0; i < ui(*form).ListBoxCache->count(); ++i)
            t.push_back(ui(*form).ListBoxCache->item(i)->text().toStdString());
        return t;
    }
    // Moves the focus rectangle without touching the selection (-1: none).
    void focus(int row) { ui(*form).ListBoxCache->setCurrentRow(row, QItemSelectionModel::NoUpdate); }
    // Selects exactly these rows; the focus stays where it is.
    void select(const std::vector<int>& rows) {
        ui(*form).ListBoxCache->clearSelection();
        for (int r : rows) ui(*form).ListBoxCache->item(r)->setSelected(true);
    }

    TGameKind kind;
    TempDir root;
    std::string gameDir;  // ends with the separator
    std::vector<std::pair<std::string, std::string>> entries;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingLauncher launcher;
    FixedClock clock;
    PlatformServices real{root / "registry.reg"};
    std::unique_ptr<FileSystem>& realFs = real.fs;
    std::unique_ptr<IniFiles>& realIni = real.ini;
    std::unique_ptr<Registry>& registry = real.registry;
    Services services;
    std::unique_ptr<TFormMain> form;

private:
    DateTime nextTime() {
        if (lastTime == DateTime{}) return DateTime{2024, 3, 1, 10, 0, 0};
        DateTime t = lastTime;
        if (++t.minute == 60) {
            t.minute = 0;
            if (++t.hour == 24) {
                t.hour = 0;
                if (++t.day == 29) {
                    t.day = 1;
                    if (++t.month == 13) {
                        t.month = 1;
                        ++t.year;
                    }
                }
            }
        }
        return t;
    }
    DateTime lastTime;
};

}  // namespace qm::test
