// Finding the game: beside the program, through the registry store, at the
// default folders, or by asking; the mod list and the two roots.
#include <QComboBox>
#include <algorithm>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "core/registry.h"
#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

const std::string kSep(1, path::kSeparator);

// Dialog texts of one kind of dialog, without the first-run question.
std::vector<std::string> asked(const ScriptedDialogs& d) {
    std::vector<std::string> out;
    for (const auto& s : d.shown)
        if (s.text != "Do you wish to periodically check for updates automatically?" && s.what != "plain")
            out.push_back(s.what == "browse" ? "browse: " + s.title : s.text);
    return out;
}

void setRegistryText(Registry& reg, RegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) {
    auto k = reg.openOrCreate(root, key);
    ASSERT_TRUE(k);
    k->writeString(name, value);
}

// These tests answer the discovery questions only: the first-run question
// is settled in the store beforehand.
void settleFirstRun(GameFixture& g) {
    auto k = g.registry->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere");
    ASSERT_TRUE(k);
    k->writeInteger("FirstRun", 0);
}

struct Beside {
    const char* what;
    std::vector<std::string> files;  // relative to the program's folder P
    std::string gameDir;             // relative to the temp root, "" = P itself
    TGameKind kind;
};

TEST(Discovery, BesideTheProgram) {
    const Beside cases[] = {
        {"System/UT2004.exe below", {"system/UT2004.exe"}, "P", gkUT2004},
        {"demo below", {"System/ut2004demo.exe"}, "P", gkUT2004},
        {"UT2004.exe beside", {"UT2004.exe"}, "", gkUT2004},
        {"UT2003 beside", {"UT2003.exe"}, "", gkUT2003},
        {"UT below", {"System/UnrealTournament.exe"}, "P", gkUT},
        {"later rows win", {"UT2004.exe", "UT2003.exe", "UnrealTournament.exe"}, "", gkUT},
        {"UT2003 over UT2004", {"System/UT2004.exe", "UT2003.exe"}, "", gkUT2003},
    };
    for (const auto& c : cases) {
        GameFixture g;
        const std::string p = g.root.mkdir("Games/UT/P") + kSep;
        for (const std::string& f : c.files) g.root.write("Games/UT/P/" + f, "exe");
        g.services.executablePath = p + "quillmere";
        TFormMain& form = g.start();
        const std::string expected = std::string(c.gameDir) == "P" ? p : g.root.path() + "Games" + kSep + "UT" + kSep;
        EXPECT_EQ(ui(form).FGameDir, expected) << c.what;
        EXPECT_EQ(ui(form).FGameKind, c.kind) << c.what;
        EXPECT_EQ(ui(form).FGameName, gameName(c.kind)) << c.what;
        EXPECT_EQ(asked(g.dialogs), std::vector<std::string>{}) << c.what;
    }
}

TEST(Discovery, RegistryQuestionsInOrder) {
    GameFixture g;
    g.services.executablePath = g.root.mkdir("Elsewhere") + kSep + "quillmere";
    setRegistryText(*g.registry, RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004",
                    "Folder", "D:\\Games\\UT2004");
    setRegistryText(*g.registry, RegRoot::ClassesRoot, "\\UT2003.Map\\Shell\\open\\command", "",
                    "\"D:\\Games\\UT2003\\System\\UT2003.exe\" %1");
    setRegistryText(*g.registry, RegRoot::ClassesRoot, "\\Unreal.Map\\Shell\\open\\command", "", "UnrealTournament.exe %1");
    settleFirstRun(g);
    g.dialogs.answers = {DlgButton::No, DlgButton::No, DlgButton::Yes};
    TFormMain& form = g.start();
    const std::string tail = ".  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?";
    // A command without a backslash gives an empty folder: Yes keeps FGameDir
    // empty, so the search goes on to the warning and the browse dialog.
    EXPECT_EQ(asked(g.dialogs), (std::vector<std::string>{"Found UT2004 in D:\\Games\\UT2004" + tail,
                                                          "Found UT2003 in D:\\Games\\UT2003\\" + tail,
                                                          "Found UT in " + tail,
                                                          "Can't Find a UT, UT2003 or UT2004 folder.",
                                                          "browse: Select Your UT, UT2003, OR UT2004 Folder"}));
    EXPECT_EQ(ui(form).FGameKind, gkUT);
}

