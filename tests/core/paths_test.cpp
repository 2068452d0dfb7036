#include "core/paths.h"

#include <gtest/gtest.h>

namespace qm::path {
namespace {

const std::string S(1, kSeparator);

TEST(PathRules, JoinPutsExactlyOneSeparator) {
    struct Case {
        std::string folder, name, expected;
    } cases[] = {
        {"a", "b", "a" + S + "b"},
        {"a" + S, "b", "a" + S + "b"},
        {"a/", "b", "a/b"},
        {"C:\\", "x.u", "C:\\x.u"},
        {"/", "x.u", "/x.u"},
        {"", "x.u", "x.u"},
        {"a", "/b", "a" + S + "b"},
    };
    for (const auto& c : cases) EXPECT_EQ(join(c.folder, c.name), c.expected) << c.folder << " + " << c.name;
}

TEST(PathRules, TrailingSeparator) {
    EXPECT_EQ(withTrailingSeparator("a"), "a" + S);
    EXPECT_EQ(withTrailingSeparator("a\\"), "a\\");
    EXPECT_EQ(withTrailingSeparator(""), "");
    EXPECT_EQ(withoutTrailingSeparator("a//"), "a");
    EXPECT_EQ(withoutTrailingSeparator("/"), "/");
    EXPECT_EQ(withoutTrailingSeparator("C:\\"), "C:\\");
}

TEST(PathRules, ParentOfFolderCutsBeforeTheLastSeparator) {
    struct Case {
        std::string folder, parent;
    } cases[] = {
        {"C:\\Games\\UT2004\\System\\", "C:\\Games\\UT2004"},
        {"/games/ut2004/System/", "/games/ut2004"},
        {"/games/ut2004/System", "/games/ut2004"},
        {"C:\\", ""},
        {"/", ""},
        {"/System/", ""},
        {"plain", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(parentOfFolder(c.folder), c.parent) << c.folder;
}

TEST(PathRules, NamesAndExtensions) {
    struct Case {
        std::string path, name, ext, base;
    } cases[] = {
        {"/a/b/Map.UT2", "Map.UT2", ".UT2", "Map"},
        {"C:\\x\\pkg.tar.u", "pkg.tar.u", ".u", "pkg.tar"},
        {"noext", "noext", "", "noext"},
        {"/a.b/noext", "noext", "", "noext"},
        {"trailing.", "trailing.", ".", "trailing"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileName(c.path), c.name) << c.path;
        EXPECT_EQ(extension(c.path), c.ext) << c.path;
        EXPECT_EQ(baseName(c.path), c.base) << c.path;
    }
    EXPECT_EQ(replaceExtension("/p/quillmere", ".txt"), "/p/quillmere.txt");
    EXPECT_EQ(replaceExtension("C:\\p\\Quillmere.exe", ".txt"), "C:\\p\\Quillmere.txt");
}

TEST(PathRules, CaseInsensitiveAsciiComparison) {
    EXPECT_TRUE(equalsIgnoreCase("System", "SYSTEM"));
    EXPECT_FALSE(equalsIgnoreCase("System", "Systems"));
    EXPECT_FALSE(equalsIgnoreCase("\xc4", "\xe4"));  // only ASCII folds
    EXPECT_TRUE(startsWithIgnoreCase("Skipping file \"x\"", "SKIPPING FILE"));
    EXPECT_TRUE(endsWithIgnoreCase("a.UXX", ".uxx"));
}

TEST(PathRules, WildcardsMatchWithoutCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.uxx", "ABC.UXX", true}, {"K*.uxx", "k-12.uxx", true}, {"K*.uxx", "K.uxx", true},
        {"K*.uxx", "K.uxxx", false}, {"?.u", "a.u", true},       {"?.u", "ab.u", false},
        {"*.*", "noext", true},      {"*a*b*", "xaxxbx", true},  {"*a*b", "xaxxbx", false},
        // A '*' in the name is an ordinary character that a '*' of the pattern covers.
        {"*.uxx", "*..uxx", true},   {"K*.uxx", "K*a.uxx", true}, {"K*.uxx", "K*a.uxy", false},
    };
    for (const auto& c : cases) EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(PathRules, PlainFileNames) {
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "C:x", "..\\..\\evil.u", "tab\tname"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    for (const char* good : {"DM-Deck16.ut2", "..hidden.u", "a b.utx", "x..y"}) EXPECT_TRUE(isPlainFileName(good)) << good;
}

}  // namespace
}  // namespace qm::path
