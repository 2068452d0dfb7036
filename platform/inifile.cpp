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
// - a value in matching double or single quotes ("Map.ut2" or 'Map.ut2')
//   loses them; a lone or unmatched quote stays;
// - lines before the first section belong to no section;
// - only the first occurrence of a section name counts: the lines under a
//   later header of the same name are kept as they stand but never listed,
//   read or deleted;
// - a key that appears twice is listed each time; its first line gives the
//   value and is the one a delete removes. Among lines whose keys differ
//   only in case, those spelled exactly as asked come first.
// Names match without regard to ASCII case; other bytes are compared as they
// stand, so text that is neither ASCII nor UTF-8 works unchanged.
//
// A file name is looked up in its real spelling (platform/spelling.h), so an
// index spelled "cache.ini" is the one the file system finds.
//
// Reads are served from a parsed copy per file, checked against the file's
// identity (size, modification time, inode and device) on every call, so a
// long run of value() calls after keys() parses the file once. Deletes
// always read the file afresh (the game may have appended to it), remove
// only the key's line and replace the file atomically (whole_file.h), and
// only over the version they read. A deletion changes the parsed copy in
// place rather than parsing the file again, which keeps a thousand deletions
// from a large index fast.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/inifile.h"
#include "platform/platform.h"
#include "platform/spelling.h"
#include "platform/whole_file.h"

namespace qm::platform {
namespace {

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

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

// A key line of a counted section.
struct Line {
    std::string key;    // as written
    std::string value;  // trimmed, quotes removed
    size_t begin = 0;   // the line's bytes in the file, ending included
    size_t end = 0;
    bool removed = false;  // deleted since the file was parsed
};

struct Section {
    std::vector<size_t> lines;                                  // into Parsed::lines, file order
    std::unordered_map<std::string, std::vector<size_t>> byKey;  // lower-case key -> lines, file order
};

struct Parsed {
    FileIdentity identity;
    std::string text;         // the bytes parsed, so a delete can tell whether they are still current
    std::vector<Line> lines;  // every key line of every counted section, file order
    std::unordered_map<std::string, Section> sections;  // by lower-case name

    const Section* find(const std::string& section) const {
        const auto it = sections.find(lowerCopy(section));
        return it == sections.end() ? nullptr : &it->second;
    }

    // The line a name stands for: the first live line spelled exactly so,
    // else the first live line that matches without regard to case.
    const Line* pick(const std::string& section, const std::string& key) const {
        const Section* s = find(section);
        if (!s) return nullptr;
        const auto it = s->byKey.find(lowerCopy(key));
        if (it == s->byKey.end()) return nullptr;
        const Line* firstLive = nullptr;
        for (size_t i : it->second) {
            const Line& line = lines[i];
            if (line.removed) continue;
            if (line.key == key) return &line;
            if (!firstLive) firstLive = &line;
        }
        return firstLive;
    }

    // What parsing `rewritten`, the text without `line`, would give, without
    // parsing again: dropping a key line changes no other line's meaning,
    // only the positions after it.
    void removeLine(const Line& line, std::string rewritten) {
        const size_t length = line.end - line.begin;
        text = std::move(rewritten);
        const size_t index = static_cast<size_t>(&line - lines.data());
        lines[index].removed = true;
        for (size_t i = index + 1; i < lines.size(); ++i) {
            lines[i].begin -= length;
            lines[i].end -= length;
        }
    }
};

std::shared_ptr<Parsed> parse(std::string text) {
    auto parsed = std::make_shared<Parsed>();
    parsed->text = std::move(text);
    const std::string& bytes = parsed->text;
    Section* current = nullptr;
    size_t pos = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < bytes.size()) {
        const size_t begin = pos;
        const size_t newline = bytes.find('\n', pos);
        const size_t end = newline == std::string::npos ? bytes.size() : newline + 1;
        std::string_view line(bytes.data() + pos, (newline == std::string::npos ? bytes.size() : newline) - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end;

        const std::string_view body = trim(line);
        if (body.empty() || body.front() == ';') continue;
        if (body.front() == '[') {
            const size_t close = body.rfind(']');
            if (close != std::string_view::npos) {
                const auto [it, first] = parsed->sections.try_emplace(lowerCopy(trim(body.substr(1, close - 1))));
                current = first ? &it->second : nullptr;  // a repeated header counts for nothing
                continue;
            }
        }
        if (!current) continue;
        const size_t eq = body.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trim(body.substr(0, eq));
        if (key.empty()) continue;
        const size_t index = parsed->lines.size();
        parsed->lines.push_back(Line{std::string(key), std::string(unquoted(trim(body.substr(eq + 1)))), begin, end});
        current->lines.push_back(index);
        current->byKey[lowerCopy(key)].push_back(index);
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
            out.reserve(s->lines.size());
            for (size_t i : s->lines)
                if (!parsed->lines[i].removed) out.push_back(parsed->lines[i].key);
        }
        return out;
    }

