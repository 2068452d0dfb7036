// The program's own INI reader and writer with the semantics of the Windows
// profile functions, without their size limits (every key of a section is
// listed and values come back whole).
//
// Parsing, line by line (LF or CRLF endings; a UTF-8 byte-order mark at the
// start of the file is skipped):
// - blanks (space, tab) around section names, keys and values are ignored;
// - "[name]" starts a section; the name runs to the last ']' of the line;
// - a line whose first non-blank character is ';' is a comment;
// - "key=value" is an entry; a line without '=' or with an empty key is not
//   an entry (it is kept as it stands but never listed);
// - lines before the first section belong to no section;
// - a section that appears twice is one section: its entries are listed in
//   file order across both occurrences;
// - a key that appears twice is listed each time, its value is the first
//   occurrence's, and a delete removes the first occurrence.
// Names match without regard to ASCII case; other bytes are compared as they
// stand, so text that is neither ASCII nor UTF-8 works unchanged.
//
// Reads are served from a parsed copy per path, checked against the file's
// size, modification time and identity on every call, so a long run of
// value() calls after keys() parses the file once. Deletes always read the
// file afresh (the game may have appended to it) and replace it atomically:
// a temporary file beside it, flushed to disk, renamed over the original.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/inifile.h"
#include "platform/platform.h"

#ifdef _WIN32
#include "platform/win32/wide_text.h"
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm::platform {
namespace {

// ---------------------------------------------------------------------------
// The little the INI code needs from the OS.

// What tells one version of a file from another without reading it.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

#ifdef _WIN32

bool stampOf(HANDLE h, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.mtimeNs = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime) * 100;
    return true;
}

bool statFile(const std::string& path, FileStamp& stamp) {
    HANDLE h = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = stampOf(h, stamp);
    CloseHandle(h);
    return ok;
}

// The whole file and the stamp of exactly the version that was read.
bool readWhole(const std::string& path, std::string& content, FileStamp& stamp, bool& writable) {
    const std::wstring wpath = wide(path);
    HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = stampOf(h, stamp);
    content.clear();
    if (ok) {
        content.resize(static_cast<size_t>(stamp.size));
        size_t done = 0;
        while (ok && done < content.size()) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 30));
            ok = ReadFile(h, content.data() + done, want, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(h);
    const DWORD attributes = GetFileAttributesW(wpath.c_str());
    writable = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
    return ok;
}

// Writes `content` to a new file beside `path` and renames it over `path`,
// provided `path` still is the version stamped `expected`. Returns 1 on
// success, 0 when the file changed meanwhile (nothing written), -1 on failure.
int replaceAtomically(const std::string& path, const std::string& content, const FileStamp& expected, FileStamp& written) {
    const std::wstring wpath = wide(path);
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = wpath + L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(GetTickCount() + attempt) + L".tmp";
        h = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return -1;
    }
    if (h == INVALID_HANDLE_VALUE) return -1;
    bool ok = true;
    size_t done = 0;
    while (ok && done < content.size()) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 30));
        ok = WriteFile(h, content.data() + done, want, &put, nullptr) && put > 0;
        done += put;
    }
    ok = ok && FlushFileBuffers(h) && stampOf(h, written);
    CloseHandle(h);
    FileStamp now;
    if (ok && (!statFile(path, now) || !(now == expected))) {
        DeleteFileW(temp.c_str());
        return statFile(path, now) ? 0 : -1;
    }
    ok = ok && MoveFileExW(temp.c_str(), wpath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return -1;
    }
    return 1;
}

#else  // POSIX

FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

bool statFile(const std::string& path, FileStamp& stamp) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp = stampOf(st);
    return true;
}

bool readWhole(const std::string& path, std::string& content, FileStamp& stamp, bool& writable) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    content.clear();
    if (ok) {
        stamp = stampOf(st);
        // Permission bits decide, not access(): as root every file is
        // writable, yet a file the user marked read-only must stay as it is.
        writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
        content.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (ok) {
            if (done == content.size()) content.resize(content.size() + 65536);  // the file grew meanwhile
            const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            done += static_cast<size_t>(got);
        }
        content.resize(done);
        if (done != stamp.size) {
            // Read while another program wrote: stamp what we actually hold.
            if (::fstat(fd, &st) == 0) stamp = stampOf(st);
        }
    }
    ::close(fd);
    return ok;
}