TEST(Discovery, RegistryFolderAccepted) {
    GameFixture g;
    g.services.executablePath = g.root.mkdir("Elsewhere") + kSep + "quillmere";
    setRegistryText(*g.registry, RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003",
                    "Folder", g.gameDir + "..");
    settleFirstRun(g);
    g.dialogs.answers = {DlgButton::Yes};
    TFormMain& form = g.start();
    EXPECT_EQ(ui(form).FGameDir, g.gameDir + ".." + kSep);
    EXPECT_EQ(ui(form).FGameKind, gkUT2003);
    EXPECT_EQ(ui(form).FGameName, "UT2003");
}

TEST(Discovery, DefaultFoldersOnTheSystemDrive) {
    GameFixture g;
    g.services.executablePath = g.root.mkdir("Elsewhere") + kSep + "quillmere";
    g.services.systemDriveRoot = g.root.mkdir("drive_c") + kSep;
    g.root.write("drive_c/UT2004/System/UT2004.exe", "exe");
    settleFirstRun(g);
    g.dialogs.answers = {DlgButton::No, DlgButton::Yes};
    TFormMain& form = g.start();
    const std::string exe = g.services.systemDriveRoot + "UT2004" + kSep + "system" + kSep;
    const std::string tail = ".  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?";
    // Declining the lookup by kind still leads to the fixed folder's question.
    EXPECT_EQ(asked(g.dialogs), (std::vector<std::string>{
                                    "Found UT2004 in " + g.services.systemDriveRoot + "UT2004" + tail,
                                    "Found UT2004 in " + exe + "ut2004.exe" + tail}));
    EXPECT_EQ(ui(form).FGameDir, g.services.systemDriveRoot + "UT2004" + kSep);
    EXPECT_EQ(ui(form).FGameKind, gkUT2004);
}

TEST(Discovery, BrowseDialog) {
    struct Case {
        const char* what;
        std::optional<std::string> chosen;  // relative to the temp root
        std::vector<std::string> files;
        TGameKind kind;
        bool warned;
    } cases[] = {
        {"a UT2004 folder", "Chosen", {"Chosen/System/UT2004.exe"}, gkUT2004, false},
        {"a UT folder", "Chosen", {"Chosen/system/unrealtournament.exe"}, gkUT, false},
        {"not a game", "Chosen", {"Chosen/readme.txt"}, gkUT2003, true},
        {"cancelled", std::nullopt, {}, gkUT2003, false},
    };
    for (const auto& c : cases) {
        GameFixture g;
        g.services.executablePath = g.root.mkdir("Elsewhere") + kSep + "quillmere";
        g.services.systemDriveRoot = g.root.mkdir("drive_c") + kSep;
        for (const std::string& f : c.files) g.root.write(f, "exe");
        if (c.chosen) g.dialogs.folders = {g.root.path() + *c.chosen + kSep};
        TFormMain& form = g.start();
        std::vector<std::string> expected = {"Can't Find a UT, UT2003 or UT2004 folder.",
                                             "browse: Select Your UT, UT2003, OR UT2004 Folder"};
        if (c.warned) expected.push_back("That does not appear to be a valid UT/UT2003/UT2004 folder");
        EXPECT_EQ(asked(g.dialogs), expected) << c.what;
        EXPECT_EQ(ui(form).FGameDir, c.chosen ? g.root.path() + *c.chosen + kSep
                                          : g.services.systemDriveRoot + "UT2004" + kSep)
            << c.what;
        EXPECT_EQ(ui(form).FGameKind, c.kind) << c.what;
        EXPECT_EQ(ui(form).FGameName, gameName(c.kind)) << c.what;
    }
}

