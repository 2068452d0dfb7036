#include "game_tool.h"

#include "paths.h"

namespace qm {

std::string spelledOnDisk(FileSystem& fs, const std::string& folder, const std::string& name) {
    if (auto real = fs.realPath(folder + name)) return path::fileName(path::withoutTrailingSeparator(*real));
    return name;
}

GameTool resolveGameTool(FileSystem& fs, const std::string& gameDir) {
    const std::string systemName = spelledOnDisk(fs, gameDir, "System");
    const std::string system = gameDir + systemName + path::kSeparator;
    GameTool tool{system + spelledOnDisk(fs, system, "ucc"), gameDir + systemName};
#ifndef _WIN32
    if (fs.fileExists(system + "ucc-bin")) tool.program = system + spelledOnDisk(fs, system, "ucc-bin");
#endif
    return tool;
}

}  // namespace qm
