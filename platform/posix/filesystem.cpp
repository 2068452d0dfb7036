// The file system on POSIX.
//
// Names compare without regard to ASCII case, as on the games' home platform:
// every path is resolved component by component (platform/spelling.h), so a
// game folder copied from Windows ("System" or "system", "Cache.ini" or
// "cache.ini") works unchanged. Whole files are written by the one atomic
// replacement of platform/whole_file.h.
//
// Attribute mapping (POSIX has no attribute bits of its own):
//   kAttrFolder    a directory, or a symbolic link that points to one (as a
//                  link to a folder carries the folder bit on Windows)
//   kAttrHidden    a name that starts with "."
//   kAttrReadOnly  no write permission for the owner (st_mode & S_IWUSR == 0)
//   kAttrOther     a symbolic link, fifo, socket or device
//   kAttrSystem, kAttrArchive  never set
// So a "plain folder" (DirEntry::isPlainFolder) is a real directory, not a
// symbolic link, whose name does not start with "." and which its owner may
// write to. Sizes are st_size; times are st_mtime in local time, rounded down
// to even seconds. list() and stat() describe a symbolic link itself (its own
// size and time); fileExists() and folderExists() follow it.
//
// Every failure carries strerror(errno), the system's own reason.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/paths.h"
#include "platform/platform.h"
#include "platform/posix/copy_file.h"
#include "platform/posix/local_time.h"
#include "platform/spelling.h"
#include "platform/whole_file.h"
#include "platform/posix/system_failure.h"

namespace qm::platform {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

DirHandle openFolder(const std::string& folder) {
    return DirHandle(opendir(folder.empty() ? "." : folder.c_str()));
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

DateTime localFileTime(time_t t) { return toFileDatePrecision(localDateTime(t)); }

// `st` is the entry's own (lstat) status; `pointsToFolder` tells, for a
// symbolic link, whether its target is a directory.
DirEntry makeEntry(const std::string& name, const struct stat& st, bool pointsToFolder) {
    DirEntry e;
    e.name = name;
    if (S_ISDIR(st.st_mode)) e.attributes |= kAttrFolder;
    if (S_ISLNK(st.st_mode) && pointsToFolder) e.attributes |= kAttrFolder;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) e.attributes |= kAttrOther;
    if (!name.empty() && name[0] == '.') e.attributes |= kAttrHidden;
    if ((st.st_mode & S_IWUSR) == 0) e.attributes |= kAttrReadOnly;
    e.size = static_cast<int64_t>(st.st_size);
    e.time = localFileTime(st.st_mtime);
    return e;
}

// The entry `name` of the open folder `dir`, described without following a
// symbolic link; nothing when it vanished since the folder was read.
std::optional<DirEntry> entryAt(int dirFd, const char* name) {
    struct stat st {};
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    bool pointsToFolder = false;
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        pointsToFolder = fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    }
    return makeEntry(name, st, pointsToFolder);
}

std::optional<DirEntry> entryAtPath(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return std::nullopt;
    bool pointsToFolder = false;
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        pointsToFolder = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    }
    return makeEntry(path::fileName(path::withoutTrailingSeparator(path)), st, pointsToFolder);
}

bool entryExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string resolve(const std::string& path) { return spelledOnDisk(path); }

// A target of a move or copy counts as existing also when only a case
// variant of its name is there (on the games' home platform they are one
// file); resolve() has already turned the name into that variant.
bool targetTaken(const std::string& resolvedTarget) { return entryExists(resolvedTarget); }

