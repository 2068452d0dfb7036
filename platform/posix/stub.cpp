// Placeholder until the POSIX half lands.
#include "platform/platform.h"

namespace qm::platform {
std::unique_ptr<FileSystem> makeFileSystem() { return nullptr; }
std::unique_ptr<IniFiles> makeIniFiles() { return nullptr; }
std::unique_ptr<Registry> makeRegistry(const std::string&) { return nullptr; }
std::string defaultRegistryStorePath() { return {}; }
std::string executablePath() { return {}; }
DateTime localNow() { return {}; }
std::string systemDriveRoot() { return {}; }
}  // namespace qm::platform
