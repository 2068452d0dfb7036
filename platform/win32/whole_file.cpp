// Whole-file reads and atomic replacements on Windows. The new file is put
// in place with ReplaceFileW, which keeps the original's owner, security
// descriptor and attributes; a file that does not exist yet is created with
// MoveFileExW. Error codes are GetLastError values in the system category.
#include "platform/whole_file.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "core/paths.h"
#include "platform/spelling.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {

namespace {

std::error_code systemCode(DWORD error) { return {static_cast<int>(error), std::system_category()}; }
std::error_code lastError() { return systemCode(GetLastError()); }

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        const bool ok = !valid() || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

int64_t ticksOf(const FILETIME& t) { return int64_t((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime); }

std::error_code identityOfHandle(HANDLE h, FileIdentity& out, DWORD* attributes = nullptr) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return lastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return systemCode(ERROR_DIRECTORY);
    out.device = info.dwVolumeSerialNumber;
    out.inode = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    out.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    out.modifiedNs = ticksOf(info.ftLastWriteTime) * 100;
    if (attributes) *attributes = info.dwFileAttributes;
    return {};
}

// Opens an existing file with every kind of sharing, so the game may keep
// reading and writing it.
HANDLE openShared(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool writeAll(HANDLE h, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD put = 0;
        if (!WriteFile(h, bytes.data() + done, want, &put, nullptr)) return false;
        if (put == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += put;
    }
    return true;
}

// When this process was created: a temporary last written before it cannot
// belong to this run, nor to an instance that is still writing it.
bool programStart(FILETIME& start) {
    FILETIME exited, kernel, user;
    return GetProcessTimes(GetCurrentProcess(), &start, &exited, &kernel, &user) != 0;
}

uint32_t randomNumber() {
    // Some runtimes' random_device is a fixed sequence; the clock and the
    // process id keep two instances apart, and CREATE_NEW settles the rest.
    static thread_local std::mt19937 generator(std::random_device{}() ^ static_cast<uint32_t>(GetTickCount64()) ^
                                               (GetCurrentProcessId() * 2654435761u));
    return static_cast<uint32_t>(generator());
}

}  // namespace

std::error_code identityOf(const std::string& path, FileIdentity& out) {
    const Handle h(openShared(wide(path), FILE_READ_ATTRIBUTES));
    if (!h.valid()) return lastError();
    return identityOfHandle(h.get(), out);
}

std::error_code readWholeFile(const std::string& path, WholeFile& out) {
    const Handle h(openShared(wide(path), GENERIC_READ));
    if (!h.valid()) return lastError();
    DWORD attributes = 0;
    if (const std::error_code error = identityOfHandle(h.get(), out.identity, &attributes)) return error;
    if (GetFileType(h.get()) != FILE_TYPE_DISK) return systemCode(ERROR_INVALID_FUNCTION);
    out.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    out.bytes.resize(static_cast<size_t>(out.identity.size));
    size_t done = 0;
    for (;;) {
        if (done == out.bytes.size()) out.bytes.resize(out.bytes.size() + 65536);  // the file grew meanwhile
        const DWORD want = static_cast<DWORD>(std::min<size_t>(out.bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(h.get(), out.bytes.data() + done, want, &got, nullptr)) return lastError();
        if (got == 0) break;
        done += got;
    }
    out.bytes.resize(done);
    if (done != out.identity.size) identityOfHandle(h.get(), out.identity);
    return {};
}

std::string systemErrorText(const std::error_code& error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t*>(&text), 0,
                                   nullptr);
    std::string reason;
    if (n != 0 && text) {
        reason = narrow(text);
        LocalFree(text);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
            reason.pop_back();
    }
    if (reason.empty()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "System error %lu", static_cast<unsigned long>(error.value()));
        reason = buffer;
    }
    return reason;
}

ReplaceResult FileReplacer::replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) {
    ReplaceResult result;
    removeLeftovers(path);
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    // A rename over a file takes the spelling it is given: the file keeps
    // its own ("Cache.ini" asked for as "cache.ini" stays "Cache.ini").
    const std::wstring target = wide(existed ? realSpelling(path).value_or(path) : path);
    if (existed && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = systemCode(ERROR_DIRECTORY);
        return result;
    }
    if (!existed && options.onlyOver) {
        result.error = systemCode(ERROR_FILE_NOT_FOUND);
        return result;
    }

    const std::string folder = path::folderPart(path);
    const std::string name = path::fileName(path);
    std::wstring temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temp = wide(folder + temporaryNameFor(name, randomNumber()));
        created = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            result.error = lastError();
            return result;
        }
    }
    if (created == INVALID_HANDLE_VALUE) {
        result.error = lastError();
        return result;
    }
    Handle h(created);
    auto fail = [&](DWORD error) {
        h.close();
        DeleteFileW(temp.c_str());
        result.error = systemCode(error);
        return result;
    };
    if (!writeAll(h.get(), bytes)) return fail(GetLastError());
    if (options.flush && !FlushFileBuffers(h.get())) return fail(GetLastError());
    if (!h.close()) return fail(GetLastError());

    if (options.onlyOver) {
        FileIdentity now;
        if (const std::error_code error = identityOf(path, now)) return fail(static_cast<DWORD>(error.value()));
        if (!(now == *options.onlyOver)) {
            DeleteFileW(temp.c_str());
            result.changed = true;
            return result;
        }
    }
    bool placed = false;
    if (existed) {
        placed = ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the original is untouched and the
        // new file still has its temporary name, so a plain rename may do.
        if (!placed && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            return fail(GetLastError());
    }
    if (!placed &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | (options.flush ? MOVEFILE_WRITE_THROUGH : 0)))
        return fail(GetLastError());
    // Wine's ReplaceFileW (and the plain rename) drop the original's hidden
    // and system marks; Windows' keeps them, so setting them again is the
    // same file either way.
    constexpr DWORD kMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (existed && (attributes & kMarks) != 0 && (GetFileAttributesW(target.c_str()) & kMarks) != (attributes & kMarks))
        SetFileAttributesW(target.c_str(), attributes & (kMarks | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    if (options.flush && existed) flush(path);  // ReplaceFileW has no write-through of its own
    // ReplaceFileW may carry the original's times over: the identity is
    // taken from the file now in place.
    if (const std::error_code error = identityOf(path, result.identity)) result.error = error;
    return result;
}

std::error_code FileReplacer::flush(const std::string& path) {
    const Handle h(openShared(wide(path), GENERIC_WRITE));
    if (!h.valid()) return lastError();
    if (!FlushFileBuffers(h.get())) return lastError();
    return {};
}

void FileReplacer::removeLeftovers(const std::string& path) {
    if (!swept_.insert(path::toLower(path)).second) return;
    FILETIME start;
    if (!programStart(start)) return;
    const std::string folder = path::folderPart(path);
    const std::string name = path::fileName(path);
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(wide(folder + name + std::string(kTemporaryMark) + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string found = narrow(data.cFileName);
        // The search ignores case; the name is compared in its own spelling.
        if (found.size() < name.size() || !isTemporaryNameOf(found, found.substr(0, name.size()))) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (CompareFileTime(&data.ftLastWriteTime, &start) < 0) DeleteFileW(wide(folder + found).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace qm::platform
