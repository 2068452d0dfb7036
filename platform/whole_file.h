#pragma once
// Whole files read with the identity of the version read, and replaced
// atomically: every writer of the program (the INI writer, the registry
// store, FileSystem::writeFile) goes through FileReplacer, so there is one
// way to write a file and one name for its temporary.
//
// A replacement writes a new file beside the original under the name
// "<name>.qmtmp-<8 hexadecimal digits>", optionally flushes it to disk,
// gives it the original's owner and permissions and renames it over the
// original in one step: a reader sees the old or the new file, never a torn
// one. A program killed between writing the temporary and renaming it
// leaves the temporary behind; the next replacement of that file removes
// every such leftover that is older than the running program (a younger one
// may belong to another instance that is writing right now).
//
// Failures are the system's own error codes (errno on POSIX, GetLastError
// on Windows); systemErrorText gives the system's text for one.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace qm::platform {

// What tells one version of a file from another without reading it.
struct FileIdentity {
    uint64_t device = 0;  // Windows: the volume serial number
    uint64_t inode = 0;   // Windows: the file index
    uint64_t size = 0;
    int64_t modifiedNs = 0;  // last modification, in the system's own epoch
    bool operator==(const FileIdentity&) const = default;
};

struct WholeFile {
    std::string bytes;
    FileIdentity identity;  // of exactly the bytes read
    // The file's own marking, not what the current user may do: as root
    // every file can be written, yet a file marked read-only stays as it is.
    bool writable = false;
};

// The identity of the regular file at `path` (following a symbolic link).
// A folder or another kind of file fails with EISDIR / EINVAL (Windows:
// ERROR_DIRECTORY / ERROR_INVALID_FUNCTION).
std::error_code identityOf(const std::string& path, FileIdentity& out);

// Reads the whole regular file at `path`.
std::error_code readWholeFile(const std::string& path, WholeFile& out);

// The system's own text for an error code.
std::string systemErrorText(const std::error_code& error);

// The temporary-name scheme: "<name>.qmtmp-" and eight hexadecimal digits.
inline constexpr std::string_view kTemporaryMark = ".qmtmp-";
std::string temporaryNameFor(std::string_view fileName, uint32_t random);
// Whether `candidate` is a temporary name of the file `fileName` (compared
// as spelled; the Windows half's folder search ignores case itself).
bool isTemporaryNameOf(std::string_view candidate, std::string_view fileName);

struct ReplaceOptions {
    // Wait until the new contents and the rename are on disk. Without it
    // the replacement is just as atomic for every reader, and a later
    // FileReplacer::flush makes it durable.
    bool flush = true;
    // Replace only this version of the file: when the file is another one
    // by the time of the rename (another program rewrote it meanwhile),
    // nothing is written and the result says `changed`.
    const FileIdentity* onlyOver = nullptr;
};

struct ReplaceResult {
    std::error_code error;    // the failure, if any
    bool changed = false;     // `onlyOver` no longer names the file
    FileIdentity identity;    // of the new file, after success
    explicit operator bool() const { return !error && !changed; }
};

// One per writer: it remembers which files' leftovers it has swept, so a
// run of rewrites of one file searches the file's folder only once.
class FileReplacer {
public:
    // Replaces the file at `path` (or creates it) with `bytes`. A symbolic
    // link is kept and its target replaced. A new file gets the permissions
    // that the process's file-creation mask allows.
    ReplaceResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options = {});

    // Puts the current contents of the file at `path` and its folder entry
    // on disk: the one wait that a run of unflushed replacements saves.
    std::error_code flush(const std::string& path);

private:
    void removeLeftovers(const std::string& resolvedPath);
    std::set<std::string> swept_;
};

}  // namespace qm::platform
