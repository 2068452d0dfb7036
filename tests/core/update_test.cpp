#include "core/update.h"

#include <gtest/gtest.h>

namespace qm::update {
namespace {

std::string doc(const std::string& version) {
    return "<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n<Program_Info>\r\n<Program_Name>Quillmere</Program_Name>\r\n"
           "<Program_Version>" +
           version + "</Program_Version>\r\n</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
}

TEST(UpdateVersionText, CutOutOfTheBody) {
    struct Case {
        std::string body;
        std::string text;
    } cases[] = {
        {doc("2.1.4"), "2.1.4"},
        // The first element counts, also when a later one is newer.
        {"<Program_Version>2.1.4</Program_Version><Program_Version>9.0</Program_Version>", "2.1.4"},
        // The tag's case matters.
        {"<program_version>9.0</program_version><Program_Version>2.2</Program_Version>", "2.2"},
        // No closing tag: everything after the opening tag.
        {"<Program_Version>2.2.0\r\n</Program_Info>", "2.2.0\r\n</Program_Info>"},
        // An empty element: everything after the opening tag, closing tag included.
        {"x<Program_Version></Program_Version>y", "</Program_Version>y"},
        // The closing tag one character in is not the empty-element case.
        {"<Program_Version>7</Program_Version>", "7"},
        // No element: the whole body.
        {"<html>Sign in to the network</html>", "<html>Sign in to the network</html>"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(versionText(c.body), c.text) << c.body;
}

TEST(UpdatePublishedVersion, NumbersOfTheFirstThreeParts) {
    struct Case {
        std::string version;
        version::Numbers expected;
    } cases[] = {
        {"2.1.4", {2, 1, 4, 0}},
        {"2.1", {2, 1, 0, 0}},
        {"2", {2, 0, 0, 0}},
        {"2.1.4.65", {2, 1, 4, 0}},         // the build is not read
        {"2.1.4.beta", {2, 1, 4, 0}},       // nor anything after it
        {"  2.1.4\r\n", {2, 1, 4, 0}},      // blanks around it
        {"\"2\".\"1\".\"4\"", {2, 1, 4, 0}},  // quoted parts
        {"10.20.30", {10, 20, 30, 0}},
        {"2.1 4", {2, 1, 4, 0}},            // a blank also ends a part
    };
    for (const auto& c : cases) {
        const Published p = publishedVersion(doc(c.version));
        ASSERT_TRUE(p.version) << c.version << ": " << p.problem;
        EXPECT_EQ(*p.version, c.expected) << c.version;
        EXPECT_EQ(p.problem, "");
    }
}

TEST(UpdatePublishedVersion, ADocumentWithoutAUsableVersionSaysWhatIsWrong) {
    struct Case {
        std::string body;
        std::string problem;
    } cases[] = {
        {"<html><body>Sign in to continue</body></html>",
         "The update document names no version (it has no <Program_Version> element)."},
        {"", "The update document names no version (it has no <Program_Version> element)."},
        {doc(" "), "The update document's version is empty."},
        {doc("2.x.5"), "The update document's version \"2.x.5\" is not a version number."},
        {doc("2.1."), "The update document's version \"2.1.\" is not a version number."},  // empty third part
        {doc("v2.1"), "The update document's version \"v2.1\" is not a version number."},
        {doc("-2.1"), "The update document's version \"-2.1\" is not a version number."},
        {doc("$2.1"), "The update document's version \"$2.1\" is not a version number."},
        {doc("2.1.99999999999"), "The update document's version \"2.1.99999999999\" is not a version number."},
        // The empty element: the closing tag is taken as the version text;
        // the message shows it on one line, cut short.
        {"<Program_Version></Program_Version>\r\n</Program_Info>\r\n<Company_Info>\r\n<Company_Name>Harthollow",
         "The update document's version \"</Program_Version> </Program_Info> <Comp...\" is not a "
         "version number."},
    };
    for (const auto& c : cases) {
        const Published p = publishedVersion(c.body);
        EXPECT_FALSE(p.version) << c.body;
        EXPECT_EQ(p.problem, c.problem) << c.body;
    }
}

// Running 2.1.3: major, minor and release compared in that order, as numbers.
TEST(UpdateDecision, NewerMeansAnUpdate) {
    const version::Numbers running{2, 1, 3, 0};
    struct Case {
        std::string published;
        bool update;
    } cases[] = {
        {"2.1.4", true},  {"2.1.3", false}, {"2.2.0", true},  {"2.0.9", false},
        {"3.0.0", true},  // a higher major number is newer, whatever the minor
        {"3.2.0", true},  {"1.9.9", false}, {"1.99.99", false},
        {"2.1", false},   // 2.1.0
        {"2.2", true},
        {"2", false},     // 2.0.0
        {"3", true},      {"1", false},
        {"2.1.3.99", false},  // the build plays no part
        {"2.1.10", true},     // numbers, not texts
        {"10.0.0", true},
    };
    for (const auto& c : cases) {
        const Published p = publishedVersion(doc(c.published));
        ASSERT_TRUE(p.version) << c.published;
        EXPECT_EQ(isNewer(*p.version, running), c.update) << c.published;
    }
    EXPECT_FALSE(isNewer({2, 1, 3, 99}, {2, 1, 3, 0}));
    EXPECT_FALSE(isNewer({2, 1, 3, 0}, {2, 1, 3, 99}));
}

}  // namespace
}  // namespace qm::update
