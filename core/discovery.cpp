#include "discovery.h"

#include "dialogs.h"
#include "error.h"
#include "filesystem.h"
#include "paths.h"
#include "registry.h"

namespace qm {

namespace {

const char* const kKeepLooking = ".  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?";

// A text value of a key opened for reading; "" when the key or value is
// missing or holds another type.
std::string readText(Registry& reg, RegRoot root, const std::string& key, const std::string& value) {
    auto k = reg.openForReading(root, key, RegAccess::Read);
    if (!k) return {};
    try {
        return k->readString(value);
    } catch (const Error&) {
        return {};
    }
}

// The folder of an open command: cut before its last backslash, then keep
// up to and including the last one that remains. A program path in quotes
// loses its opening quote, so the folder is one the file system knows.
std::string folderOfOpenCommand(std::string command) {
    if (!command.empty() && command.front() == '"') command.erase(0, 1);
    size_t cut = command.rfind('\\');
    command = cut == std::string::npos ? command : command.substr(0, cut);
    cut = command.rfind('\\');
    return cut == std::string::npos ? std::string() : command.substr(0, cut + 1);
}

bool offered(Dialogs& dialogs, TGameKind kind, const std::string& where) {
    return dialogs.message(DlgKind::Confirmation, "Found " + discoveryName(kind) + " in " + where + kKeepLooking,
                           {DlgButton::Yes, DlgButton::No}) == DlgButton::Yes;
}

// The kind of game in a folder the user chose, by its executables.
std::optional<TGameKind> kindInFolder(FileSystem& fs, const std::string& folder) {
    for (const GameInfo& g : knownGames()) {
        for (const char* exe : {g.executable, g.demoExecutable}) {
            if (!exe) continue;
            // The UT200x executables are probed in lower case.
            const std::string name = g.kind == gkUT ? exe : path::toLower(exe);
            if (fs.fileExists(path::native(path::join(folder, "system/" + name)))) return g.kind;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string onSystemDrive(const std::string& systemDriveRoot, const std::string& relative) {
    // Without a system drive the file-system root stands in, so a fallback
    // folder is never relative to wherever the program was started.
    const std::string root = systemDriveRoot.empty() ? std::string(1, path::kSeparator) : systemDriveRoot;
    return path::native(path::join(root, relative));
}

std::optional<GameFolder> DetectGameBesideProgram(FileSystem& fs, const std::string& executablePath) {
    const std::string p = path::withTrailingSeparator(path::folderPart(executablePath));
    const std::string self = path::withoutTrailingSeparator(p);
    const std::string parent = path::parentOfFolder(p);
    auto has = [&](const std::string& file) { return fs.fileExists(path::native(p + file)); };
    std::optional<GameFolder> found;
    // UT2004 before UT2003 before UT, each in System below the program's
    // folder (the program in the game folder) before the program's folder
    // itself (the program in System); a later match wins.
    for (const GameInfo& g : knownGames()) {
        for (bool inSystem : {true, false}) {
            const std::string prefix = inSystem ? "system/" : "";
            const bool demo = g.demoExecutable && has(prefix + g.demoExecutable);
            if (!has(prefix + g.executable) && !demo) continue;
            found = GameFolder{inSystem ? self : parent, g.kind};
        }
    }
    return found;
}

std::optional<std::string> FindInstalledGame(const DiscoverySources& from, TGameKind kind) {
    const GameInfo* g = gameInfo(kind);
    if (!g) return std::nullopt;
    std::string folder = readText(from.registry, RegRoot::LocalMachine, g->installedAppsKey, "Folder");
    if (!folder.empty()) return folder;
    const std::string command = readText(from.registry, RegRoot::ClassesRoot, g->mapOpenCommandKey, "");
    if (!command.empty()) return folderOfOpenCommand(command);
    if (!from.systemDriveRoot.empty() &&
        from.fs.fileExists(onSystemDrive(from.systemDriveRoot, defaultExecutablePath(*g))))
        return onSystemDrive(from.systemDriveRoot, g->defaultFolder);
    return std::nullopt;
}

GameFolder DiscoverGame(const DiscoverySources& from) {
    GameFolder game;
    if (auto beside = DetectGameBesideProgram(from.fs, from.executablePath)) {
        game = *beside;
    } else {
        for (const GameInfo& g : knownGames()) {
            if (!game.dir.empty()) break;
            auto folder = FindInstalledGame(from, g.kind);
            if (folder && offered(from.dialogs, g.kind, *folder)) game = {*folder, g.kind};
        }
        for (const GameInfo& g : knownGames()) {
            if (!game.dir.empty() || from.systemDriveRoot.empty()) break;
            const std::string exe = onSystemDrive(from.systemDriveRoot, defaultExecutablePath(g));
            if (from.fs.fileExists(exe) && offered(from.dialogs, g.kind, exe))
                game = {path::withTrailingSeparator(onSystemDrive(from.systemDriveRoot, g.defaultFolder)), g.kind};
        }
        if (game.dir.empty())
            from.dialogs.message(DlgKind::Warning, "Can't Find a UT, UT2003 or UT2004 folder.", {DlgButton::OK});
    }
    if (game.dir.empty()) {
        if (auto chosen = from.dialogs.browseForFolder("Select Your UT, UT2003, OR UT2004 Folder")) {
            game.dir = path::withoutTrailingSeparator(*chosen);
            if (auto kind = kindInFolder(from.fs, game.dir))
                game.kind = *kind;
            else
                from.dialogs.message(DlgKind::Warning, "That does not appear to be a valid UT/UT2003/UT2004 folder",
                                     {DlgButton::OK});
        } else {
            game.dir = onSystemDrive(from.systemDriveRoot, "UT2004");
        }
    }
    game.dir = path::withTrailingSeparator(game.dir);
    return game;
}

std::vector<ModFolder> ListModFolders(FileSystem& fs, const GameFolder& game) {
    std::vector<ModFolder> mods = {{defaultModCaption(game.kind), game.dir}};
    for (const DirEntry& e : fs.list(game.dir, "*.*")) {
        if (!e.isPlainFolder()) continue;
        const std::string d = path::withTrailingSeparator(game.dir + e.name);
        if (fs.folderExists(d + "Maps")) mods.push_back({e.name, d});
    }
    return mods;
}

std::string CacheFolderOf(FileSystem& fs, const GameFolder& game, const std::string& contentRoot) {
    const std::string gameCache = game.dir + "Cache" + path::kSeparator;
    if (contentRoot.empty() || contentRoot == game.dir) return gameCache;
    const std::string modCache = contentRoot + "Cache" + path::kSeparator;
    return fs.fileExists(modCache + "Cache.ini") ? modCache : gameCache;
}

}  // namespace qm
