// The game's tool as mutator import and compression start it, over a real
// game folder: the System folder and the tool in their spelling on disk.
#include "core/game_tool.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

TEST(GameTool, TheToolInTheGamesSystemFolder) {
    const std::string sep(1, path::kSeparator);
    struct Case {
        const char* what;
        const char* system;  // the folder's name on disk
        std::vector<const char*> files;
        const char* program;  // expected, under the System folder
    } cases[] = {
        {"the game's tool", "System", {"ucc"}, "ucc"},
        {"a folder copied from Windows", "system", {"UCC"}, "UCC"},
        {"no tool: the name it would have", "SYSTEM", {}, "ucc"},
#ifndef _WIN32
        {"the native tool first", "System", {"ucc", "ucc-bin"}, "ucc-bin"},
        {"the native tool in its own spelling", "system", {"UCC-Bin"}, "UCC-Bin"},
#endif
    };
    for (const auto& c : cases) {
        TempDir root;
        const std::string game = root.mkdir("Game") + sep;
        root.mkdir(std::string("Game/") + c.system);
        for (const char* f : c.files) root.write(std::string("Game/") + c.system + "/" + f, "tool");
        auto fs = platform::makeFileSystem();
        const GameTool tool = resolveGameTool(*fs, game);
        EXPECT_EQ(tool.program, game + c.system + sep + c.program) << c.what;
        EXPECT_EQ(tool.workingFolder, game + c.system) << c.what;
    }
}

}  // namespace
}  // namespace qm::test