    std::string value(const std::string& file, const std::string& section, const std::string& key) override {
        const auto parsed = load(file);
        if (!parsed) return {};
        const Line* line = parsed->pick(section, key);
        return line ? line->value : std::string();
    }

    bool readable(const std::string& file) override { return load(file) != nullptr; }

    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override {
        const std::string path = locate(file);
        // The game may rewrite the file between our read and our rename; the
        // rename is only made over the version that was read, else we retry.
        for (int attempt = 0; attempt < 5; ++attempt) {
            WholeFile current;
            if (readWholeFile(path, current)) {
                cache_.erase(path);
                return false;
            }
            if (!current.writable) return false;
            // Only when the bytes differ from the cached ones is the parse
            // redone.
            std::shared_ptr<Parsed> parsed;
            const auto cached = cache_.find(path);
            if (cached != cache_.end() && cached->second->text == current.bytes) {
                parsed = cached->second;
            } else {
                parsed = parse(std::move(current.bytes));
            }
            parsed->identity = current.identity;
            cache_[path] = parsed;
            const Line* line = parsed->pick(section, key);
            if (!line) return true;  // nothing to delete: the file stays untouched

            std::string rewritten;
            rewritten.reserve(parsed->text.size() - (line->end - line->begin));
            rewritten.append(parsed->text, 0, line->begin);
            rewritten.append(parsed->text, line->end, std::string::npos);
            ReplaceOptions options;
            options.flush = deferred_.count(file) == 0;
            options.onlyOver = &current.identity;
            const ReplaceResult result = replacer_.replace(path, rewritten, options);
            if (result.error) {
                cache_.erase(path);
                return false;
            }
            if (result) {
                parsed->removeLine(*line, std::move(rewritten));
                parsed->identity = result.identity;
                if (!options.flush) unflushed_.insert(path);
                return true;
            }
        }
        return false;  // the file kept changing under us
    }

    void deferFlush(const std::string& file) override { ++deferred_[file]; }

    bool flush(const std::string& file) override {
        const auto it = deferred_.find(file);
        if (it != deferred_.end() && --it->second > 0) return true;
        if (it != deferred_.end()) deferred_.erase(it);
        const std::string path = locate(file);
        if (unflushed_.erase(path) == 0) return true;
        return !replacer_.flush(path);
    }

private:
    // The file's path in its real spelling: the given one when it exists as
    // written (the common case costs one status query), else the spelling
    // found on disk, remembered for the next call. `identity` is the file's
    // when the result names a regular file, which the return tells.
    bool locate(const std::string& file, std::string& path, FileIdentity& identity) {
        path = file;
        if (!identityOf(file, identity)) return true;
        const auto known = spelling_.find(file);
        if (known != spelling_.end() && !identityOf(known->second, identity)) {
            path = known->second;
            return true;
        }
        path = spelledOnDisk(file);
        if (path == file) return false;
        spelling_[file] = path;
        return !identityOf(path, identity);
    }

    std::string locate(const std::string& file) {
        std::string path;
        FileIdentity identity;
        locate(file, path, identity);
        return path;
    }

    std::shared_ptr<const Parsed> load(const std::string& file) {
        std::string path;
        FileIdentity now;
        if (!locate(file, path, now)) {
            cache_.erase(path);
            return nullptr;
        }
        const auto it = cache_.find(path);
        if (it != cache_.end() && it->second->identity == now) return it->second;
        WholeFile current;
        if (readWholeFile(path, current)) {
            cache_.erase(path);
            return nullptr;
        }
        auto parsed = parse(std::move(current.bytes));
        parsed->identity = current.identity;
        cache_[path] = parsed;
        return parsed;
    }

    std::map<std::string, std::shared_ptr<Parsed>> cache_;  // by real path
    std::map<std::string, std::string> spelling_;           // given path -> real path
    std::map<std::string, int> deferred_;                   // given path -> open deferrals
    std::set<std::string> unflushed_;                       // real paths rewritten without a flush
    FileReplacer replacer_;
};

}  // namespace

std::unique_ptr<IniFiles> makeIniFiles() { return std::make_unique<IniFilesImpl>(); }

}  // namespace qm::platform
