#include "version.h"

#include <cstdio>
#include <limits>
#include <unordered_map>

namespace qm::version {

namespace {

bool isBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

// Blanks and control characters (and NUL) at both ends removed.
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Text before the first dot ("" when there is none) and after it (all of
// the text when there is none).
std::string_view beforeDot(std::string_view s) {
    const size_t dot = s.find('.');
    return dot == std::string_view::npos ? std::string_view() : s.substr(0, dot);
}
std::string_view afterDot(std::string_view s) {
    const size_t dot = s.find('.');
    return dot == std::string_view::npos ? s : s.substr(dot + 1);
}

}  // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    uint64_t value = 0;
    // Hexadecimal covers all 32 bits ("$FFFFFFFF" is -1); decimal stays
    // within the signed range.
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < text.size(); ++i) {
        int d = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (value > limit) return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

int32_t integerOrZero(std::string_view text) { return parseInteger(text).value_or(0); }

Numbers splitFileVersion(std::string_view text) {
    Numbers n;
    std::string_view s = text;
    n.major = integerOrZero(beforeDot(s));
    s = afterDot(s);
    n.minor = integerOrZero(beforeDot(s));
    s = afterDot(s);
    n.release = integerOrZero(beforeDot(s));
    n.build = integerOrZero(trimmed(afterDot(s)));
    return n;
}

std::vector<std::string> splitStoredParts(std::string_view text) {
    // A NUL ends the text, as it ends a stored string.
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<std::string> parts;
    size_t p = 0;
    auto skipBlanks = [&] {
        while (p < text.size() && isBlankOrControl(text[p])) ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        std::string part;
        if (text[p] == '"') {
            ++p;
            while (p < text.size()) {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        part += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                part += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < text.size() && !isBlankOrControl(text[p]) && text[p] != '.') ++p;
            part.assign(text.substr(start, p - start));
        }
        parts.push_back(std::move(part));
        skipBlanks();
        if (p < text.size() && text[p] == '.') {
            if (p + 1 == text.size()) parts.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return parts;
}

Numbers parseStoredVersion(std::string_view text) {
    const std::vector<std::string> parts = splitStoredParts(text);
    Numbers n;
    int32_t* targets[] = {&n.major, &n.minor, &n.release, &n.build};
    for (size_t i = 0; i < parts.size() && i < 4; ++i) *targets[i] = integerOrZero(parts[i]);
    return n;
}

std::string formatVersion(const Numbers& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.release) + "." +
           std::to_string(v.build);
}

bool isStoredVersion(const Numbers& stored) {
    // Summed wide, so that large stored numbers cannot wrap into "nothing stored".
    return int64_t{stored.major} + stored.minor + stored.release + stored.build > 0;
}

bool isNewVersion(const Numbers& stored, const Numbers& running) {
    if (!isStoredVersion(stored)) return false;
    return running.major > stored.major || running.minor > stored.minor || running.release > stored.release;
}

std::string specialBuildText(uint32_t fileFlags) {
    if (fileFlags & 0x2) return "Pre-Release";
    if (fileFlags & 0x1) return "DEBUG";
    if (fileFlags & 0x8) return "Private Build";
    if (fileFlags & 0x20) return "Special Build";
    return {};
}

uint32_t buildLowWord(uint32_t build) { return build & 0xFFFFu; }

std::string translationKey(uint16_t language, uint16_t codePage) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X%04X", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    return buf;
}

std::optional<std::string> Resource::findString(std::string_view table, std::string_view name) const {
    for (const StringValue& s : strings)
        if (equalIgnoringCase(s.table, table) && equalIgnoringCase(s.name, name)) return s.value;
    return std::nullopt;
}

std::optional<std::string> Resource::findTranslatedString(std::string_view name) const {
    if (translations.empty()) return std::nullopt;
    return findString(translationKey(translations.front().first, translations.front().second), name);
}

// ---- the embedded block ----

std::string blockMarker() { return std::string(kBlockMarkerHead) + std::string(kBlockMarkerTail); }

namespace {

// The next NUL-terminated field at `pos`, which moves past it; nothing when
// the bytes end before a terminator.
std::optional<std::string_view> nextField(std::string_view bytes, size_t& pos) {
    if (pos > bytes.size()) return std::nullopt;
    const size_t end = bytes.find('\0', pos);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view field = bytes.substr(pos, end - pos);
    pos = end + 1;
    return field;
}

// "a.b.c.d", each part a decimal number of 16 bits, as the fixed part holds.
std::optional<Numbers> readFixedVersion(std::string_view s) {
    int32_t parts[4];
    for (int i = 0; i < 4; ++i) {
        const size_t dot = s.find('.');
        const std::string_view part = i < 3 ? s.substr(0, dot) : s;
        if ((i < 3 && dot == std::string_view::npos) || part.empty()) return std::nullopt;
        int32_t v = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            v = v * 10 + (c - '0');
            if (v > 0xFFFF) return std::nullopt;
        }
        parts[i] = v;
        if (i < 3) s.remove_prefix(dot + 1);
    }
    return Numbers{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<uint32_t> readHex(std::string_view s) {
    if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return std::nullopt;
    const auto v = parseInteger(s);
    if (!v) return std::nullopt;
    return static_cast<uint32_t>(*v);
}

// The two fields every block begins with: the marker and the format "1".
std::string blockHead() { return blockMarker() + '\0' + "1" + '\0'; }

enum class Step { Next, End, Bad };

// Reads the record whose tag starts at `pos` and moves `pos` past it, into
// `out` when given. Whether a block ends well from a tag on depends only on
// the tag's position and on whether the fixed part was seen before it.
Step readRecord(std::string_view bytes, size_t& pos, bool& fixedSeen, Resource* out) {
    auto next = [&] { return nextField(bytes, pos); };
    const auto tag = next();
    if (!tag) return Step::Bad;
    if (*tag == "END") return Step::End;
    if (*tag == "FIXED") {
        if (fixedSeen) return Step::Bad;
        fixedSeen = true;
        auto fileVersion = next(), productVersion = next();
        auto mask = next(), flags = next(), os = next(), type = next();
        if (!type) return Step::Bad;
        auto fv = readFixedVersion(*fileVersion), pv = readFixedVersion(*productVersion);
        auto m = readHex(*mask), fl = readHex(*flags), o = readHex(*os), t = readHex(*type);
        if (!fv || !pv || !m || !fl || !o || !t) return Step::Bad;
        if (out) out->fixed = FixedInfo{*fv, *pv, *m, *fl, *o, *t};
        return Step::Next;
    }
    if (*tag == "TRANSLATION") {
        auto language = next(), codePage = next();
        if (!codePage) return Step::Bad;
        auto l = readHex(*language), c = readHex(*codePage);
        if (!l || !c || *l > 0xFFFF || *c > 0xFFFF) return Step::Bad;
        if (out) out->translations.emplace_back(static_cast<uint16_t>(*l), static_cast<uint16_t>(*c));
        return Step::Next;
    }
    if (*tag == "STRING") {
        auto table = next(), name = next(), value = next();
        if (!value) return Step::Bad;
        if (out) out->strings.push_back({std::string(*table), std::string(*name), std::string(*value)});
        return Step::Next;
    }
    return Step::Bad;
}

// Whether the records from the tag at `pos` on end with "END". Blocks that
// overlap (hostile bytes full of block heads) share their later records;
// `known` remembers the outcome of every record already followed, so that
// all the heads of a file together read each record only a few times.
bool endsWell(std::string_view bytes, size_t pos, std::unordered_map<uint64_t, bool>& known) {
    std::vector<uint64_t> followed;
    bool fixedSeen = false;
    bool result = false;
    for (;;) {
        const uint64_t state = uint64_t(pos) * 2 + (fixedSeen ? 1 : 0);
        if (const auto it = known.find(state); it != known.end()) {
            result = it->second;
            break;
        }
        followed.push_back(state);
        const Step step = readRecord(bytes, pos, fixedSeen, nullptr);
        if (step == Step::Next) continue;
        result = step == Step::End;
        break;
    }
    for (uint64_t state : followed) known.emplace(state, result);
    return result;
}

}  // namespace

std::optional<Resource> readBlock(std::string_view bytes) {
    const std::string head = blockHead();
    if (bytes.substr(0, head.size()) != head) return std::nullopt;
    size_t pos = head.size();
    bool fixedSeen = false;
    Resource r;
    for (;;) {
        switch (readRecord(bytes, pos, fixedSeen, &r)) {
            case Step::Next: continue;
            case Step::End: return r;
            case Step::Bad: return std::nullopt;
        }
    }
}

std::optional<Resource> findBlock(std::string_view bytes) {
    // A copy of the marker that does not begin a block (the reader's own
    // constants) is passed over; each candidate's records are checked
    // without building anything, and only the first good block is read.
    const std::string head = blockHead();
    std::unordered_map<uint64_t, bool> known;
    for (size_t at = bytes.find(head); at != std::string_view::npos; at = bytes.find(head, at + 1)) {
        if (endsWell(bytes, at + head.size(), known)) return readBlock(bytes.substr(at));
    }
    return std::nullopt;
}

std::string writeBlock(const Resource& r) {
    std::string out;
    auto field = [&out](std::string_view s) {
        out.append(s);
        out.push_back('\0');
    };
    auto hex = [](uint32_t v) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
        return std::string(buf);
    };
    field(blockMarker());
    field("1");
    if (r.fixed) {
        field("FIXED");
        field(formatVersion(r.fixed->fileVersion));
        field(formatVersion(r.fixed->productVersion));
        field(hex(r.fixed->fileFlagsMask));
        field(hex(r.fixed->fileFlags));
        field(hex(r.fixed->fileOS));
        field(hex(r.fixed->fileType));
    }
    for (const auto& [language, codePage] : r.translations) {
        field("TRANSLATION");
        field(hex(language));
        field(hex(codePage));
    }
    for (const StringValue& s : r.strings) {
        field("STRING");
        field(s.table);
        field(s.name);
        field(s.value);
    }
    field("END");
    return out;
}

std::optional<std::string> osReleaseValue(std::string_view fileText, std::string_view key) {
    std::optional<std::string> found;
    size_t pos = 0;
    while (pos <= fileText.size()) {
        size_t end = fileText.find('\n', pos);
        if (end == std::string_view::npos) end = fileText.size();
        std::string_view line = trimmed(fileText.substr(pos, end - pos));
        pos = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') continue;
        std::string_view raw = line.substr(key.size() + 1);
        std::string value;
        // Quoted ('...' literally, "..." with backslash escapes) or bare.
        char quote = 0;
        for (size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (quote == '\'') {
                if (c == '\'') quote = 0;
                else value += c;
            } else if (c == '\\' && i + 1 < raw.size() && quote != '\'') {
                value += raw[++i];
            } else if (quote == '"') {
                if (c == '"') quote = 0;
                else value += c;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else {
                value += c;
            }
        }
        found = value;
    }
    return found;
}

KernelNumbers kernelNumbers(std::string_view release) {
    uint32_t numbers[3] = {0, 0, 0};
    size_t i = 0;
    for (int n = 0; n < 3; ++n) {
        if (i >= release.size() || release[i] < '0' || release[i] > '9') break;
        uint64_t v = 0;
        while (i < release.size() && release[i] >= '0' && release[i] <= '9') {
            v = v * 10 + static_cast<uint64_t>(release[i] - '0');
            if (v > 0xFFFFFFFFull) v = 0xFFFFFFFFull;
            ++i;
        }
        numbers[n] = static_cast<uint32_t>(v);
        if (i >= release.size() || release[i] != '.') break;
        ++i;
    }
    return {numbers[0], numbers[1], numbers[2]};
}

}  // namespace qm::version
