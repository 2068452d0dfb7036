#pragma once
// Names compare without regard to ASCII case, as on the games' home
// platform, so a game folder copied from Windows ("System" or "system",
// "Cache.ini" or "cache.ini") works unchanged on a file system that tells
// them apart.
#include <optional>
#include <string>

namespace qm::platform {

// The path as the file system spells it. POSIX: each component whose exact
// name does not exist is replaced by the first entry of its folder (in the
// file system's own order) that equals it without regard to case;
// components that exist in no spelling are kept as given, so the result
// also serves to create them. Windows, whose file system ignores case
// itself: the path as given.
std::string spelledOnDisk(const std::string& path);

// The real spelling of every component of an existing path (a trailing
// separator is kept); nothing when no entry is there in any spelling.
std::optional<std::string> realSpelling(const std::string& path);

}  // namespace qm::platform
