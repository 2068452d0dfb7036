// The registry where there is none: both roots in one text file in the
// format that regedit exports ("Windows Registry Editor Version 5.00"), so a
// user can read it, and a key exported on Windows can be pasted in.
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Harthollow\Quillmere]
//   "FirstRun"=dword:00000000
//   "LastRunVersion"="2.1.0.65"
//   @="the default value"
//   "Path"=hex(2):25,00,41,00,00,00     REG_EXPAND_SZ, UTF-16LE with its NUL
//
// The file is UTF-8 with LF endings (regedit's own files are UTF-16). A text
// with a line break or another control character is written as hex(1):
// (REG_SZ as UTF-16LE bytes), since it cannot stand between quotes on one
// line. Values of other types (hex:, hex(7):, ...) are kept as they stand and
// read as a wrong type. Comments are not kept when the file is rewritten.
//
// A value read from the file is written back in the very text it was read
// in, whatever it holds (a NUL, a control byte, bytes that are not UTF-8):
// only the value that a write changes gets a new line.
//
// Every open reads the file afresh, so the writes of a second instance are
// seen; every write reads it again, changes the one value and replaces the
// file atomically (platform/whole_file.h). A file that cannot be parsed is
// reported with its line and never rewritten. Keys and values are found by
// hashed name while parsing, so a key with tens of thousands of values
// reads in time proportional to the file.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/error.h"
#include "core/registry.h"
#include "platform/platform.h"
#include "platform/whole_file.h"

namespace qm::platform {
namespace {

const char* const kHeader = "Windows Registry Editor Version 5.00";

enum class Type { Dword, Sz, ExpandSz, Other };

struct Value {
    std::string name;  // "" is the default value
    Type type = Type::Sz;
    uint32_t dword = 0;
    std::string text;  // Sz / ExpandSz: UTF-8; Other: the data as written after '='
    std::string raw;   // the line(s) it was read from; empty for a value written since
};

struct Key {
    std::string path;  // "HKEY_LOCAL_MACHINE\SOFTWARE\..." as first written
    std::vector<Value> values;
};

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// True when `path` is `ancestor` itself or lies below it.
bool isAtOrBelow(std::string_view path, std::string_view ancestor) {
    if (path.size() < ancestor.size() || !equalNoCase(path.substr(0, ancestor.size()), ancestor)) return false;
    return path.size() == ancestor.size() || path[ancestor.size()] == '\\';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// --- UTF-8 <-> UTF-16LE bytes ---------------------------------------------

// Strict decoding: false for anything that is not well-formed UTF-8.
bool utf8ToUtf16le(std::string_view in, std::string& out) {
    out.clear();
    auto put = [&out](uint32_t unit) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    };
    for (size_t i = 0; i < in.size();) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        uint32_t cp = 0;
        size_t len = 0;
        if (b0 < 0x80) { cp = b0; len = 1; }
        else if (b0 >= 0xC2 && b0 <= 0xDF) { cp = b0 & 0x1F; len = 2; }
        else if (b0 >= 0xE0 && b0 <= 0xEF) { cp = b0 & 0x0F; len = 3; }
        else if (b0 >= 0xF0 && b0 <= 0xF4) { cp = b0 & 0x07; len = 4; }
        else return false;
        if (i + len > in.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
        i += len;
    }
    return true;
}

// Decodes up to the first NUL unit (the terminator regedit writes).
bool utf16leToUtf8(std::string_view in, std::string& out) {
    out.clear();
    if (in.size() % 2) return false;
    auto unitAt = [&in](size_t i) {
        return uint32_t(static_cast<unsigned char>(in[i])) | (uint32_t(static_cast<unsigned char>(in[i + 1])) << 8);
    };
    for (size_t i = 0; i < in.size(); i += 2) {
        uint32_t cp = unitAt(i);
        if (cp == 0) break;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= in.size()) return false;
            const uint32_t low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

// --- the text form ---------------------------------------------------------

bool hasControl(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

std::string quotedText(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string hexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) out.push_back(',');
        const auto b = static_cast<unsigned char>(bytes[i]);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0xF]);
    }
    return out;
}

