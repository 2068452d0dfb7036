// The system's description and the version block of an executable, on POSIX.
#include <sys/utsname.h>

#include "platform/platform.h"
#include "platform/whole_file.h"

namespace qm::platform {

namespace {

std::optional<std::string> contentsOf(const std::string& path) {
    WholeFile file;
    if (readWholeFile(path, file)) return std::nullopt;
    return std::move(file.bytes);
}

}  // namespace

bool querySystemVersion(SystemVersion& out) {
    utsname u{};
    if (uname(&u) != 0) return false;
    out = SystemVersion{};
    out.platformId = kPosixPlatformId;
    const version::KernelNumbers k = version::kernelNumbers(u.release);
    out.major = k.major;
    out.minor = k.minor;
    out.build = k.patch;
    out.release = u.release;
    // The distribution's own name, else the kernel's.
    out.name = u.sysname;
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        if (auto text = contentsOf(file)) {
            if (auto pretty = version::osReleaseValue(*text, "PRETTY_NAME"); pretty && !pretty->empty()) {
                out.name = *pretty;
                break;
            }
        }
    }
    return true;
}

std::optional<version::Resource> readVersionResource(const std::string& path) {
    // The block sits in the program's read-only data, so the whole file is
    // searched; an executable is a few megabytes.
    const auto bytes = contentsOf(path);
    if (!bytes) return std::nullopt;
    return version::findBlock(*bytes);
}

}  // namespace qm::platform
