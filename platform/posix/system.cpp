// Facts about the running process on POSIX.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/paths.h"
#include "platform/platform.h"
#include "platform/posix/local_time.h"

namespace qm::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string executablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

// The locale's encoding is UTF-8 here, as Qt assumes on POSIX.
std::string consoleTextToUtf8(const std::string& bytes) { return bytes; }

DateTime localNow() { return localDateTime(std::time(nullptr)); }

std::string systemDriveRoot() {
    // A set WINEPREFIX names the prefix in use; ~/.wine is only Wine's
    // default when it is not set.
    std::string prefix = environment("WINEPREFIX");
    if (prefix.empty()) {
        const std::string home = homeFolder();
        if (home.empty()) return {};
        prefix = path::join(home, ".wine");
    }
    const std::string drive = path::join(prefix, "drive_c");
    return isFolder(drive) ? path::withTrailingSeparator(drive) : std::string();
}

std::string defaultRegistryStorePath() {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = homeFolder();
        if (home.empty()) return {};
        config = path::join(home, ".config");
    }
    return path::join(path::join(config, "quillmere"), "registry.reg");
}

}  // namespace qm::platform
