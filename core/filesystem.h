#pragma once
// The file system as the program sees it. The platform layer implements it;
// tests wrap the real implementation to inject failures.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datetime.h"
#include "error.h"

namespace qm {

// Attribute bits of a folder entry, in the meaning of the classic file
// attributes. On POSIX the platform layer maps them (see docs).
enum FileAttribute : unsigned {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrFolder = 0x10,
    kAttrArchive = 0x20,
    kAttrOther = 0x400,  // reparse point / symbolic link / anything special
};

struct DirEntry {
    std::string name;        // as the file system reports it
    unsigned attributes = 0; // FileAttribute bits
    int64_t size = 0;        // bytes
    DateTime time;           // last modification, local, two-second precision

    bool isFolder() const { return (attributes & kAttrFolder) != 0; }
    // A folder with no further marking (the rule for offering mod folders).
    bool isPlainFolder() const { return attributes == kAttrFolder; }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Entries of `folder` whose names match `pattern` (`*` and `?`, without
    // regard to case), folders included, "." and ".." excluded, in the order
    // the file system returns them. A missing folder gives an empty list.
    virtual std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) = 0;

    // The existence test: the first entry of a search in `folder` for names
    // made of `literal` (matched as plain text, without regard to case)
    // followed by `wildcardTail` (may hold `*` and `?`). The answer is that
    // first entry when it is a file; a folder as first entry, or no entry,
    // gives nothing. A literal holding a separator matches nothing, so it
    // never reaches another folder.
    virtual std::optional<DirEntry> findFirstFile(const std::string& folder, const std::string& literal,
                                                  const std::string& wildcardTail) = 0;

    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    // The path of an existing entry in the spelling the file system holds
    // (each name as it is on disk: "cache/cache.ini" may be
    // ".../Cache/Cache.ini"); nothing when there is no such entry.
    virtual std::optional<std::string> realPath(const std::string& path) = 0;

    // Moves a file; never replaces an existing target, also not in a race.
    // Across file systems it copies, flushes, then removes the source.
    virtual Status moveFile(const std::string& from, const std::string& to) = 0;
    // Copies a file; fails when the target exists; leaves no partial target.
    virtual Status copyFile(const std::string& from, const std::string& to) = 0;
    // Deletes a file (a symbolic link is removed as a link) permanently.
    virtual Status deleteFile(const std::string& path) = 0;
    // Writes `data` to `path`, replacing an existing file atomically.
    virtual Status writeFile(const std::string& path, const std::string& data) = 0;
};

}  // namespace qm
