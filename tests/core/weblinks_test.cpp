#include "core/weblinks.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/readme.h"

namespace qm {
namespace {

TEST(WebLinks, TheMakersServers) {
    const links::WebLinks l = links::webLinks("");
    EXPECT_EQ(l.updateDocument, "http://www.harthollow.net/pad/quillmere.xml");
    EXPECT_EQ(l.productPage, "http://www.harthollow.net/products.php#quillmere");
    EXPECT_EQ(l.website, "http://www.harthollow.net/");
    EXPECT_EQ(l.forums, "http://forums.harthollow.net/viewforum.php?f=5");
    EXPECT_EQ(l.donate, "http://www.harthollow.net/donate.html");
}

TEST(WebLinks, OneOverrideReplacesBothServers) {
    struct Case {
        std::string value;
        std::string base;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"  https://mirror.example:8443//  ", "https://mirror.example:8443"},
        {"   ", ""},  // blank: the maker's servers
    };
    for (const auto& c : cases) {
        const links::WebLinks l = links::webLinks(c.value);
        if (c.base.empty()) {
            EXPECT_EQ(l.forums, "http://forums.harthollow.net/viewforum.php?f=5") << c.value;
            continue;
        }
        EXPECT_EQ(l.updateDocument, c.base + "/pad/quillmere.xml") << c.value;
        EXPECT_EQ(l.productPage, c.base + "/products.php#quillmere");
        EXPECT_EQ(l.website, c.base + "/");
        EXPECT_EQ(l.forums, c.base + "/viewforum.php?f=5");
        EXPECT_EQ(l.donate, c.base + "/donate.html");
    }
}

TEST(Readme, BesideTheProgramAndInstalled) {
    EXPECT_EQ(readme::besideProgram("C:\\UT2004\\System\\Quillmere.exe"), "C:\\UT2004\\System\\Quillmere.txt");
    EXPECT_EQ(readme::besideProgram("/games/ut2004/System/quillmere"), "/games/ut2004/System/quillmere.txt");
    EXPECT_EQ(readme::besideProgram("/home/a.b/quillmere"), "/home/a.b/quillmere.txt");

    const std::string rel = "../share/doc/quillmere/quillmere.txt";
    const std::string sep(1, path::kSeparator);
    EXPECT_EQ(readme::installed("/usr/bin/quillmere", rel),
              sep + "usr" + sep + "share" + sep + "doc" + sep + "quillmere" + sep + "quillmere.txt");
    EXPECT_EQ(readme::installed("/opt/q/./bin/quillmere", rel),
              sep + "opt" + sep + "q" + sep + "share" + sep + "doc" + sep + "quillmere" + sep + "quillmere.txt");
    EXPECT_EQ(readme::installed("/quillmere", "../../x.txt"), sep + "x.txt");  // not above the root
    EXPECT_EQ(readme::installed("bin/quillmere", "../../doc/x.txt"), ".." + sep + "doc" + sep + "x.txt");
    EXPECT_EQ(readme::installed("/usr/bin/quillmere", ""), "");
}

}  // namespace
}  // namespace qm