// Claims extra files exist, for a program folder that is a drive root.
class WithFiles : public FileSystem {
public:
    WithFiles(FileSystem& real, std::vector<std::string> extra) : real_(real), extra_(std::move(extra)) {}
    std::vector<DirEntry> list(const std::string& f, const std::string& p) override { return real_.list(f, p); }
    std::optional<DirEntry> findFirstFile(const std::string& f, const std::string& l, const std::string& w) override {
        return real_.findFirstFile(f, l, w);
    }
    bool fileExists(const std::string& p) override {
        for (const auto& e : extra_)
            if (e == p) return true;
        return real_.fileExists(p);
    }
    bool folderExists(const std::string& p) override { return real_.folderExists(p); }
    std::optional<std::string> realPath(const std::string& p) override { return real_.realPath(p); }
    Status moveFile(const std::string& a, const std::string& b) override { return real_.moveFile(a, b); }
    Status copyFile(const std::string& a, const std::string& b) override { return real_.copyFile(a, b); }
    Status deleteFile(const std::string& p) override { return real_.deleteFile(p); }
    Status writeFile(const std::string& p, const std::string& d) override { return real_.writeFile(p, d); }

private:
    FileSystem& real_;
    std::vector<std::string> extra_;
};

TEST(Discovery, CancelledBrowseWithoutASystemDriveUsesTheRoot) {
    GameFixture g;
    g.services.executablePath = g.root.mkdir("Elsewhere") + kSep + "quillmere";
    TFormMain& form = g.start();
    EXPECT_EQ(ui(form).FGameDir, kSep + "UT2004" + kSep);
    EXPECT_EQ(ui(form).FGameName, "UT2003");
}

TEST(Discovery, ProgramInADriveRootDetectsAnEmptyFolder) {
    GameFixture g;
    WithFiles fs(*g.realFs, {kSep + "UT2004.exe"});
    g.useFileSystem(&fs);
    g.services.executablePath = kSep + "quillmere";
    setRegistryText(*g.registry, RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004",
                    "Folder", "D:\\Games\\UT2004");
    g.dialogs.folders = {g.gameDir};
    TFormMain& form = g.start();
    // Detection succeeded with an empty folder: no registry question, straight to browsing.
    EXPECT_EQ(asked(g.dialogs), std::vector<std::string>{"browse: Select Your UT, UT2003, OR UT2004 Folder"});
    EXPECT_EQ(ui(form).FGameDir, g.gameDir);
}

TEST(ModList, OffersPlainFoldersWithMaps) {
    GameFixture g;
    g.addMod("GoodMod");
    g.addMod("OtherMod");
    g.root.mkdir("Game/NoMaps/Textures");
    g.root.mkdir("Game/.HiddenMod/Maps");
    const std::string ro = g.addMod("ReadOnlyMod");
    ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
    g.root.write("Game/Maps.txt");
    TFormMain& form = g.start();
    std::vector<std::string> captions;
    for (int i = 0; i < ui(form).cmbMod->count(); ++i) captions.push_back(ui(form).cmbMod->itemText(i).toStdString());
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions[0], "UT2004 (default)");
    std::sort(captions.begin() + 1, captions.end());
    EXPECT_EQ(captions, (std::vector<std::string>{"UT2004 (default)", "GoodMod", "OtherMod"}));
    EXPECT_EQ(ui(form).cmbMod->currentIndex(), 0);
    chmod(ro.c_str(), 0755);
}

TEST(ModList, ContentRootAndCacheFolder) {
    GameFixture g;
    const std::string plain = g.addMod("PlainMod", {"Cache"});
    const std::string own = g.addMod("OwnCache", {"Cache"});
    g.root.write("Game/OwnCache/Cache/cache.ini", "[Cache]\r\n");
    TFormMain& form = g.start();
    const std::string gameCache = g.gameDir + "Cache" + kSep;
    EXPECT_EQ(form.ContentRoot(), g.gameDir);
    EXPECT_EQ(form.CacheFolder(), gameCache);
    for (int i = 1; i < ui(form).cmbMod->count(); ++i) {
        ui(form).cmbMod->setCurrentIndex(i);
        const std::string mod = ui(form).cmbMod->itemText(i).toStdString();
        EXPECT_EQ(form.ContentRoot(), mod == "PlainMod" ? plain : own) << mod;
        // A mod's cache counts only when it holds an index file.
        EXPECT_EQ(form.CacheFolder(), mod == "PlainMod" ? gameCache : own + "Cache" + kSep) << mod;
    }
}

}  // namespace
}  // namespace qm::test
