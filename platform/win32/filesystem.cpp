// The file system on Windows. Paths are UTF-8 and go to the wide-character
// calls. The system compares names without regard to case itself, and its
// attribute bits are the ones FileAttribute names; every bit without a
// meaning of its own here (reparse point, compressed, not indexed, ...)
// becomes kAttrOther, so a folder carrying any of them is no plain folder.
// Names match patterns by their long form only: the system's own search also
// matches the short 8.3 names ("Pack.uxxbackup" is "PACK~1.UXX"), which
// would make "Pack*.uxx" find it. Failures carry the system's own message
// text. Whole files are written by the one atomic replacement of
// platform/whole_file.h.
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
#include "platform/win32/copy_file.h"
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

// Removes a copy this layer made, also when it carries the source's
// read-only attribute.
void removeCopy(const std::wstring& target) {
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(target.c_str());
}

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
        // The first entry whose long name matches decides: a folder there
        // means no file. Entries that matched by their short name are passed.
        const std::string pattern = literal + wildcardTail;
        do {
            if (isDotOrDotDot(data.cFileName)) continue;
            const std::string name = narrow(data.cFileName);
            if (!path::wildcardMatch(pattern, name)) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
            return makeEntry(data);
        } while (FindNextFileW(h.get(), &data));
        return std::nullopt;
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
        const std::wstring source = wide(from);
        if (MoveFileExW(source.c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return Status::success();
        const DWORD error = GetLastError();
        if (error != ERROR_NOT_SAME_DEVICE) return systemFailure(error);
        // Another volume: copy, flush, and only then give up the source. A
        // source that cannot be deleted (read-only, in use) takes its copy
        // back, so the file is never in two places.
        if (Status copied = win32::copyFileExclusive(from, to); !copied) return copied;
        if (!DeleteFileW(source.c_str())) {
            const DWORD deleteError = GetLastError();
            removeCopy(wide(to));
            return systemFailure(deleteError);
        }
        return Status::success();
    }

    Status copyFile(const std::string& from, const std::string& to) override {
        return win32::copyFileExclusive(from, to);
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

namespace win32 {

Status copyFileExclusive(const std::string& from, const std::string& to, const WriteFunction& write) {
    // Nobody may write the source while it is copied.
    HANDLE in = CreateFileW(wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return lastFailure();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(in, &info)) {
        const DWORD error = GetLastError();
        CloseHandle(in);
        return systemFailure(error);
    }
    const std::wstring target = wide(to);
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(in);
        return systemFailure(error);
    }
    auto fail = [&](DWORD error) {
        CloseHandle(in);
        CloseHandle(out);
        removeCopy(target);
        return systemFailure(error);
    };
    static constexpr DWORD kChunk = 1 << 16;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.get(), kChunk, &got, nullptr)) return fail(GetLastError());
        if (got == 0) break;
        DWORD done = 0;
        while (done < got) {
            DWORD n = 0;
            if (!write(out, buffer.get() + done, got - done, &n)) return fail(GetLastError());
            if (n == 0) return fail(ERROR_WRITE_FAULT);
            done += n;
        }
    }
    if (!FlushFileBuffers(out) || !SetFileTime(out, nullptr, nullptr, &info.ftLastWriteTime))
        return fail(GetLastError());
    CloseHandle(in);
    if (!CloseHandle(out)) {
        const DWORD error = GetLastError();
        removeCopy(target);
        return systemFailure(error);
    }
    // The attributes come last: a read-only copy could not be finished.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((info.dwFileAttributes & kKept) != 0 &&
        !SetFileAttributesW(target.c_str(), info.dwFileAttributes & (kKept | FILE_ATTRIBUTE_ARCHIVE))) {
        const DWORD error = GetLastError();
        removeCopy(target);
        return systemFailure(error);
    }
    return Status::success();
}

Status copyFileExclusive(const std::string& from, const std::string& to) {
    return copyFileExclusive(from, to, [](HANDLE file, const void* data, DWORD size, DWORD* written) {
        return WriteFile(file, data, size, written, nullptr);
    });
}

}  // namespace win32

std::unique_ptr<FileSystem> makeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace qm::platform
