#include "core/game.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(GameKinds, NamesAndCaptions) {
    struct Case {
        TGameKind kind;
        const char* name;
        const char* caption;
    } cases[] = {
        {gkUT2003, "UT2003", "UT2003 (default)"}, {gkUT, "Unreal Tournament", "UT (default)"},
        {gkUT2004, "UT2004", "UT2004 (default)"}, {gkUnreal, "Unreal", "Unreal (default)"},
        {7, "Unreal Engine Game", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gameName(c.kind), c.name);
        EXPECT_EQ(defaultModCaption(c.kind), c.caption);
    }
}

TEST(GameKinds, FolderForExtension) {
    struct Case {
        const char* ext;
        const char* ut200x;
        const char* ut;
    } cases[] = {
        {".ukx", "Animations", ""}, {".ifr", "ForceFeedback", ""}, {".ut2", "Maps", ""},
        {".ogg", "Music", ""},      {".uax", "Sounds", "Sounds"},  {".usx", "StaticMeshes", ""},
        {".u", "System", ""},       {".int", "System", ""},        {".utx", "Textures", "Textures"},
        {".unr", "", "Maps"},       {".umx", "", "Music"},         {".txt", "", ""},
        {".UTX", "Textures", "Textures"}, {"u", "System", ""},     {"", "", ""},
        {"..u", "System", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderForExtension(gkUT2003, c.ext), c.ut200x) << c.ext;
        EXPECT_EQ(FolderForExtension(gkUT2004, c.ext), c.ut200x) << c.ext;
        EXPECT_EQ(FolderForExtension(gkUT, c.ext), c.ut) << c.ext;
        EXPECT_EQ(FolderForExtension(gkUnreal, c.ext), "") << c.ext;
        EXPECT_EQ(FolderForExtension(9, c.ext), "") << c.ext;
    }
}

}  // namespace
}  // namespace qm
