#pragma once
// Which version of the program runs, and on which system.
#include <cstdint>
#include <optional>
#include <string>

#include "core/registry.h"
#include "platform/platform.h"

namespace qm {

// The version of an executable file from its version resource: the four
// numbers of its "FileVersion" text and the special-build text of its file
// flags. True when the file exists and its resource has a fixed part; the
// numbers are filled from the text even when the result is false.
bool GetFileVersion(const std::string& fileName, int32_t& major, int32_t& minor, int32_t& release, int32_t& build,
                    std::string& specialBuild);

// One text value of a file's version resource, from the string table of its
// first translation: "" when the value or the translation table is missing,
// "0.0.0.0" when the file has no version resource at all.
std::string GetVersionInfoValue(const std::string& fileName, const std::string& valueName);

// The running system: its name, version numbers, the low 16 bits of its
// build number and its service-pack text (on POSIX the kernel release).
// False, with zero numbers and the texts untouched, when the system's
// version query fails. Windows names come from `registry`; a value there of
// the wrong type raises the registry's error.
bool GetOSInfo(Registry& registry, std::string& name, int32_t& major, int32_t& minor, int32_t& build,
               std::string& servicePack);
// The same from a given answer of the version query (nullopt: it failed).
bool GetOSInfoFrom(const std::optional<platform::SystemVersion>& query, Registry& registry, std::string& name,
                   int32_t& major, int32_t& minor, int32_t& build, std::string& servicePack);

}  // namespace qm