class PosixFileSystem final : public FileSystem {
public:
    std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) override {
        std::vector<DirEntry> entries;
        DirHandle dir = openFolder(resolve(folder));
        if (!dir) return entries;
        const int fd = dirfd(dir.get());
        while (dirent* d = readdir(dir.get())) {
            if (isDotOrDotDot(d->d_name) || !path::wildcardMatch(pattern, d->d_name)) continue;
            if (auto e = entryAt(fd, d->d_name)) entries.push_back(std::move(*e));
        }
        return entries;
    }

    std::optional<DirEntry> findFirstFile(const std::string& folder, const std::string& literal,
                                          const std::string& wildcardTail) override {
        if (literal == "." || literal == ".." || literal.find_first_of("/\\") != std::string::npos)
            return std::nullopt;
        if (literal.empty() && wildcardTail.empty()) return std::nullopt;
        const std::string where = resolve(folder);
        auto fileOnly = [](std::optional<DirEntry> e) -> std::optional<DirEntry> {
            if (e && e->isFolder()) return std::nullopt;
            return e;
        };
        // The exact name needs no enumeration: this keeps a lookup in a cache
        // of thousands of files cheap.
        if (wildcardTail.empty()) {
            if (auto exact = entryAtPath(path::join(where, literal))) return fileOnly(exact);
        }
        DirHandle dir = openFolder(where);
        if (!dir) return std::nullopt;
        const int fd = dirfd(dir.get());
        while (dirent* d = readdir(dir.get())) {
            if (isDotOrDotDot(d->d_name)) continue;
            const std::string_view name = d->d_name;
            if (!path::startsWithIgnoreCase(name, literal)) continue;
            if (!path::wildcardMatch(wildcardTail, name.substr(literal.size()))) continue;
            // The first match decides, as in the classic folder search.
            if (auto e = entryAt(fd, d->d_name)) return fileOnly(e);
        }
        return std::nullopt;
    }

    bool fileExists(const std::string& path) override {
        struct stat st {};
        return ::stat(resolve(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }

    bool folderExists(const std::string& path) override {
        struct stat st {};
        return ::stat(resolve(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::optional<std::string> realPath(const std::string& path) override { return realSpelling(path); }

    Status moveFile(const std::string& from, const std::string& to) override {
        const std::string source = resolve(from);
        struct stat st {};
        if (lstat(source.c_str(), &st) != 0) return lastFailure();
        if (S_ISDIR(st.st_mode)) return systemFailure(EISDIR);
        const std::string target = resolve(to);
        if (targetTaken(target)) return systemFailure(EEXIST);
        const int error = posix::renameNoReplace(source, target);
        if (error == 0) return Status::success();
        if (error != EXDEV) return systemFailure(error);
        // Another file system (or one without hard links): copy, flush, and
        // only then give up the source.
        if (Status copied = posix::copyFileExclusive(source, target); !copied) return copied;
        if (unlink(source.c_str()) != 0) {
            const int error = errno;
            unlink(target.c_str());
            return systemFailure(error);
        }
        return Status::success();
    }

    Status copyFile(const std::string& from, const std::string& to) override {
        const std::string target = resolve(to);
        if (targetTaken(target)) return systemFailure(EEXIST);
        return posix::copyFileExclusive(resolve(from), target);
    }

    Status deleteFile(const std::string& path) override {
        // unlink removes a symbolic link itself and refuses a folder with
        // the system's own reason.
        if (unlink(resolve(path).c_str()) != 0) return lastFailure();
        return Status::success();
    }

    Status writeFile(const std::string& path, const std::string& data) override {
        const ReplaceResult written = replacer_.replace(resolve(path), data);
        if (!written) return systemFailure(written.error.value());
        return Status::success();
    }

private:
    FileReplacer replacer_;
};

}  // namespace

namespace posix {

// Renames without ever replacing the target: 0, or the errno of the
// failure. EXDEV asks the caller to copy instead.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return error;
    // A file system without the no-replace rename: a hard link fails when
    // the target exists, which is just as race-free.
    if (link(from.c_str(), to.c_str()) != 0) {
        const int linkError = errno;
        // No hard links there either: the exclusive copy is the safe way.
        return linkError == EPERM || linkError == ENOTSUP || linkError == EMLINK ? EXDEV : linkError;
    }
    if (unlink(from.c_str()) != 0) {
        const int unlinkError = errno;
        unlink(to.c_str());
        return unlinkError;
    }
    return 0;
}

Status copyFileExclusive(const std::string& from, const std::string& to, const WriteFunction& write) {
    // O_NONBLOCK keeps a fifo from blocking the open; it is refused below.
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return lastFailure();
    struct stat st {};
    if (fstat(in, &st) != 0) {
        const int error = errno;
        close(in);
        return systemFailure(error);
    }
    if (!S_ISREG(st.st_mode)) {
        close(in);
        return systemFailure(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        const int error = errno;
        close(in);
        return systemFailure(error);
    }
    auto fail = [&](int error) {
        close(in);
        close(out);
        unlink(to.c_str());
        return systemFailure(error);
    };
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (got == 0) break;
        size_t done = 0;
        while (done < static_cast<size_t>(got)) {
            const ssize_t n = write(out, buffer + done, static_cast<size_t>(got) - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail(errno);
            }
            if (n == 0) return fail(EIO);
            done += static_cast<size_t>(n);
        }
    }
    if (fsync(out) != 0) return fail(errno);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (futimens(out, times) != 0) return fail(errno);
    close(in);
    if (close(out) != 0) {
        const int error = errno;
        unlink(to.c_str());
        return systemFailure(error);
    }
    return Status::success();
}

Status copyFileExclusive(const std::string& from, const std::string& to) {
    return copyFileExclusive(from, to, [](int fd, const void* data, size_t size) { return ::write(fd, data, size); });
}

}  // namespace posix

std::unique_ptr<FileSystem> makeFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace qm::platform