// UTF-16LE with its terminating NUL, as the registry holds a string.
std::string stringBytes(const Value& v) {
    std::string bytes;
    // Only values written by the program come here, and writeString
    // refuses what does not convert; a text cut short is never written.
    if (!utf8ToUtf16le(v.text, bytes)) throw Error(failedToSetText(v.name));
    bytes.append(2, '\0');
    return bytes;
}

std::string valueLine(const Value& v) {
    if (!v.raw.empty()) return v.raw;
    std::string line = v.name.empty() ? "@" : quotedText(v.name);
    line += '=';
    switch (v.type) {
        case Type::Dword: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v.dword));
            line += buf;
            break;
        }
        case Type::Sz:
            line += hasControl(v.text) ? "hex(1):" + hexBytes(stringBytes(v)) : quotedText(v.text);
            break;
        case Type::ExpandSz:
            line += "hex(2):" + hexBytes(stringBytes(v));
            break;
        case Type::Other:
            line += v.text;
            break;
    }
    return line;
}

std::string serialize(const std::vector<Key>& keys) {
    std::string out = kHeader;
    out += "\n\n";
    for (const Key& k : keys) {
        out += "[" + k.path + "]\n";
        for (const Value& v : k.values) out += valueLine(v) + "\n";
        out += "\n";
    }
    return out;
}

// --- parsing -----------------------------------------------------------------

class Parser {
public:
    Parser(const std::string& file, const std::string& text) : file_(file), text_(text) {}

    std::vector<Key> run() {
        std::vector<Key> keys;
        bool headerSeen = false;
        size_t current = kNoKey;
        std::string_view line;
        while (nextLine(line)) {
            const std::string_view body = trim(line);
            if (body.empty() || body.front() == ';') continue;
            if (!headerSeen) {
                if (body != kHeader) fail("the first line must be \"" + std::string(kHeader) + "\"", body);
                headerSeen = true;
                continue;
            }
            if (body.front() == '[') {
                current = keyFor(keys, parseKeyPath(body));
                continue;
            }
            if (current == kNoKey) fail("a value stands before the first key", body);
            const size_t first = lineStart_;
            Value v = parseValue(body);
            v.raw = text_.substr(first, lineEnd_ - first);
            setValue(keys[current], current, std::move(v));
        }
        if (!headerSeen && !text_.empty() && text_.find_first_not_of(" \t\r\n") != std::string::npos)
            fail("the header is missing", {});
        return keys;
    }

private:
    bool nextLine(std::string_view& line) {
        if (pos_ == 0 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
        if (pos_ >= text_.size()) return false;
        const size_t nl = text_.find('\n', pos_);
        const size_t end = nl == std::string::npos ? text_.size() : nl;
        line = std::string_view(text_).substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lineStart_ = pos_;
        lineEnd_ = pos_ + line.size();
        pos_ = nl == std::string::npos ? text_.size() : nl + 1;
        ++lineNo_;
        return true;
    }

    [[noreturn]] void fail(const std::string& why, std::string_view line) const {
        std::string excerpt(line.substr(0, 80));
        throw Error("The registry store " + file_ + " is damaged at line " + std::to_string(lineNo_) + ": " + why +
                    (excerpt.empty() ? std::string() : " (" + excerpt + ")"));
    }

    std::string parseKeyPath(std::string_view body) {
        if (body.back() != ']') fail("a key line must end with ']'", body);
        std::string_view path = body.substr(1, body.size() - 2);
        if (!path.empty() && path.front() == '-') fail("deleting keys is not supported", body);
        const size_t slash = path.find('\\');
        const std::string_view root = path.substr(0, slash);
        if (!equalNoCase(root, "HKEY_LOCAL_MACHINE") && !equalNoCase(root, "HKEY_CLASSES_ROOT"))
            fail("the key is not under HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT", body);
        if (path.find("\\\\") != std::string_view::npos || path.back() == '\\') fail("the key has an empty name", body);
        std::string out(path);
        out.replace(0, root.size(), equalNoCase(root, "HKEY_LOCAL_MACHINE") ? "HKEY_LOCAL_MACHINE" : "HKEY_CLASSES_ROOT");
        return out;
    }

    // A quoted text starting at s[i] == '"'; i ends after the closing quote.
    std::string parseQuoted(std::string_view s, size_t& i, std::string_view body) {
        std::string out;
        for (++i; i < s.size(); ++i) {
            if (s[i] == '"') {
                ++i;
                return out;
            }
            if (s[i] == '\\') {
                if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) fail("unknown escape in a quoted text", body);
                ++i;
            }
            out.push_back(s[i]);
        }
        fail("a quoted text has no closing quote", body);
    }

