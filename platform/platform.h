#pragma once
// Factories for the real implementations of the core interfaces, and the few
// facts about the running process that only the OS knows.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/registry.h"
#include "core/version.h"

namespace qm::platform {

std::unique_ptr<FileSystem> makeFileSystem();
std::unique_ptr<IniFiles> makeIniFiles();
// Windows: the real registry (`storePath` is ignored). POSIX: a `.reg` text
// file at `storePath` holding both roots.
std::unique_ptr<Registry> makeRegistry(const std::string& storePath);
// POSIX: $XDG_CONFIG_HOME/quillmere/registry.reg, else ~/.config/...
std::string defaultRegistryStorePath();

std::string executablePath();
// What a console program wrote to its standard output, as UTF-8 text.
// Windows: console programs write in the OEM code page (437 on a US
// system), which is decoded here. POSIX: the locale's encoding is UTF-8, so
// the bytes are the text (a sequence that is not UTF-8 stays for the
// window to show as a replacement character).
std::string consoleTextToUtf8(const std::string& bytes);
DateTime localNow();
// Where the games' default folders live: "C:\" on Windows; on POSIX the
// C: drive of the Wine prefix ($WINEPREFIX, else ~/.wine), with a trailing
// separator, or "" when there is none.
std::string systemDriveRoot();

// The user's collation without regard to letter case, as a key whose byte
// order (std::string's <) is that collation's order; equal keys mean texts
// that differ at most in case. Windows: the user's locale's sort key.
// POSIX: the collation of the user's locale (LC_ALL, LC_COLLATE, LANG),
// C.UTF-8 when that locale is not installed.
std::string userCollationKey(std::string_view text);

// Starts `program` with `arguments` (each one handed over as one argument,
// blanks and all) in `workingFolder`, and does not wait for it. The program
// gets a console window of its own: Windows opens it through the shell's
// "open"; elsewhere it runs in a terminal window when the desktop has one
// ($TERMINAL, else the system's x-terminal-emulator; only with a DISPLAY or
// WAYLAND_DISPLAY), otherwise without one. A failure to start carries the
// system's reason; what the program does once started is not watched.
Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workingFolder);

// What the system says about itself.
struct SystemVersion {
    // Windows: the platform id of the version query (0 Win32s, 1 the
    // Windows 95 family, 2 the NT family). Elsewhere kPosixPlatformId.
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    // POSIX only: the distribution's name and the kernel release.
    std::string name;
    std::string release;
};
inline constexpr uint32_t kPosixPlatformId = 0x100;
// False when the system's version query fails.
bool querySystemVersion(SystemVersion& out);
// The version resource of an executable file; nullopt when the file has
// none or cannot be read. Windows: the file's VERSIONINFO resource. POSIX:
// the version block embedded in the file.
std::optional<version::Resource> readVersionResource(const std::string& path);

}  // namespace qm::platform
