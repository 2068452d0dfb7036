// The INI reader and writer on arbitrary index files: after a key is
// deleted, the reader's cached view (patched, not parsed again) equals a
// fresh parse of the rewritten file, the section lists its old keys less
// exactly the one deleted, every other section and value is unchanged, and
// the file lost exactly one line. A batch delete gives the same file as
// deleting its keys one by one.
//
// Input: three choice bytes (section, key, how to spell and batch it), then
// the file's bytes.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/inifile.h"
#include "core/paths.h"
#include "fuzz_support.h"
#include "platform/platform.h"

namespace {

using qm::fuzz::readWholeFile;
using Keys = std::vector<std::string>;

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Names of the "[...]" lines, spelled as written, at most `limit` of them,
// plus "Cache" (the section the program uses, often absent).
std::vector<std::string> sectionNames(std::string_view text, size_t limit) {
    std::vector<std::string> names{"Cache"};
    while (!text.empty() && names.size() <= limit) {
        const size_t nl = text.find('\n');
        std::string_view line = trimBlanks(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line = trimBlanks(line.substr(0, line.size() - 1));
        const size_t close = line.rfind(']');
        if (line.empty() || line.front() != '[' || close == std::string_view::npos) continue;
        const std::string name(trimBlanks(line.substr(1, close - 1)));
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return qm::path::equalsIgnoreCase(n, name); }))
            names.push_back(name);
    }
    return names;
}

struct View {
    std::map<std::string, Keys> keys;                            // by section name as asked
    std::map<std::string, std::vector<std::string>> values;      // value of each listed key, in key order
};

View viewOf(qm::IniFiles& ini, const std::string& file, const std::vector<std::string>& sections) {
    View v;
    for (const auto& s : sections) {
        v.keys[s] = ini.keys(file, s);
        for (const auto& k : v.keys[s]) v.values[s].push_back(ini.value(file, s, k));
    }
    return v;
}

// The key with its ASCII letters' case flipped where `mask` says.
std::string respelled(const std::string& key, uint8_t mask) {
    std::string out = key;
    for (size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (!((mask >> (i % 8)) & 1)) continue;
        if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// `before` less the first key that matches `key` without regard to case.
Keys withoutFirst(Keys before, const std::string& key) {
    const auto it = std::find_if(before.begin(), before.end(), [&](const std::string& k) { return qm::path::equalsIgnoreCase(k, key); });
    if (it != before.end()) before.erase(it);
    return before;
}

// Whether `after` is `before` with one run of bytes removed that is at most
// one line: a line's bytes and its ending.
bool lostOneLine(const std::string& before, const std::string& after) {
    if (after.size() > before.size()) return false;
    size_t prefix = 0;
    while (prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    const size_t removed = before.size() - after.size();
    if (before.compare(prefix + removed, std::string::npos, after, prefix, std::string::npos) != 0) return false;
    // The run may start anywhere inside a repeated stretch; what it holds
    // is what counts: no more than one line ending.
    const std::string_view cut(before.data() + prefix, removed);
    return std::count(cut.begin(), cut.end(), '\n') <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qm::fuzz::InputReader in(data, size);
    const uint8_t sectionChoice = in.byte(), keyChoice = in.byte(), how = in.byte();
    const std::string text(in.rest());
    const std::string file = qm::fuzz::scratchFolder() + "Cache.ini";
    qm::fuzz::writeWholeFile(file, text);

    const std::vector<std::string> sections = sectionNames(text, 16);
    auto ini = qm::platform::makeIniFiles();
    FUZZ_CHECK(ini->readable(file));
    const View before = viewOf(*ini, file, sections);

    const std::string& section = sections[sectionChoice % sections.size()];
    const Keys& listed = before.keys.at(section);
    // A key that is not there must leave the file as it is.
    const std::string key = listed.empty() || (how & 0x80) ? "NoSuchKey" : respelled(listed[keyChoice % listed.size()], how);

    FUZZ_CHECK(ini->deleteKey(file, section, key));
    const std::string afterOne = readWholeFile(file);

    const bool present = std::any_of(listed.begin(), listed.end(), [&](const std::string& k) { return qm::path::equalsIgnoreCase(k, key); });
    if (present) FUZZ_CHECK(lostOneLine(text, afterOne) && afterOne.size() < text.size());
    else FUZZ_CHECK(afterOne == text);

    // The cached view after the delete against a fresh parse of the file.
    const View cached = viewOf(*ini, file, sections);
    auto fresh = qm::platform::makeIniFiles();
    const View reread = viewOf(*fresh, file, sections);
    FUZZ_CHECK(cached.keys == reread.keys);
    FUZZ_CHECK(cached.values == reread.values);

    for (const auto& s : sections) {
        const bool target = qm::path::equalsIgnoreCase(s, section);
        FUZZ_CHECK(reread.keys.at(s) == (target ? withoutFirst(before.keys.at(s), key) : before.keys.at(s)));
        const Keys& keysNow = reread.keys.at(s);
        for (size_t i = 0; i < keysNow.size(); ++i) {
            // A key that appeared twice now reads its second line's value;
            // every other key keeps its value.
            if (target && qm::path::equalsIgnoreCase(keysNow[i], key)) continue;
            const Keys& old = before.keys.at(s);
            const size_t at = static_cast<size_t>(std::find(old.begin(), old.end(), keysNow[i]) - old.begin());
            FUZZ_CHECK(reread.values.at(s)[i] == before.values.at(s)[at]);
        }
    }

    // A second key in one batch gives the same bytes as two single deletes.
    if ((how & 0x40) && !reread.keys.at(section).empty()) {
        const Keys& left = reread.keys.at(section);
        const std::string second = left[(keyChoice / 2u) % left.size()];
        const std::string copy = qm::fuzz::scratchFolder() + "Copy.ini";
        qm::fuzz::writeWholeFile(file, text);
        qm::fuzz::writeWholeFile(copy, text);
        auto batch = qm::platform::makeIniFiles();
        FUZZ_CHECK(batch->deleteKeys(file, section, {key, second}));
        auto single = qm::platform::makeIniFiles();
        FUZZ_CHECK(single->deleteKey(copy, section, key));
        FUZZ_CHECK(single->deleteKey(copy, section, second));
        FUZZ_CHECK(readWholeFile(file) == readWholeFile(copy));
        FUZZ_CHECK(viewOf(*batch, file, sections).keys == viewOf(*single, copy, sections).keys);
    }
    return 0;
}
