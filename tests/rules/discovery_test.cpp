// Discovery without a window: beside the program, the installers' records,
// the default folders, and the mod folders as data.
#include "core/discovery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/paths.h"
#include "core/registry.h"
#include "platform/platform.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

struct World {
    TempDir root;
    std::unique_ptr<FileSystem> fs = platform::makeFileSystem();
    std::unique_ptr<Registry> registry = platform::makeRegistry(root / "registry.reg");
    ScriptedDialogs dialogs;
    DiscoverySources sources(const std::string& exe, const std::string& drive = "") {
        return {*fs, *registry, dialogs, exe, drive};
    }
    void text(RegRoot r, const std::string& key, const std::string& name, const std::string& value) {
        auto k = registry->openOrCreate(r, key);
        ASSERT_TRUE(k);
        k->writeString(name, value);
    }
};

TEST(DetectGameBesideProgram, TheProgramInSystemOrInTheGameFolder) {
    struct Case {
        const char* file;  // relative to Game
        const char* program;  // folder of the program, relative to Game
        const char* dir;      // the game folder found, relative to the temp root; nullptr: none
        TGameKind kind;
    } cases[] = {
        {"System/UT2004.exe", "System", "Game", gkUT2004},
        {"System/ut2004demo.exe", "System", "Game", gkUT2004},
        {"System/UT2003.exe", "", "Game/", gkUT2003},  // the program in the game folder
        {"System/UnrealTournament.exe", "System", "Game", gkUT},
        {"System/Other.exe", "System", nullptr, gkUT2003},
    };
    for (const Case& c : cases) {
        World w;
        w.root.write(std::string("Game/") + c.file, "exe");
        const std::string program = w.root / ("Game/" + std::string(c.program) + (*c.program ? "/" : "") + "quillmere");
        const auto found = DetectGameBesideProgram(*w.fs, program);
        ASSERT_EQ(found.has_value(), c.dir != nullptr) << c.file;
        if (!found) continue;
        EXPECT_EQ(path::withTrailingSeparator(found->dir), path::withTrailingSeparator(w.root / c.dir)) << c.file;
        EXPECT_EQ(found->kind, c.kind) << c.file;
    }
}

TEST(FindInstalledGame, FolderValueThenOpenCommandThenDefaultFolder) {
    World w;
    w.text(RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder", "D:\\Games\\UT2004");
    w.text(RegRoot::ClassesRoot, "\\UT2003.Map\\Shell\\open\\command", "", "D:\\Games\\UT2003\\System\\UT2003.exe %1");
    const std::string drive = w.root.mkdir("drive_c") + "/";
    w.root.write("drive_c/UnrealTournament/System/UnrealTournament.exe", "exe");
    const DiscoverySources from = w.sources("/nowhere/quillmere", drive);
    EXPECT_EQ(FindInstalledGame(from, gkUT2004).value_or("-"), "D:\\Games\\UT2004");
    EXPECT_EQ(FindInstalledGame(from, gkUT2003).value_or("-"), "D:\\Games\\UT2003\\");
    EXPECT_EQ(FindInstalledGame(from, gkUT).value_or("-"), drive + "UnrealTournament");
    EXPECT_FALSE(FindInstalledGame(w.sources("/nowhere/quillmere"), gkUT));
    EXPECT_FALSE(FindInstalledGame(from, gkUnreal));
}

TEST(DiscoverGame, AsksAboutEachRecordedGameInOrder) {
    World w;
    w.text(RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder", "D:\\UT2004");
    w.text(RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "Folder", "D:\\UT2003");
    w.dialogs.answers = {DlgButton::No, DlgButton::Yes};
    const GameFolder game = DiscoverGame(w.sources(w.root / "Elsewhere/quillmere"));
    EXPECT_EQ(w.dialogs.texts(),
              (std::vector<std::string>{
                  "Found UT2004 in D:\\UT2004.  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?",
                  "Found UT2003 in D:\\UT2003.  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?"}));
    EXPECT_EQ(game.kind, gkUT2003);
    EXPECT_EQ(game.dir, path::withTrailingSeparator("D:\\UT2003"));
}

TEST(ModFolders, TheGameFirstThenPlainFoldersWithMaps) {
    World w;
    w.root.mkdir("Game/Maps");
    w.root.mkdir("Game/ModA/Maps");
    w.root.mkdir("Game/NoMaps/Textures");
    w.root.mkdir("Game/.Hidden/Maps");
    w.root.mkdir("Game/OwnCache/Maps");
    w.root.write("Game/OwnCache/Cache/cache.ini", "[Cache]\r\n");
    const GameFolder game{w.root / "Game/", gkUT2004};
    std::vector<ModFolder> mods = ListModFolders(*w.fs, game);
    ASSERT_GE(mods.size(), 1u);
    EXPECT_EQ(mods[0].name, "UT2004 (default)");
    EXPECT_EQ(mods[0].path, game.dir);
    std::sort(mods.begin() + 1, mods.end(), [](const ModFolder& a, const ModFolder& b) { return a.name < b.name; });
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(mods[1].name, "ModA");
    EXPECT_EQ(mods[1].path, game.dir + "ModA/");
    EXPECT_EQ(mods[2].name, "OwnCache");
    EXPECT_EQ(CacheFolderOf(*w.fs, game, game.dir), game.dir + "Cache/");
    EXPECT_EQ(CacheFolderOf(*w.fs, game, mods[1].path), game.dir + "Cache/");
    EXPECT_EQ(CacheFolderOf(*w.fs, game, mods[2].path), mods[2].path + "Cache/");
}

}  // namespace
}  // namespace qm::test