// A symbolic link is replaced by rewriting its target, not the link itself.
std::string resolveLink(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) return path;
    return buffer;
}

bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

void syncFolder(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int replaceAtomically(const std::string& linkPath, const std::string& content, const FileStamp& expected, FileStamp& written) {
    const std::string path = resolveLink(linkPath);
    struct stat original;
    if (::stat(path.c_str(), &original) != 0) return -1;
    // mkstemp opens with O_CREAT | O_EXCL: a unique name that nobody else holds.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return -1;
    bool ok = ::fchmod(fd, original.st_mode & 07777) == 0;
    if (ok && ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        // Only root may give a file away; an ordinary user's own file keeps
        // its owner anyway.
    }
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    struct stat st;
    ok = ok && ::fstat(fd, &st) == 0;
    if (ok) written = stampOf(st);
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return -1;
    }
    FileStamp now;
    if (!statFile(path, now) || !(now == expected)) {
        ::unlink(temp.c_str());
        return statFile(path, now) ? 0 : -1;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return -1;
    }
    syncFolder(path);
    return 1;
}

#endif

// ---------------------------------------------------------------------------
// The parsed file.

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

struct Entry {
    std::string key;    // as written
    std::string value;  // trimmed
    size_t begin = 0;   // the line's bytes in the file, ending included
    size_t end = 0;
};

struct Section {
    std::vector<Entry> entries;                        // file order
    std::unordered_map<std::string, size_t> firstOf;  // lower-case key -> first entry
};

struct Parsed {
    FileStamp stamp;
    bool writable = false;
    std::string text;  // the bytes parsed, so a delete can tell whether they are still current
    std::unordered_map<std::string, Section> sections;  // by lower-case name

    const Section* find(const std::string& section) const {
        const auto it = sections.find(lowerCopy(section));
        return it == sections.end() ? nullptr : &it->second;
    }
};

std::shared_ptr<Parsed> parse(const std::string& text) {
    auto parsed = std::make_shared<Parsed>();
    Section* current = nullptr;
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        const size_t begin = pos;
        size_t newline = text.find('\n', pos);
        const size_t end = newline == std::string::npos ? text.size() : newline + 1;
        std::string_view line(text.data() + pos, (newline == std::string::npos ? text.size() : newline) - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end;

        const std::string_view body = trim(line);
        if (body.empty() || body.front() == ';') continue;
        if (body.front() == '[') {
            const size_t close = body.rfind(']');
            if (close != std::string_view::npos) {
                current = &parsed->sections[lowerCopy(trim(body.substr(1, close - 1)))];
                continue;
            }
        }
        if (!current) continue;
        const size_t eq = body.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trim(body.substr(0, eq));
        if (key.empty()) continue;
        Entry entry{std::string(key), std::string(trim(body.substr(eq + 1))), begin, end};
        current->firstOf.try_emplace(lowerCopy(key), current->entries.size());
        current->entries.push_back(std::move(entry));
    }
    return parsed;
}

// ---------------------------------------------------------------------------

// Used from the one thread that owns it, like the rest of the program.
class IniFilesImpl final : public IniFiles {
public:
    std::vector<std::string> keys(const std::string& file, const std::string& section) override {
        std::vector<std::string> out;
        const auto parsed = load(file);
        if (!parsed) return out;
        if (const Section* s = parsed->find(section)) {
            out.reserve(s->entries.size());
            for (const Entry& e : s->entries) out.push_back(e.key);
        }
        return out;
    }

    std::string value(const std::string& file, const std::string& section, const std::string& key) override {
        const auto parsed = load(file);
        if (!parsed) return {};
        const Section* s = parsed->find(section);
        if (!s) return {};
        const auto it = s->firstOf.find(lowerCopy(key));
        return it == s->firstOf.end() ? std::string() : s->entries[it->second].value;
    }

    bool readable(const std::string& file) override { return load(file) != nullptr; }

    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override {
        return deleteKeys(file, section, {key});
    }

