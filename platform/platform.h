#pragma once
// Factories for the real implementations of the core interfaces, and the few
// facts about the running process that only the OS knows.
#include <memory>
#include <string>

#include "core/datetime.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/registry.h"

namespace qm::platform {

std::unique_ptr<FileSystem> makeFileSystem();
std::unique_ptr<IniFiles> makeIniFiles();
// Windows: the real registry (`storePath` is ignored). POSIX: a `.reg` text
// file at `storePath` holding both roots.
std::unique_ptr<Registry> makeRegistry(const std::string& storePath);
// POSIX: $XDG_CONFIG_HOME/quillmere/registry.reg, else ~/.config/...
std::string defaultRegistryStorePath();

std::string executablePath();
DateTime localNow();
// Where the games' default folders live: "C:\" on Windows; on POSIX the
// C: drive of the Wine prefix ($WINEPREFIX, else ~/.wine), with a trailing
// separator, or "" when there is none.
std::string systemDriveRoot();

}  // namespace qm::platform
