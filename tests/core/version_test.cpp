#include "core/version.h"

#include <gtest/gtest.h>

#include <chrono>

namespace qm::version {
namespace {

using namespace std::string_literals;

std::string show(const Numbers& n) { return formatVersion(n); }

TEST(VersionIntegers, DecimalSignAndHexadecimalPrefixes) {
    struct Case {
        std::string text;
        std::optional<int32_t> expected;
    } cases[] = {
        {"65", 65},
        {"  65", 65},
        {"-3", -3},
        {"+3", 3},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"2147483648", std::nullopt},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"x", std::nullopt},
        {"65 ", std::nullopt},
        {"6 5", std::nullopt},
        {"1F", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseInteger(c.text), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(integerOrZero(c.text), c.expected.value_or(0)) << '"' << c.text << '"';
    }
}

TEST(VersionTexts, FileVersionSplitsAtTheFirstThreeDots) {
    struct Case {
        std::string text;
        Numbers expected;
    } cases[] = {
        {"2.1.0.65", {2, 1, 0, 65}},
        {"1.2.3", {1, 2, 0, 3}},
        {"7", {0, 0, 0, 7}},
        {"2.1.0.   65  ", {2, 1, 0, 65}},
        {"2.1.0.\t65\r\n", {2, 1, 0, 65}},
        {"2.1.0.65.7", {2, 1, 0, 0}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
        {"2.x.0.65", {2, 0, 0, 65}},
        {"$10.0x1F.-1.$FF", {16, 31, -1, 255}},
        {" 2.1.0.65", {2, 1, 0, 65}},
        {"2 .1.0.65", {0, 1, 0, 65}},
    };
    for (const auto& c : cases) EXPECT_EQ(show(splitFileVersion(c.text)), show(c.expected)) << '"' << c.text << '"';
}

TEST(VersionTexts, StoredVersionParts) {
    struct Case {
        std::string text;
        std::vector<std::string> parts;
        Numbers numbers;
    } cases[] = {
        {"2.1.0.65", {"2", "1", "0", "65"}, {2, 1, 0, 65}},
        {"2.1", {"2", "1"}, {2, 1, 0, 0}},
        {"2.x.0.65", {"2", "x", "0", "65"}, {2, 0, 0, 65}},
        {"", {}, {0, 0, 0, 0}},
        {"   ", {}, {0, 0, 0, 0}},
        {"\t\r\n", {}, {0, 0, 0, 0}},
        {"  2.  1 .0.65", {"2", "1", "0", "65"}, {2, 1, 0, 65}},
        {"2 1 0 65", {"2", "1", "0", "65"}, {2, 1, 0, 65}},
        {"2.1.", {"2", "1", ""}, {2, 1, 0, 0}},
        {"2..1", {"2", "", "1"}, {2, 0, 1, 0}},
        {"\"2\".\"1\".0.65", {"2", "1", "0", "65"}, {2, 1, 0, 65}},
        {"\"2.1\".0", {"2.1", "0"}, {0, 0, 0, 0}},
        {"\"a\"\"b\".3", {"a\"b", "3"}, {0, 3, 0, 0}},
        {"\" 4\".5", {" 4", "5"}, {4, 5, 0, 0}},
        {"\"2\"x.1", {"2", "x", "1"}, {2, 0, 1, 0}},
        {"\"unterminated.1", {"unterminated.1"}, {0, 0, 0, 0}},
        {"2.1.0.65.9.9", {"2", "1", "0", "65", "9", "9"}, {2, 1, 0, 65}},
        {"$A.0x10.-1.+2", {"$A", "0x10", "-1", "+2"}, {10, 16, -1, 2}},
        {"2.1\0.9"s, {"2", "1"}, {2, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitStoredParts(c.text), c.parts) << '"' << c.text << '"';
        EXPECT_EQ(show(parseStoredVersion(c.text)), show(c.numbers)) << '"' << c.text << '"';
    }
}

TEST(VersionTexts, FormatIsDecimalJoinedByDots) {
    EXPECT_EQ(formatVersion({2, 1, 0, 65}), "2.1.0.65");
    EXPECT_EQ(formatVersion({0, 0, 0, 0}), "0.0.0.0");
    EXPECT_EQ(formatVersion({-1, 10, 0, 2147483647}), "-1.10.0.2147483647");
    // What is stored reads back unchanged.
    const Numbers v{3, 14, 15, 926};
    EXPECT_EQ(parseStoredVersion(formatVersion(v)), v);
}

TEST(RunVersion, NewOnlyWhenMajorMinorOrReleaseIsHigher) {
    struct Case {
        Numbers stored, running;
        bool isNew;
    } cases[] = {
        {{2, 1, 0, 65}, {2, 1, 0, 65}, false},
        {{2, 1, 0, 65}, {2, 1, 0, 66}, false},  // the build is not compared
        {{2, 1, 0, 65}, {2, 2, 0, 1}, true},
        {{2, 1, 0, 65}, {2, 1, 1, 0}, true},
        {{2, 1, 0, 65}, {3, 0, 0, 0}, true},
        {{3, 0, 0, 0}, {2, 1, 0, 0}, true},  // 1 > 0 for the minor number
        {{2, 1, 0, 65}, {2, 0, 0, 99}, false},
        {{0, 0, 0, 0}, {2, 1, 0, 65}, false},  // nothing stored
        {{0, 0, 0, 1}, {2, 1, 0, 65}, true},
        {{-5, 1, 1, 1}, {2, 1, 0, 65}, false},  // sums to 0 or less
        {{2147483647, 2147483647, 2, 0}, {2147483647, 2147483647, 3, 0}, true},  // no wrap-around
    };
    for (const auto& c : cases)
        EXPECT_EQ(isNewVersion(c.stored, c.running), c.isNew) << show(c.stored) << " -> " << show(c.running);
}

TEST(VersionResource, SpecialBuildTextByTheFirstFlagInOrder) {
    struct Case {
        uint32_t flags;
        std::string text;
    } cases[] = {
        {0x0, ""},
        {0x3, "Pre-Release"},
        {0x1, "DEBUG"},
        {0x28, "Private Build"},
        {0x20, "Special Build"},
        {0x4, ""},
        {0x10, ""},
        {0xFFFFFFC4, ""},
        {0x29, "DEBUG"},
    };
    for (const auto& c : cases) EXPECT_EQ(specialBuildText(c.flags), c.text) << std::hex << c.flags;
}

TEST(VersionResource, BuildLowWordAndTranslationKey) {
    EXPECT_EQ(buildLowWord(2600), 2600u);
    EXPECT_EQ(buildLowWord(0x0A280A28), 2600u);
    EXPECT_EQ(buildLowWord(0xFFFF0000), 0u);
    EXPECT_EQ(translationKey(0x0409, 1252), "040904E4");
    EXPECT_EQ(translationKey(0x0407, 0x04b0), "040704B0");
    EXPECT_EQ(translationKey(0, 0xFFFF), "0000FFFF");
}

Resource sampleResource() {
    Resource r;
    r.fixed = FixedInfo{{2, 1, 0, 65}, {2, 1, 0, 65}, 0x3F, 0x28, 0x4, 0x1};
    r.translations = {{0x0409, 0x04E4}, {0x0407, 0x04B0}};
    r.strings = {{"040904E4", "FileVersion", "2.1.0.65"},
                 {"040904E4", "Comments", ""},
                 {"040704B0", "FileVersion", "9.9.9.9"}};
    return r;
}

TEST(VersionResource, BlockRoundTripsAndIsFoundInsideOtherBytes) {
    const Resource r = sampleResource();
    const std::string block = writeBlock(r);
    // A copy of the marker alone (as the reader's own constants leave in a
    // program) comes first and must be passed over.
    const std::string file = "\x7f" "ELF junk"s + blockMarker() + '\0' + "garbage" + '\0' + "more" + block + "tail"s;
    for (const std::string& bytes : {block, file}) {
        auto found = findBlock(bytes);
        ASSERT_TRUE(found);
        ASSERT_TRUE(found->fixed);
        EXPECT_EQ(found->fixed->fileVersion, (Numbers{2, 1, 0, 65}));
        EXPECT_EQ(found->fixed->fileFlagsMask, 0x3Fu);
        EXPECT_EQ(found->fixed->fileFlags, 0x28u);
        EXPECT_EQ(found->fixed->fileOS, 0x4u);
        EXPECT_EQ(found->fixed->fileType, 0x1u);
        EXPECT_EQ(found->translations, r.translations);
        EXPECT_EQ(found->findTranslatedString("fileversion"), "2.1.0.65");
        EXPECT_EQ(found->findString("040704b0", "FileVersion"), "9.9.9.9");
        EXPECT_EQ(found->findTranslatedString("Comments"), "");
        EXPECT_EQ(found->findTranslatedString("ProductName"), std::nullopt);
    }
}

TEST(VersionResource, WithoutTranslationTableThereAreNoTextValues) {
    Resource r = sampleResource();
    r.translations.clear();
    auto found = readBlock(writeBlock(r));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->findTranslatedString("FileVersion"), std::nullopt);
    EXPECT_EQ(found->findString("040904E4", "FileVersion"), "2.1.0.65");
}

TEST(VersionResource, BlockWithoutFixedPartReadsWithoutOne) {
    Resource r = sampleResource();
    r.fixed.reset();
    auto found = readBlock(writeBlock(r));
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->fixed);
    EXPECT_EQ(found->findTranslatedString("FileVersion"), "2.1.0.65");
}

TEST(VersionResource, DamagedBlocksAreRejected) {
    const std::string good = writeBlock(sampleResource());
    const std::string m = blockMarker() + '\0';
    struct Case {
        const char* why;
        std::string bytes;
    } cases[] = {
        {"cut short", good.substr(0, good.size() - 3)},
        {"no END", good.substr(0, good.size() - 4)},
        {"other format", m + "2"s + '\0' + "END"s + '\0'},
        {"unknown tag", m + "1"s + '\0' + "COLOR"s + '\0' + "END"s + '\0'},
        {"fixed version with three parts",
         m + "1"s + '\0' + "FIXED\0" "2.1.0\0" "2.1.0.0\0" "0x3F\0" "0x0\0" "0x4\0" "0x1\0" "END"s + '\0'},
        {"fixed version part too large",
         m + "1"s + '\0' + "FIXED\0" "2.1.0.65536\0" "2.1.0.0\0" "0x3F\0" "0x0\0" "0x4\0" "0x1\0" "END"s + '\0'},
        {"flags not hexadecimal",
         m + "1"s + '\0' + "FIXED\0" "2.1.0.65\0" "2.1.0.65\0" "63\0" "0x0\0" "0x4\0" "0x1\0" "END"s + '\0'},
        {"two fixed parts",
         m + "1"s + '\0' + "FIXED\0" "2.1.0.65\0" "2.1.0.65\0" "0x3F\0" "0x0\0" "0x4\0" "0x1\0" +
             "FIXED\0" "2.1.0.65\0" "2.1.0.65\0" "0x3F\0" "0x0\0" "0x4\0" "0x1\0" "END"s + '\0'},
        {"code page beyond 16 bits", m + "1"s + '\0' + "TRANSLATION\0" "0x409\0" "0x104E4\0" "END"s + '\0'},
        {"string without value", m + "1"s + '\0' + "STRING\0" "040904E4\0" "FileVersion"s + '\0'},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(readBlock(c.bytes)) << c.why;
        EXPECT_FALSE(findBlock(c.bytes)) << c.why;
    }
    EXPECT_FALSE(findBlock("no block at all"));
    EXPECT_FALSE(findBlock(""));
}

// An executable is searched whole, and its bytes are not ours: a megabyte
// full of block heads that never end as a block must not take longer than
// a few passes over it. (Each head used to be followed to the end of the
// bytes on its own: minutes for such a file.)
TEST(VersionResource, BytesFullOfUnfinishedBlocksAreSearchedInProportionToTheirSize) {
    const std::string m = blockMarker() + '\0';
    struct Case {
        const char* what;
        std::string unit;
    } cases[] = {
        {"markers without a terminator", blockMarker()},
        {"heads whose records run on without an END", m + "1\0" "STRING\0" "x"s + '\0'},
        {"heads whose records alternate", m + "1\0" "TRANSLATION\0" "0x409\0" "0x4E4\0" "STRING\0" "t"s + '\0'},
    };
    const Resource sample = sampleResource();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        while (bytes.size() < (1u << 20)) bytes += c.unit;
        bytes += '\0';  // an empty field, which is no tag, ends the run of records
        bytes += writeBlock(sample);
        const auto start = std::chrono::steady_clock::now();
        const auto found = findBlock(bytes);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(found);
        EXPECT_EQ(found->translations, sample.translations);
        EXPECT_EQ(found->findTranslatedString("FileVersion"), "2.1.0.65");
        // Milliseconds are needed; the bound leaves room for a slow, shared machine.
        EXPECT_LT(elapsed, std::chrono::seconds(2));
    }
}

