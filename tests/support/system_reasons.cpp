#include "support/system_reasons.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "support/temp_dir.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm::test {

#ifdef _WIN32

namespace {

// The system's text for an error code, read here on its own rather than
// through the code under test; only the line break at its end is dropped.
std::string systemText(DWORD code) {
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                             512, nullptr);
    while (n > 0 && (buffer[n - 1] == L'\n' || buffer[n - 1] == L'\r')) --n;
    return utf8Path(std::filesystem::path(std::wstring(buffer, n)));
}

}  // namespace

namespace reason {
std::string moveTargetExists() { return systemText(ERROR_ALREADY_EXISTS); }
std::string copyTargetExists() { return systemText(ERROR_FILE_EXISTS); }
std::string noSuchFile() { return systemText(ERROR_FILE_NOT_FOUND); }
std::string noSuchFolder() { return systemText(ERROR_PATH_NOT_FOUND); }
std::string folderGivenAsFile() { return systemText(ERROR_ACCESS_DENIED); }
std::string fileInTheWayOfAFolder() { return systemText(ERROR_PATH_NOT_FOUND); }
}  // namespace reason

std::optional<std::string> folderOnAnotherVolume() {
    const char* drive = std::getenv("QM_TEST_OTHER_DRIVE");
    if (!drive || !*drive) return std::nullopt;
    const std::string root = std::string(drive) + "\\";
    std::error_code ec;
    if (!std::filesystem::is_directory(fsPath(root), ec)) return std::nullopt;
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string folder = root + "qmtest-" + std::to_string(seed() % 1000000000u);
        if (std::filesystem::create_directory(fsPath(folder), ec)) return folder + "\\";
    }
    return std::nullopt;
}

#else

namespace reason {
std::string moveTargetExists() { return std::strerror(EEXIST); }
std::string copyTargetExists() { return std::strerror(EEXIST); }
std::string noSuchFile() { return std::strerror(ENOENT); }
std::string noSuchFolder() { return std::strerror(ENOENT); }
std::string folderGivenAsFile() { return std::strerror(EISDIR); }
std::string fileInTheWayOfAFolder() { return std::strerror(ENOTDIR); }
}  // namespace reason

std::optional<std::string> folderOnAnotherVolume() {
    struct stat shm {}, temp {};
    const std::string tempFolder = std::filesystem::temp_directory_path().string();
    if (::stat("/dev/shm", &shm) != 0 || ::stat(tempFolder.c_str(), &temp) != 0 || shm.st_dev == temp.st_dev)
        return std::nullopt;
    char name[] = "/dev/shm/qmtest-XXXXXX";
    if (!mkdtemp(name)) return std::nullopt;
    return std::string(name) + "/";
}

#endif

}  // namespace qm::test
