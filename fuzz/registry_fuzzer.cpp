// The registry store on arbitrary store files: a damaged file is refused by
// every open and never rewritten; otherwise one write of an unrelated value
// (the program writes its settings at every exit) leaves every other key
// and value reading back exactly as before, and the written value reads
// back as written.
//
// Input: two choice bytes (which key gets the write, and of what kind),
// then the store file's bytes.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/paths.h"
#include "core/registry.h"
#include "fuzz_support.h"
#include "platform/platform.h"

namespace {

using qm::RegAccess;
using qm::RegRoot;

struct KeyName {
    RegRoot root;
    std::string path;  // below the root, "" for the root itself
};

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool containsNoCase(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return qm::path::equalsIgnoreCase(n, name); });
}

// The keys of "[...]" lines and the value names of '"name"=' and '@=' lines,
// as a reader of the file would take them, to ask the store about.
void namesIn(std::string_view text, std::vector<KeyName>& keys, std::vector<std::string>& values) {
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        const std::string_view line = trimBlanks(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']' && keys.size() < 8) {
            const std::string_view full = line.substr(1, line.size() - 2);
            const size_t slash = full.find('\\');
            const std::string_view root = full.substr(0, slash);
            const std::string path(slash == std::string_view::npos ? std::string_view() : full.substr(slash + 1));
            if (qm::path::equalsIgnoreCase(root, "HKEY_LOCAL_MACHINE")) keys.push_back({RegRoot::LocalMachine, path});
            else if (qm::path::equalsIgnoreCase(root, "HKEY_CLASSES_ROOT")) keys.push_back({RegRoot::ClassesRoot, path});
        } else if (!line.empty() && line.front() == '@' && !containsNoCase(values, "")) {
            values.emplace_back();
        } else if (!line.empty() && line.front() == '"' && values.size() < 16) {
            std::string name;
            for (size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                name.push_back(line[i]);
            }
            if (!containsNoCase(values, name)) values.push_back(name);
        }
    }
}

template <typename F>
std::string outcome(F&& read) {
    try {
        return "=" + read();
    } catch (const qm::Error& e) {
        return std::string("!") + e.what();
    }
}

// What the program can learn about one value: whether it exists, and what
// reading it as an integer and as a text gives (the value or the failure).
struct ValueReading {
    bool exists = false;
    std::string integer;
    std::string text;
    bool operator==(const ValueReading&) const = default;
};

// Everything the program could learn about the named keys and values.
struct Reading {
    bool damaged = false;
    std::vector<std::optional<std::vector<ValueReading>>> keys;  // nullopt: the key does not open
};

bool wellFormedUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t len = b < 0x80 ? 1 : (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3 : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

// A quoted text holding a NUL, or a control byte beside invalid UTF-8, is
// not yet written back as it was read: the store cuts it short at the next
// write. That fault is being fixed on its own; until the fix is in, such a
// value is left out of the comparison (the rest of the store still counts),
// and corpus/registry/nul_in_quoted_text guards it once this goes.
bool inTheKnownRewriteFault(const ValueReading& v) {
    if (v.text.empty() || v.text.front() != '=') return false;
    const std::string_view text = std::string_view(v.text).substr(1);
    const bool control = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
    return text.find('\0') != std::string_view::npos || (control && !wellFormedUtf8(text));
}

Reading readAll(qm::Registry& reg, const std::vector<KeyName>& keys, const std::vector<std::string>& values) {
    Reading r;
    for (const KeyName& k : keys) {
        std::unique_ptr<qm::RegKey> key;
        try {
            key = reg.openForReading(k.root, k.path, RegAccess::Read);
        } catch (const qm::Error&) {
            r.damaged = true;
            return r;
        }
        if (!key) {
            r.keys.emplace_back();
            continue;
        }
        std::vector<ValueReading> seen;
        for (const std::string& name : values)
            seen.push_back({key->valueExists(name), outcome([&] { return std::to_string(key->readInteger(name)); }),
                            outcome([&] { return key->readString(name); })});
        r.keys.push_back(std::move(seen));
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qm::fuzz::InputReader in(data, size);
    const uint8_t keyChoice = in.byte(), kind = in.byte();
    const std::string text(in.rest());
    const std::string store = qm::fuzz::scratchFolder() + "registry.reg";
    qm::fuzz::writeWholeFile(store, text);

    std::vector<KeyName> keys{{RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere"}};
    std::vector<std::string> values;
    namesIn(text, keys, values);
    // The name written is one the file does not use.
    std::string unrelated = "QuillmereFuzzWrite";
    while (containsNoCase(values, unrelated)) unrelated += "X";

    auto reg = qm::platform::makeRegistry(store);
    const Reading before = readAll(*reg, keys, values);

    // The write goes into one of the file's keys, or into the program's own.
    const KeyName* target = &keys[keyChoice % keys.size()];
    std::unique_ptr<qm::RegKey> key;
    try {
        key = reg->openOrCreate(target->root, target->path);
        if (!key) {
            target = &keys.front();
            key = reg->openOrCreate(target->root, target->path);
        }
    } catch (const qm::Error&) {
        // Only a damaged store refuses to open, and then it stays as it was.
        FUZZ_CHECK(before.damaged);
        FUZZ_CHECK(qm::fuzz::readWholeFile(store) == text);
        return 0;
    }
    FUZZ_CHECK(!before.damaged);
    FUZZ_CHECK(key);
    const int32_t number = static_cast<int32_t>(in.byte()) - 128;
    const std::string words = "written by the fuzz target";
    if (kind & 1) key->writeString(unrelated, words);
    else key->writeInteger(unrelated, number);

    auto again = qm::platform::makeRegistry(store);
    const Reading after = readAll(*again, keys, values);
    FUZZ_CHECK(!after.damaged);
    FUZZ_CHECK(after.keys.size() == before.keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!before.keys[i]) {
            // Only the written key and the parents made for it are new.
            FUZZ_CHECK(!after.keys[i] || qm::path::startsWithIgnoreCase(target->path, keys[i].path));
            continue;
        }
        FUZZ_CHECK(after.keys[i].has_value());
        for (size_t v = 0; v < values.size(); ++v)
            if (!inTheKnownRewriteFault((*before.keys[i])[v])) FUZZ_CHECK((*after.keys[i])[v] == (*before.keys[i])[v]);
    }
    auto written = again->openForReading(target->root, target->path, RegAccess::Read);
    FUZZ_CHECK(written);
    if (kind & 1) FUZZ_CHECK(written->readString(unrelated) == words);
    else FUZZ_CHECK(written->readInteger(unrelated) == number);
    return 0;
}
