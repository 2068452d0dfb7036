#pragma once
// The game's command-line tool, as mutator import and package compression
// start it.
#include <string>

#include "filesystem.h"

namespace qm {

struct GameTool {
    std::string program;        // full path of the tool
    std::string workingFolder;  // the game's System folder, no trailing separator
};

// The tool in the System folder of `gameDir` (ending with the separator),
// spelled as on disk: "ucc"; outside Windows "ucc-bin", the native tool of
// the games' Linux builds, when it is there.
GameTool resolveGameTool(FileSystem& fs, const std::string& gameDir);

// The spelling on disk of the entry `name` in `folder` (a game folder copied
// from Windows may say "system" or "SYSTEM"); `name` itself when there is
// no such entry.
std::string spelledOnDisk(FileSystem& fs, const std::string& folder, const std::string& name);

}  // namespace qm
