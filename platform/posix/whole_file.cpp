// Whole-file reads and atomic replacements on POSIX.
#include "platform/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

namespace qm::platform {

namespace {

std::error_code errnoCode(int error) { return {error, std::system_category()}; }
std::error_code lastError() { return errnoCode(errno); }

// When the running program started, taken as the library is loaded: a
// temporary last written before it cannot belong to this run, nor to an
// instance that is still writing it.
const timespec kProgramStart = [] {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool isBefore(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

FileIdentity identityFrom(const struct stat& st) {
    FileIdentity id;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<uint64_t>(st.st_size);
    id.modifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

std::error_code notARegularFile(const struct stat& st) { return errnoCode(S_ISDIR(st.st_mode) ? EISDIR : EINVAL); }

// A symbolic link is replaced by rewriting its target, not the link itself.
std::string linkTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) return path;
    return buffer;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::error_code syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return lastError();
    const std::error_code error = ::fsync(fd) == 0 ? std::error_code() : lastError();
    ::close(fd);
    return error;
}

bool writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (put == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

// Renames the finished temporary over `path`. A rename over an existing
// file makes ext4 and XFS allocate the new file's blocks and start writing
// them at once (their guard for programs that never flush), which costs
// milliseconds per rewrite; a caller that defers the flush has its own
// plan for the disk, so there the two names are exchanged (just as atomic
// for every reader) and the old file, now under the temporary name, is
// removed.
bool putInPlace(const std::string& temp, const std::string& path, bool flushDeferred) {
    if (flushDeferred) {
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
            ::unlink(temp.c_str());
            return true;
        }
        // Not supported there, or the original vanished meanwhile.
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != ENOENT) return false;
    }
    return ::rename(temp.c_str(), path.c_str()) == 0;
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

std::error_code identityOf(const std::string& path, FileIdentity& out) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return lastError();
    if (!S_ISREG(st.st_mode)) return notARegularFile(st);
    out = identityFrom(st);
    return {};
}

std::error_code readWholeFile(const std::string& path, WholeFile& out) {
    // O_NONBLOCK keeps a fifo from blocking the open; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return lastError();
    const FdCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return lastError();
    if (!S_ISREG(st.st_mode)) return notARegularFile(st);
    out.identity = identityFrom(st);
    // Permission bits decide, not access(): see WholeFile::writable.
    out.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    out.bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    for (;;) {
        if (done == out.bytes.size()) out.bytes.resize(out.bytes.size() + 65536);  // the file grew meanwhile
        const ssize_t got = ::read(fd, out.bytes.data() + done, out.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return lastError();
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    out.bytes.resize(done);
    // Read while another program wrote: the identity is that of the bytes held.
    if (done != out.identity.size && ::fstat(fd, &st) == 0) out.identity = identityFrom(st);
    return {};
}

std::string systemErrorText(const std::error_code& error) { return std::strerror(error.value()); }

ReplaceResult FileReplacer::replace(const std::string& linkPath, std::string_view bytes, const ReplaceOptions& options) {
    ReplaceResult result;
    const std::string path = linkTarget(linkPath);
    removeLeftovers(path);
    struct stat original {};
    const bool existed = ::stat(path.c_str(), &original) == 0;
    if (existed && !S_ISREG(original.st_mode)) {
        result.error = notARegularFile(original);
        return result;
    }
    if (!existed && options.onlyOver) {
        result.error = errnoCode(ENOENT);
        return result;
    }

    const std::string folder = folderOf(path) + "/";
    const std::string name = nameOf(path);
    std::random_device random;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + temporaryNameFor(name, random());
        // Exclusive: a name that nobody else holds. 0666 lets the creation
        // mask decide for a new file; an existing one's mode is copied below.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            result.error = lastError();
            return result;
        }
    }
    if (fd < 0) {
        result.error = lastError();
        return result;
    }
    auto fail = [&](int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        result.error = errnoCode(error);
        return result;
    };
    if (existed) {
        if (::fchmod(fd, original.st_mode & 07777) != 0) return fail(errno);
        // Only root may give a file away; an ordinary user's own file keeps
        // its owner anyway, so a refusal here changes nothing.
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
        }
    }
    if (!writeAll(fd, bytes)) return fail(errno);
    if (options.flush && ::fsync(fd) != 0) return fail(errno);
    struct stat written {};
    if (::fstat(fd, &written) != 0) return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail(errno);

    if (options.onlyOver) {
        FileIdentity now;
        if (const std::error_code error = identityOf(path, now)) return fail(error.value());
        if (!(now == *options.onlyOver)) {
            ::unlink(temp.c_str());
            result.changed = true;
            return result;
        }
    }
    if (!putInPlace(temp, path, existed && !options.flush)) return fail(errno);
    if (options.flush) syncFolder(folderOf(path));  // the file is in place; a failure here only delays durability
    result.identity = identityFrom(written);
    return result;
}

std::error_code FileReplacer::flush(const std::string& linkPath) {
    const std::string path = linkTarget(linkPath);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return lastError();
    std::error_code error = ::fsync(fd) == 0 ? std::error_code() : lastError();
    ::close(fd);
    if (!error) error = syncFolder(folderOf(path));
    return error;
}

void FileReplacer::removeLeftovers(const std::string& path) {
    if (!swept_.insert(path).second) return;
    const std::string folder = folderOf(path);
    const std::string name = nameOf(path);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!isTemporaryNameOf(entry->d_name, name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (isBefore(st.st_mtim, kProgramStart)) ::unlinkat(dirFd, entry->d_name, 0);
    }
}

}  // namespace qm::platform