    // Each name removes the first of its lines still present, so naming a
    // key twice removes its first two lines, as two single deletes would.
    bool deleteKeys(const std::string& file, const std::string& section, const std::vector<std::string>& keys) override {
        // The game may rewrite the file between our read and our rename; the
        // rename is only made over the version that was read, else we retry.
        for (int attempt = 0; attempt < 5; ++attempt) {
            std::string text;
            FileStamp stamp;
            bool writable = false;
            if (!readWhole(file, text, stamp, writable)) {
                cache_.erase(file);
                return false;
            }
            if (!writable) return false;
            // The bytes were read afresh; only when they differ from the
            // cached ones is the parse redone.
            std::shared_ptr<Parsed> parsed;
            const auto cached = cache_.find(file);
            if (cached != cache_.end() && cached->second->text == text) {
                parsed = cached->second;
            } else {
                parsed = parse(text);
                parsed->text = std::move(text);
            }
            parsed->stamp = stamp;
            parsed->writable = writable;
            const std::string& current = parsed->text;

            std::vector<std::pair<size_t, size_t>> cuts;  // byte ranges to drop
            if (const Section* s = parsed->find(section)) {
                std::unordered_map<std::string, size_t> wanted;
                for (const auto& k : keys) ++wanted[lowerCopy(k)];
                for (const Entry& e : s->entries) {
                    const auto it = wanted.find(lowerCopy(e.key));
                    if (it == wanted.end() || it->second == 0) continue;
                    --it->second;
                    cuts.emplace_back(e.begin, e.end);
                }
            }
            if (cuts.empty()) {
                cache_[file] = parsed;
                return true;  // nothing to delete: the file stays untouched
            }
            std::sort(cuts.begin(), cuts.end());
            std::string rewritten;
            rewritten.reserve(current.size());
            size_t from = 0;
            for (const auto& [b, e] : cuts) {
                rewritten.append(current, from, b - from);
                from = e;
            }
            rewritten.append(current, from, std::string::npos);

            FileStamp written;
            const int result = replaceAtomically(file, rewritten, stamp, written);
            if (result < 0) {
                cache_.erase(file);
                return false;
            }
            if (result > 0) {
                removeLines(*parsed, cuts);
                parsed->text = std::move(rewritten);
                parsed->stamp = written;
                cache_[file] = parsed;
                return true;
            }
        }
        return false;  // the file kept changing under us
    }

private:
    // What parsing the file without the lines `cuts` (sorted byte ranges)
    // would give, without parsing it again: dropping a key line changes no
    // other line's meaning, only the positions after it.
    static void removeLines(Parsed& parsed, const std::vector<std::pair<size_t, size_t>>& cuts) {
        std::vector<size_t> cutBefore(cuts.size() + 1, 0);  // bytes removed before cut i
        for (size_t i = 0; i < cuts.size(); ++i) cutBefore[i + 1] = cutBefore[i] + (cuts[i].second - cuts[i].first);
        for (auto& [name, section] : parsed.sections) {
            const size_t before = section.entries.size();
            std::erase_if(section.entries, [&cuts](const Entry& e) {
                return std::binary_search(cuts.begin(), cuts.end(), std::make_pair(e.begin, e.end));
            });
            for (Entry& e : section.entries) {
                const size_t i = static_cast<size_t>(
                    std::upper_bound(cuts.begin(), cuts.end(), std::make_pair(e.begin, e.begin)) - cuts.begin());
                e.begin -= cutBefore[i];
                e.end -= cutBefore[i];
            }
            if (section.entries.size() != before) {
                section.firstOf.clear();
                for (size_t i = 0; i < section.entries.size(); ++i)
                    section.firstOf.try_emplace(lowerCopy(section.entries[i].key), i);
            }
        }
    }

    std::shared_ptr<const Parsed> load(const std::string& file) {
        FileStamp now;
        if (!statFile(file, now)) {
            cache_.erase(file);
            return nullptr;
        }
        const auto it = cache_.find(file);
        if (it != cache_.end() && it->second->stamp == now) return it->second;
        std::string text;
        FileStamp stamp;
        bool writable = false;
        if (!readWhole(file, text, stamp, writable)) {
            cache_.erase(file);
            return nullptr;
        }
        auto parsed = parse(text);
        parsed->text = std::move(text);
        parsed->stamp = stamp;
        parsed->writable = writable;
        cache_[file] = parsed;
        return parsed;
    }

    std::map<std::string, std::shared_ptr<Parsed>> cache_;
};

}  // namespace

std::unique_ptr<IniFiles> makeIniFiles() { return std::make_unique<IniFilesImpl>(); }

}  // namespace qm::platform
