// The file system on Windows. Paths are UTF-8 and go to the wide-character
// calls. The system compares names without regard to case itself, and its
// attribute bits are the ones FileAttribute names; every bit without a
// meaning of its own here (reparse point, compressed, not indexed, ...)
// becomes kAttrOther, so a folder carrying any of them is no plain folder.
// Failures carry the system's own message text. Whole files are written by
// the one atomic replacement of platform/whole_file.h.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>

#include "core/paths.h"
#include "platform/platform.h"
#include "platform/spelling.h"
#include "platform/whole_file.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {
namespace {

struct FindCloser {
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

FindHandle findFirst(const std::string& pattern, WIN32_FIND_DATAW& data) {
    HANDLE h = FindFirstFileW(wide(pattern).c_str(), &data);
    return FindHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

bool isDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

DateTime localFileTime(const FILETIME& utc) {
    // The classic file date: local time, even seconds.
    FILETIME local{};
    WORD date = 0, time = 0;
    DateTime d;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return d;
    d.year = 1980 + (date >> 9);
    d.month = (date >> 5) & 0x0F;
    d.day = date & 0x1F;
    d.hour = time >> 11;
    d.minute = (time >> 5) & 0x3F;
    d.second = (time & 0x1F) * 2;
    return d;
}

DirEntry makeEntry(const WIN32_FIND_DATAW& data) {
    constexpr DWORD kKnown = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
    DirEntry e;
    e.name = narrow(data.cFileName);
    const DWORD a = data.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    e.attributes = a & kKnown;
    if ((a & ~kKnown) != 0) e.attributes |= kAttrOther;
    e.size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    e.time = localFileTime(data.ftLastWriteTime);
    return e;
}

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(wide(path).c_str()); }

bool exists(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

class Win32FileSystem final : public FileSystem {
public:
    std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) override {
        // The pattern is matched here, not by the system, so that short 8.3
        // names never match and every platform reads "*.*" alike.
        std::vector<DirEntry> entries;
        WIN32_FIND_DATAW data{};
        FindHandle h = findFirst(path::join(folder, "*"), data);
        if (!h) return entries;
        do {
            if (isDotOrDotDot(data.cFileName)) continue;
            DirEntry e = makeEntry(data);
            if (path::wildcardMatch(pattern, e.name)) entries.push_back(std::move(e));
        } while (FindNextFileW(h.get(), &data));
        return entries;
    }

    std::optional<DirEntry> findFirstFile(const std::string& folder, const std::string& literal,
                                          const std::string& wildcardTail) override {
        // No file name holds a wildcard, a separator or a stream colon, so a
        // literal with one matches nothing (and never reaches elsewhere).
        if (literal == "." || literal == ".." || literal.find_first_of("/\\*?:") != std::string::npos)
            return std::nullopt;
        if (literal.empty() && wildcardTail.empty()) return std::nullopt;
        WIN32_FIND_DATAW data{};
        FindHandle h = findFirst(path::join(folder, literal + wildcardTail), data);
        if (!h) return std::nullopt;
        while (isDotOrDotDot(data.cFileName)) {
            if (!FindNextFileW(h.get(), &data)) return std::nullopt;
        }
        // The first entry decides: a folder there means no file.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
        return makeEntry(data);
    }

    bool fileExists(const std::string& path) override {
        const DWORD a = attributesOf(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    bool folderExists(const std::string& path) override {
        const DWORD a = attributesOf(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // The system matches names without case; a folder search per
    // component gives back each name as stored (platform/spelling.h).
    std::optional<std::string> realPath(const std::string& path) override { return realSpelling(path); }

    Status moveFile(const std::string& from, const std::string& to) override {
        // Without MOVEFILE_REPLACE_EXISTING the system refuses an existing
        // target itself, atomically.
        const bool targetWasThere = exists(to);
        if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
            return Status::success();
        const DWORD error = GetLastError();
        // A move across volumes that copied but could not remove the source
        // leaves two files: take the copy back, the source stays.
        if (!targetWasThere && error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && exists(from))
            DeleteFileW(wide(to).c_str());
        return systemFailure(error);
    }

    Status copyFile(const std::string& from, const std::string& to) override {
        const bool targetWasThere = exists(to);
        if (CopyFileW(wide(from).c_str(), wide(to).c_str(), TRUE)) return Status::success();
        const DWORD error = GetLastError();
        if (!targetWasThere && error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            DeleteFileW(wide(to).c_str());
        return systemFailure(error);
    }

    Status deleteFile(const std::string& path) override {
        if (!DeleteFileW(wide(path).c_str())) return lastFailure();
        return Status::success();
    }

    Status writeFile(const std::string& path, const std::string& data) override {
        const ReplaceResult written = replacer_.replace(path, data);
        if (!written) return systemFailure(static_cast<DWORD>(written.error.value()));
        return Status::success();
    }

private:
    FileReplacer replacer_;
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace qm::platform