    std::string parseHex(std::string_view data, std::string_view body) {
        std::string bytes;
        if (trim(data).empty()) return bytes;
        for (;;) {
            const size_t comma = data.find(',');
            const std::string_view item = trim(data.substr(0, comma));
            if (item.size() != 2 || !std::isxdigit(static_cast<unsigned char>(item[0])) ||
                !std::isxdigit(static_cast<unsigned char>(item[1])))
                fail("bad hexadecimal byte \"" + std::string(item) + "\"", body);
            bytes.push_back(static_cast<char>(std::stoi(std::string(item), nullptr, 16)));
            if (comma == std::string_view::npos) return bytes;
            data = data.substr(comma + 1);
        }
    }

    Value parseValue(std::string_view body) {
        Value v;
        size_t i = 0;
        if (body.front() == '@') {
            i = 1;
        } else if (body.front() == '"') {
            v.name = parseQuoted(body, i, body);
        } else {
            fail("this is not a key, a value or a comment", body);
        }
        std::string_view rest = trim(body.substr(i));
        if (rest.empty() || rest.front() != '=') fail("a value name must be followed by '='", body);
        rest = trim(rest.substr(1));
        if (rest.empty()) fail("the value has no data", body);

        std::string data(rest);
        if (data.rfind("hex", 0) == 0) {
            // Long byte lists go on over several lines, each but the last
            // ending with a backslash.
            while (!data.empty() && data.back() == '\\') {
                data.pop_back();
                std::string_view next;
                if (!nextLine(next)) fail("a continued byte list ends the file", body);
                data += trim(next);
            }
        }

        if (data.front() == '"') {
            size_t j = 0;
            v.type = Type::Sz;
            v.text = parseQuoted(data, j, body);
            if (!trim(std::string_view(data).substr(j)).empty()) fail("text after the closing quote", body);
        } else if (data.rfind("dword:", 0) == 0) {
            const std::string digits = data.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
                fail("a dword needs one to eight hexadecimal digits", body);
            v.type = Type::Dword;
            v.dword = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
        } else if (data.rfind("hex(2):", 0) == 0 || data.rfind("hex(1):", 0) == 0) {
            v.type = data[4] == '2' ? Type::ExpandSz : Type::Sz;
            if (!utf16leToUtf8(parseHex(std::string_view(data).substr(7), body), v.text))
                fail("the text is not UTF-16", body);
        } else if (data.rfind("hex:", 0) == 0 || data.rfind("hex(", 0) == 0) {
            const size_t colon = data.find(':');
            if (colon == std::string::npos) fail("a byte list needs ':'", body);
            parseHex(std::string_view(data).substr(colon + 1), body);
            v.type = Type::Other;
            v.text = data;
        } else if (data == "-") {
            fail("deleting values is not supported", body);
        } else {
            fail("unknown kind of data", body);
        }
        return v;
    }