TEST(SystemDescription, OsReleaseValueUndoesQuoting) {
    const std::string file =
        "NAME=\"Debian GNU/Linux\"\n"
        "PRETTY_NAME_EXTRA=wrong\n"
        "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
        "ID=debian\n"
        "SINGLE='it''s \"x\"'\n"
        "ESCAPED=\"a \\\"b\\\" \\\\ c\"\r\n"
        "EMPTY=\n"
        "# PRETTY_NAME=commented\n";
    struct Case {
        std::string key;
        std::optional<std::string> value;
    } cases[] = {
        {"PRETTY_NAME", "Debian GNU/Linux 12 (bookworm)"},
        {"ID", "debian"},
        {"SINGLE", "its \"x\""},
        {"ESCAPED", "a \"b\" \\ c"},
        {"EMPTY", ""},
        {"VERSION_ID", std::nullopt},
        {"NAM", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(osReleaseValue(file, c.key), c.value) << c.key;
    // The last line that sets a key wins, and a file without newline ends its last line.
    EXPECT_EQ(osReleaseValue("ID=a\nID=b", "ID"), "b");
}

TEST(SystemDescription, KernelNumbersFromTheRelease) {
    struct Case {
        std::string release;
        uint32_t major, minor, patch;
    } cases[] = {
        {"6.1.0-18-amd64", 6, 1, 0},
        {"6.18.44-fc-v1607", 6, 18, 44},
        {"5.15", 5, 15, 0},
        {"4.19.0.1", 4, 19, 0},
        {"", 0, 0, 0},
        {"linux", 0, 0, 0},
        {"3.x.7", 3, 0, 0},
        {"99999999999.1.2", 0xFFFFFFFF, 1, 2},
    };
    for (const auto& c : cases) {
        const KernelNumbers k = kernelNumbers(c.release);
        EXPECT_EQ(k.major, c.major) << c.release;
        EXPECT_EQ(k.minor, c.minor) << c.release;
        EXPECT_EQ(k.patch, c.patch) << c.release;
    }
}

}  // namespace
}  // namespace qm::version
