#pragma once
// Where the game is: beside the program, where installers recorded it, at
// the games' default folders, or where the user points; and the mod folders
// inside it, each a content root of its own.
#include <optional>
#include <string>
#include <vector>

#include "game.h"

namespace qm {

class Dialogs;
class FileSystem;
class Registry;

// The game the program serves. `dir` ends with the separator once
// discovery is done.
struct GameFolder {
    std::string dir;
    TGameKind kind = gkUT2003;
};

// What discovery looks at.
struct DiscoverySources {
    FileSystem& fs;
    Registry& registry;
    Dialogs& dialogs;
    std::string executablePath;   // the program's own file
    std::string systemDriveRoot;  // where default folders live; "" for none
};

// A path under the system drive (the file-system root standing in when
// there is none), in the platform's form.
std::string onSystemDrive(const std::string& systemDriveRoot, const std::string& relative);

// The program in the game's System folder, or in the game folder itself:
// the last matching probe decides. Nothing when no game is beside it.
std::optional<GameFolder> DetectGameBesideProgram(FileSystem& fs, const std::string& executablePath);

// Where the installer recorded `kind`: the folder value, else the folder of
// the maps' open command, else the default folder when its executable is
// there. Nothing when none of them tells.
std::optional<std::string> FindInstalledGame(const DiscoverySources& from, TGameKind kind);

// The whole search, asking about each folder found and finally for one.
GameFolder DiscoverGame(const DiscoverySources& from);

// An entry of the mod list: the game itself first, then every plain folder
// of the game folder that has a Maps folder.
struct ModFolder {
    std::string name;  // the list's caption
    std::string path;  // the content root, ending with the separator
};
std::vector<ModFolder> ListModFolders(FileSystem& fs, const GameFolder& game);

// The cache of a content root: its own Cache folder when that holds an
// index, else the game's.
std::string CacheFolderOf(FileSystem& fs, const GameFolder& game, const std::string& contentRoot);

}  // namespace qm