    size_t keyFor(std::vector<Key>& keys, const std::string& path) {
        const auto [it, added] = keyIndex_.try_emplace(lowerCopy(path), keys.size());
        if (added) keys.push_back(Key{path, {}});
        return it->second;
    }

    void setValue(Key& key, size_t keyNumber, Value v) {
        const auto [it, added] = valueIndex_.try_emplace({keyNumber, lowerCopy(v.name)}, key.values.size());
        if (added) {
            key.values.push_back(std::move(v));
        } else {
            key.values[it->second] = std::move(v);  // a later line wins, as on import
        }
    }

    struct ValueSlot {
        size_t key;
        std::string name;  // lower case
        bool operator==(const ValueSlot&) const = default;
    };
    struct ValueSlotHash {
        size_t operator()(const ValueSlot& s) const { return std::hash<std::string>()(s.name) ^ (s.key * 0x9E3779B97F4A7C15ull); }
    };
    static constexpr size_t kNoKey = static_cast<size_t>(-1);

    const std::string& file_;
    const std::string& text_;
    size_t pos_ = 0;
    size_t lineNo_ = 0;
    size_t lineStart_ = 0;  // the bytes of the line read last, ending excluded
    size_t lineEnd_ = 0;
    std::unordered_map<std::string, size_t> keyIndex_;  // lower-case path -> key
    std::unordered_map<ValueSlot, size_t, ValueSlotHash> valueIndex_;
};

// --- the file ------------------------------------------------------------------

// The store's keys; an absent file is an empty store.
std::vector<Key> loadStore(const std::string& file) {
    WholeFile contents;
    if (const std::error_code error = readWholeFile(file, contents)) {
        if (error.value() == ENOENT || error.value() == ENOTDIR) return {};  // nothing stored yet
        throw Error("The registry store " + file + " cannot be read: " + systemErrorText(error));
    }
    return Parser(file, contents.bytes).run();
}

bool saveStore(FileReplacer& replacer, const std::string& file, const std::vector<Key>& keys) {
    const std::string content = serialize(keys);
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) return false;
    return static_cast<bool>(replacer.replace(file, content));
}

// "HKEY_...\a\b" for a root and a path such as "\a\b" or "a\b"; "" when the
// path has an empty or unwritable component.
std::string fullPath(RegRoot root, const std::string& path) {
    std::string_view p = path;
    if (!p.empty() && p.front() == '\\') p.remove_prefix(1);
    if (!p.empty() && p.back() == '\\') p.remove_suffix(1);
    std::string out = root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CLASSES_ROOT";
    if (p.empty()) return out;
    if (p.find("\\\\") != std::string_view::npos || p.front() == '\\' || hasControl(p) ||
        p.find(']') != std::string_view::npos)
        return {};
    return out + "\\" + std::string(p);
}

bool keyExists(const std::vector<Key>& keys, const std::string& path) {
    if (path.find('\\') == std::string::npos) return true;  // a root
    return std::any_of(keys.begin(), keys.end(), [&](const Key& k) { return isAtOrBelow(k.path, path); });
}

// The key and its missing parents, each as a section of its own.
Key& createKey(std::vector<Key>& keys, const std::string& path) {
    auto findOrAdd = [&keys](const std::string& p) -> Key& {
        for (Key& k : keys)
            if (equalNoCase(k.path, p)) return k;
        keys.push_back(Key{p, {}});
        return keys.back();
    };
    size_t slash = path.find('\\');  // the root needs no section
    if (slash == std::string::npos) return findOrAdd(path);
    for (;;) {
        slash = path.find('\\', slash + 1);
        Key& k = findOrAdd(path.substr(0, slash));
        if (slash == std::string::npos) return k;
    }
}

class FileKey final : public RegKey {
public:
    FileKey(std::shared_ptr<FileReplacer> replacer, std::string file, std::string path, std::vector<Value> values)
        : replacer_(std::move(replacer)), file_(std::move(file)), path_(std::move(path)), values_(std::move(values)) {}

