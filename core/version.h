#pragma once
// Version numbers: the texts they are written in, how two of them compare,
// and the version resource an executable carries.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::version {

struct Numbers {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t release = 0;
    int32_t build = 0;
    bool operator==(const Numbers&) const = default;
};

// An integer as the program reads one everywhere: leading blanks, an
// optional sign, decimal or hexadecimal after "$" or "0x". Anything else,
// including an empty text or a value outside 32 bits, is not an integer.
std::optional<int32_t> parseInteger(std::string_view text);
// The same, with 0 for a text that is not an integer.
int32_t integerOrZero(std::string_view text);

// A resource's "FileVersion" text: major, minor and release before the
// first three dots; the build is everything after the third dot, trimmed,
// so "1.2.3" is 1, 2, 0, 3 and "7" is 0, 0, 0, 7.
Numbers splitFileVersion(std::string_view text);

// The parts of a stored "LastRunVersion" text. A part ends at a dot or at a
// blank or control character; blanks before a part and after a dot are
// skipped, a dot at the very end adds an empty part, and a part that begins
// with a double quote runs to the closing quote ("" stands for one quote).
std::vector<std::string> splitStoredParts(std::string_view text);
// The stored version: the first four parts as integers, 0 where absent.
Numbers parseStoredVersion(std::string_view text);

// "major.minor.release.build" in decimal.
std::string formatVersion(const Numbers& v);

// Whether a stored version names one: its numbers sum to more than 0, so
// nothing stored and "0.0.0.0" do not.
bool isStoredVersion(const Numbers& stored);

// Whether `running` is a newly installed or updated version compared with
// `stored`. Nothing stored (numbers summing to 0 or less) is never new.
// Major, minor and release are compared each on its own; the build is not.
bool isNewVersion(const Numbers& stored, const Numbers& running);

// The special-build text for a resource's file flags: the first of
// Pre-Release (0x2), DEBUG (0x1), Private Build (0x8), Special Build (0x20).
std::string specialBuildText(uint32_t fileFlags);

// The low 16 bits of a system build number.
uint32_t buildLowWord(uint32_t build);

// The string-table key of a translation: language and code page as four
// upper-case hexadecimal digits each, "040904E4".
std::string translationKey(uint16_t language, uint16_t codePage);

// ---- the version resource ----

struct FixedInfo {
    Numbers fileVersion;
    Numbers productVersion;
    uint32_t fileFlagsMask = 0;
    uint32_t fileFlags = 0;
    uint32_t fileOS = 0;
    uint32_t fileType = 0;
};

struct StringValue {
    std::string table;  // "040904E4"
    std::string name;
    std::string value;
};

struct Resource {
    std::optional<FixedInfo> fixed;
    std::vector<std::pair<uint16_t, uint16_t>> translations;  // language, code page
    std::vector<StringValue> strings;

    // A text value of a string table; the table key compares without
    // regard to case, the value name too, as the system's lookup does.
    std::optional<std::string> findString(std::string_view table, std::string_view name) const;
    // The value in the table of the first translation. A resource without
    // a translation table has no text values at all.
    std::optional<std::string> findTranslatedString(std::string_view name) const;
};

// The version block that a POSIX build embeds in its executable: a marker
// followed by NUL-terminated fields. Its layout:
//   marker, format "1",
//   "FIXED", file version, product version ("a.b.c.d"), flags mask, flags,
//            OS, type (each a "0x" hexadecimal number),
//   any number of "TRANSLATION", language, code page,
//   any number of "STRING", table, name, value,
//   "END".
// The marker itself, written so that this header does not carry it as one
// literal; the generated block spells it out.
inline constexpr std::string_view kBlockMarkerHead = "QUILLMERE-VERSION";
inline constexpr std::string_view kBlockMarkerTail = "INFO-BLOCK";
std::string blockMarker();

// Reads a block that starts at the beginning of `bytes`; nullopt when the
// bytes are not a whole, well-formed block.
std::optional<Resource> readBlock(std::string_view bytes);
// The first well-formed block anywhere in `bytes` (a file's contents).
// Copies of the marker that do not begin a block, such as the reader's own
// constants, are passed over.
std::optional<Resource> findBlock(std::string_view bytes);
// Writes a block in the same layout (the generator for tests and tools).
std::string writeBlock(const Resource& r);

// ---- the system's description where there is no Windows version query ----

// A value of an os-release file ("PRETTY_NAME"): the last line that sets
// the key, with its shell quoting and escapes undone; nullopt when no line
// sets it.
std::optional<std::string> osReleaseValue(std::string_view fileText, std::string_view key);
// The leading numbers of a kernel release such as "6.1.0-18-amd64":
// major, minor and patch, 0 where a number is missing.
struct KernelNumbers {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t patch = 0;
};
KernelNumbers kernelNumbers(std::string_view release);

}  // namespace qm::version