    bool valueExists(const std::string& name) override { return find(name) != nullptr; }

    int32_t readInteger(const std::string& name) override {
        const Value* v = find(name);
        if (!v) throw Error(failedToGetText(name));
        if (v->type != Type::Dword) throw Error(invalidDataTypeText(name));
        return static_cast<int32_t>(v->dword);
    }

    std::string readString(const std::string& name) override {
        const Value* v = find(name);
        if (!v) return {};
        if (v->type != Type::Sz && v->type != Type::ExpandSz) throw Error(invalidDataTypeText(name));
        return v->text;
    }

    void writeInteger(const std::string& name, int32_t value) override {
        Value v{name, Type::Dword, static_cast<uint32_t>(value), {}, {}};
        write(std::move(v));
    }

    void writeString(const std::string& name, const std::string& value) override {
        std::string check;
        if (value.find('\0') != std::string::npos || !utf8ToUtf16le(value, check)) throw Error(failedToSetText(name));
        write(Value{name, Type::Sz, 0, value, {}});
    }

private:
    const Value* find(const std::string& name) const {
        for (const Value& v : values_)
            if (equalNoCase(v.name, name)) return &v;
        return nullptr;
    }

    void write(Value v) {
        std::string check;
        if (hasControl(v.name) || !utf8ToUtf16le(v.name, check)) throw Error(failedToSetText(v.name));
        std::vector<Key> keys = loadStore(file_);  // a damaged store raises here and stays untouched
        Key& key = createKey(keys, path_);
        const std::string name = v.name;
        bool replaced = false;
        for (Value& old : key.values)
            if (equalNoCase(old.name, v.name)) {
                old.type = v.type;
                old.dword = v.dword;
                old.text = v.text;
                old.raw.clear();  // written anew from the new data
                replaced = true;
            }
        if (!replaced) key.values.push_back(std::move(v));
        if (!saveStore(*replacer_, file_, keys)) throw Error(failedToSetText(name));
        values_ = key.values;
    }

    std::shared_ptr<FileReplacer> replacer_;  // shared with the registry, which a key may outlive
    std::string file_;
    std::string path_;
    std::vector<Value> values_;  // as read when opened, plus our own writes
};

class FileRegistry final : public Registry {
public:
    explicit FileRegistry(std::string file) : file_(std::move(file)), replacer_(std::make_shared<FileReplacer>()) {}

    std::unique_ptr<RegKey> openForReading(RegRoot root, const std::string& path, RegAccess) override {
        const std::string full = fullPath(root, path);
        if (full.empty()) return nullptr;
        const std::vector<Key> keys = loadStore(file_);
        if (!keyExists(keys, full)) return nullptr;
        return std::make_unique<FileKey>(replacer_, file_, full, valuesOf(keys, full));
    }

    std::unique_ptr<RegKey> openOrCreate(RegRoot root, const std::string& path) override {
        const std::string full = fullPath(root, path);
        if (full.empty()) return nullptr;
        std::vector<Key> keys = loadStore(file_);
        if (!std::any_of(keys.begin(), keys.end(), [&](const Key& k) { return equalNoCase(k.path, full); })) {
            if (full.find('\\') != std::string::npos) {
                createKey(keys, full);
                if (!saveStore(*replacer_, file_, keys)) return nullptr;
            }
        }
        return std::make_unique<FileKey>(replacer_, file_, full, valuesOf(keys, full));
    }

private:
    static std::vector<Value> valuesOf(const std::vector<Key>& keys, const std::string& path) {
        for (const Key& k : keys)
            if (equalNoCase(k.path, path)) return k.values;
        return {};
    }

    std::string file_;
    std::shared_ptr<FileReplacer> replacer_;
};

}  // namespace

std::unique_ptr<Registry> makeRegistry(const std::string& storePath) { return std::make_unique<FileRegistry>(storePath); }

}  // namespace qm::platform
