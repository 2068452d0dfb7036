// Options in the registry, run-version tracking, the program's version and
// the system's description, over a real registry store in a temp folder.
#include <QAction>
#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/uVersion.h"
#include "core/texts.h"
#include "core/version.h"
#include "core/weblinks.h"
#include "support/form_access.h"
#include "support/game_fixture.h"
#include "support/http_server.h"

namespace qm::test {
namespace {

const std::string kGlobal = "SOFTWARE\\Harthollow\\Quillmere";
const std::string kGame = kGlobal + "\\UT2004";

// Puts a copy of the real program where the fixture's program path points,
// so that the running version is the one the build gave the program.
void installProgram(GameFixture& g) {
    std::filesystem::copy_file(QM_PROGRAM_FILE, g.services.executablePath);
}

std::unique_ptr<RegKey> openKey(GameFixture& g, const std::string& path) {
    return g.registry->openForReading(RegRoot::LocalMachine, path, RegAccess::Read);
}

void setInteger(GameFixture& g, const std::string& path, const std::string& name, int32_t v) {
    g.registry->openOrCreate(RegRoot::LocalMachine, path)->writeInteger(name, v);
}

void setText(GameFixture& g, const std::string& path, const std::string& name, const std::string& v) {
    g.registry->openOrCreate(RegRoot::LocalMachine, path)->writeString(name, v);
}

// A stored integer, or nullopt when the key or the value is missing.
std::optional<int32_t> storedInteger(GameFixture& g, const std::string& path, const std::string& name) {
    auto key = openKey(g, path);
    if (!key || !key->valueExists(name)) return std::nullopt;
    return key->readInteger(name);
}

std::optional<std::string> storedText(GameFixture& g, const std::string& path, const std::string& name) {
    auto key = openKey(g, path);
    if (!key || !key->valueExists(name)) return std::nullopt;
    return key->readString(name);
}

std::vector<ShownDialog> dialogsOf(const GameFixture& g, const std::string& what) {
    std::vector<ShownDialog> out;
    for (const ShownDialog& d : g.dialogs.shown)
        if (d.what == what) out.push_back(d);
    return out;
}

// Runs the shut-down sequence.
void exitProgram(GameFixture& g) { g.form.reset(); }

TEST(Settings, FirstStartWithoutKeysAsksAndSavesAtExit) {
    struct Case {
        DlgButton answer;
        bool autoCheck;
    } cases[] = {{DlgButton::Yes, true}, {DlgButton::No, false}, {DlgButton::None, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(buttonCaption(c.answer) ? buttonCaption(c.answer) : "closed");
        GameFixture g;
        installProgram(g);
        g.dialogs.answers = {c.answer};
        TFormMain& form = g.start();

        ASSERT_FALSE(g.dialogs.shown.empty());
        const ShownDialog& q = g.dialogs.shown.front();
        EXPECT_EQ(q.what, "message");
        EXPECT_EQ(q.kind, DlgKind::Confirmation);
        EXPECT_EQ(q.text, "Do you wish to periodically check for updates automatically?");
        EXPECT_EQ(q.buttons, (DlgButtons{DlgButton::Yes, DlgButton::No}));
        EXPECT_TRUE(dialogsOf(g, "failure").empty());
        EXPECT_TRUE(dialogsOf(g, "plain").empty());  // nothing stored: not a new version
        EXPECT_EQ(ui(form).miAutoCheckUpdate->isChecked(), c.autoCheck);
        EXPECT_FALSE(ui(form).FAskDoUCCExportCache);  // neither key existed
        EXPECT_EQ(ui(form).FGameName, "UT2004");

        // The run version is written at start, the options only at exit.
        EXPECT_EQ(storedText(g, kGlobal, "LastRunVersion"), "2.1.0.65");
        EXPECT_EQ(storedInteger(g, kGlobal, "FirstRun"), std::nullopt);
        EXPECT_EQ(openKey(g, kGame), nullptr);

        QCoreApplication::processEvents();
        EXPECT_TRUE(g.shell.opened.empty());

        exitProgram(g);
        EXPECT_EQ(storedInteger(g, kGlobal, "AutoUpdateCheck"), c.autoCheck ? 1 : 0);
        EXPECT_EQ(storedInteger(g, kGlobal, "FirstRun"), 0);
        EXPECT_EQ(storedInteger(g, kGlobal, "ShowAllMessages"), 0);
        // The global mutator values are read but never written.
        EXPECT_EQ(storedInteger(g, kGlobal, "AskDoUCCExportCache"), std::nullopt);
        EXPECT_EQ(storedInteger(g, kGlobal, "DoUCCExportCache"), std::nullopt);
        EXPECT_EQ(storedInteger(g, kGame, "DoUCCExportCache"), 0);
        EXPECT_EQ(storedInteger(g, kGame, "AskDoUCCExportCache"), 0);
        EXPECT_EQ(storedText(g, kGlobal, "LastRunVersion"), "2.1.0.65");
    }
}

TEST(Settings, StoredVersionDecidesTheDonationMessage) {
    struct Case {
        std::string stored;
        bool isNew;
    } cases[] = {
        {"2.0.0.1", true},   // older
        {"1.9.9.9", true},
        {"3.0.0.0", true},   // newer, but its minor number is lower
        {"2.0", true},
        {"2.1.0.65", false},  // the same
        {"2.1.0.64", false},  // only the build differs
        {"2.1.0.66", false},
        {"2.1", false},
        {"0.0.0.0", false},  // nothing stored
        {"", false},
        {"   ", false},
        {"x.y", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("stored \"" + c.stored + "\"");
        GameFixture g;
        installProgram(g);
        setInteger(g, kGlobal, "FirstRun", 0);
        setText(g, kGlobal, "LastRunVersion", c.stored);
        g.start();

        const auto plain = dialogsOf(g, "plain");
        EXPECT_TRUE(dialogsOf(g, "failure").empty());
        EXPECT_TRUE(dialogsOf(g, "message").empty());  // FirstRun = 0: no question
        // The page is not opened inside the start-up sequence.
        EXPECT_TRUE(g.shell.opened.empty());
        if (c.isNew) {
            ASSERT_EQ(plain.size(), 1u);
            EXPECT_EQ(plain[0].title, "Quillmere");
            EXPECT_EQ(plain[0].text, texts::kDonation);
            EXPECT_EQ(plain[0].buttons, DlgButtons{DlgButton::OK});
        } else {
            EXPECT_TRUE(plain.empty());
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(g.shell.opened, c.isNew ? std::vector<std::string>{links::webLinks(g.services.serverOverride).donate} : std::vector<std::string>{});
        EXPECT_EQ(storedText(g, kGlobal, "LastRunVersion"), "2.1.0.65");
    }
}

TEST(Settings, DonationTextIsTheProgramsOwn) {
    EXPECT_EQ(std::string(texts::kDonation),
              "It looks like you have just installed or updated to a new version of the Quillmere.\n\n"
              "I have put countless hours into programming software.  This takes up a considerable amount of my "
              "free time.  None of the Freeware or Shareware I have created to date contains any time use "
              "limitations, no functionality limitations, and no annoying popups. This is the one place where I "
              "ask for your support.\n\n"
              "Please consider making a donation.  If you choose not to, this version of the application is still "
              "free to use and I hope you find it useful.  If you change your mind at a later date, you can donate "
              "by using the link on the Help menu. Thank you.");
}

TEST(Settings, WrongTypedValueEndsTheSequenceAtItsStep) {
    enum Reached { Step5, Step8, Step13 };
    struct Case {
        std::string key, name;
        bool asText;  // else as a number where text belongs
        Reached step;
    } cases[] = {
        {kGlobal, "FirstRun", true, Step5},
        {kGlobal, "AskDoUCCExportCache", true, Step5},
        {kGlobal, "AutoUpdateCheck", true, Step5},
        {kGlobal, "ShowAllMessages", true, Step5},
        {kGlobal, "DoUCCExportCache", true, Step5},
        {kGlobal, "LastRunVersion", false, Step8},
        {kGame, "AskDoUCCExportCache", true, Step13},
        {kGame, "DoUCCExportCache", true, Step13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + " " + c.name);
        GameFixture g;
        installProgram(g);
        g.addCacheEntry("K1", "DM-Foo.ut2");
        if (c.name != "FirstRun") setInteger(g, kGlobal, "FirstRun", 0);
        if (c.name != "LastRunVersion") setText(g, kGlobal, "LastRunVersion", "1.0.0.0");
        if (c.asText)
            setText(g, c.key, c.name, "1");
        else
            setInteger(g, c.key, c.name, 2);
        TFormMain& form = g.start();

        const auto failures = dialogsOf(g, "failure");
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].title, "Quillmere");
        EXPECT_EQ(failures[0].text, "Invalid data type for '" + c.name + "'");
        EXPECT_TRUE(dialogsOf(g, "message").empty());  // no first-run question after a failed load
        // Later steps did not run.
        if (c.step == Step8)
            EXPECT_EQ(storedInteger(g, kGlobal, "LastRunVersion"), 2);
        else
            EXPECT_EQ(storedText(g, kGlobal, "LastRunVersion"), c.step == Step5 ? "1.0.0.0" : "2.1.0.65");
        EXPECT_EQ(ui(form).FGameName.empty(), c.step != Step13);
        EXPECT_EQ(form.statusText(), "");
        EXPECT_EQ(ui(form).ListBoxCache->count(), 0);
        // The window still runs, and its exit still saves.
        exitProgram(g);
        EXPECT_EQ(storedInteger(g, kGlobal, "FirstRun"), 0);
    }
}

TEST(Settings, GameKeyMissingTakesTheGlobalMutatorFlag) {
    struct Case {
        std::optional<int32_t> globalAsk;
        bool ask;
    } cases[] = {{std::nullopt, true}, {0, false}, {1, true}, {7, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.globalAsk ? std::to_string(*c.globalAsk) : "missing");
        GameFixture g;
        installProgram(g);
        setInteger(g, kGlobal, "FirstRun", 0);
        setInteger(g, kGlobal, "DoUCCExportCache", 1);
        if (c.globalAsk) setInteger(g, kGlobal, "AskDoUCCExportCache", *c.globalAsk);
        TFormMain& form = g.start();
        EXPECT_TRUE(dialogsOf(g, "failure").empty());
        EXPECT_EQ(ui(form).FAskDoUCCExportCache, c.ask);
        // The per-game load unchecks the option whatever the global key holds.
        EXPECT_FALSE(ui(form).miDoUCCExportCache->isChecked());
        exitProgram(g);
        EXPECT_EQ(storedInteger(g, kGame, "AskDoUCCExportCache"), c.ask ? 1 : 0);
        EXPECT_EQ(storedInteger(g, kGame, "DoUCCExportCache"), 0);
    }
}

TEST(Settings, GameKeyOverridesTheGlobalValues) {
    struct Case {
        std::optional<int32_t> gameAsk, gameDo;
        bool ask, checked;
    } cases[] = {
        {std::nullopt, std::nullopt, true, false},  // the key exists: a missing flag is true
        {0, 1, false, true},
        {1, 0, true, false},
    };
    for (const auto& c : cases) {
        GameFixture g;
        installProgram(g);
        setInteger(g, kGlobal, "FirstRun", 0);
        setInteger(g, kGlobal, "AskDoUCCExportCache", 0);
        g.registry->openOrCreate(RegRoot::LocalMachine, kGame);
        if (c.gameAsk) setInteger(g, kGame, "AskDoUCCExportCache", *c.gameAsk);
        if (c.gameDo) setInteger(g, kGame, "DoUCCExportCache", *c.gameDo);
        TFormMain& form = g.start();
        EXPECT_EQ(ui(form).FAskDoUCCExportCache, c.ask);
        EXPECT_EQ(ui(form).miDoUCCExportCache->isChecked(), c.checked);
    }
}

TEST(Settings, SecondStartReadsBackWhatTheFirstSaved) {
    GameFixture g;
    installProgram(g);
    g.dialogs.answers = {DlgButton::No};
    TFormMain& first = g.start();
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    ui(first).miShowAllMessages->trigger();
    first.miAutoCheckUpdateClick();
    ui(first).miDoUCCExportCache->trigger();
    ui(first).FAskDoUCCExportCache = false;
    exitProgram(g);

    // The automatic update check now runs at start-up: a server that
    // publishes the running version makes it say nothing.
    TestHttpServer server;
    server.routes["/pad/quillmere.xml"] = TestHttpServer::Response(200, "OK", padDocument("2.1.0"));
    g.services.serverOverride = server.base();
    g.dialogs.shown.clear();
    TFormMain& second = g.start();
    EXPECT_EQ(server.requests, std::vector<std::string>{"/pad/quillmere.xml"});
    EXPECT_TRUE(g.dialogs.shown.empty());  // no question, no donation, no failure, no update message
    EXPECT_FALSE(ui(second).FFirstRun);
    EXPECT_TRUE(ui(second).miShowAllMessages->isChecked());
    EXPECT_TRUE(ui(second).miAutoCheckUpdate->isChecked());
    EXPECT_TRUE(ui(second).miDoUCCExportCache->isChecked());
    EXPECT_FALSE(ui(second).FAskDoUCCExportCache);

    // And the other way round on the third start.
    ui(second).miShowAllMessages->trigger();
    second.miAutoCheckUpdateClick();
    ui(second).miDoUCCExportCache->trigger();
    ui(second).FAskDoUCCExportCache = true;
    exitProgram(g);
    TFormMain& third = g.start();
    EXPECT_FALSE(ui(third).miShowAllMessages->isChecked());
    EXPECT_FALSE(ui(third).miAutoCheckUpdate->isChecked());
    EXPECT_FALSE(ui(third).miDoUCCExportCache->isChecked());
    EXPECT_TRUE(ui(third).FAskDoUCCExportCache);
}

// ---- the program's version ----

struct FileVersion {
    bool ok = false;
    int32_t major = -1, minor = -1, release = -1, build = -1;
    std::string special = "untouched";
};

FileVersion fileVersionOf(const std::string& path) {
    FileVersion v;
    v.ok = GetFileVersion(path, v.major, v.minor, v.release, v.build, v.special);
    return v;
}

TEST(ProgramVersion, TheRealProgramCarriesItsVersionResource) {
    const FileVersion v = fileVersionOf(QM_PROGRAM_FILE);
    EXPECT_TRUE(v.ok);
    EXPECT_EQ(version::formatVersion({v.major, v.minor, v.release, v.build}), "2.1.0.65");
    EXPECT_EQ(v.special, "");
    const std::pair<const char*, const char*> values[] = {
        {"FileVersion", "2.1.0.65"}, {"ProductVersion", "1.0.0.0"}, {"CompanyName", "Harthollow"},
        {"InternalName", "Quillmere"}, {"ProductName", "Quillmere"}, {"LegalCopyright", ""},
        {"NoSuchValue", ""},
    };
    for (const auto& [name, text] : values) EXPECT_EQ(GetVersionInfoValue(QM_PROGRAM_FILE, name), text) << name;

    const auto resource = platform::readVersionResource(QM_PROGRAM_FILE);
    ASSERT_TRUE(resource && resource->fixed);
    EXPECT_EQ(resource->fixed->fileVersion, (version::Numbers{2, 1, 0, 65}));
    EXPECT_EQ(resource->fixed->productVersion, (version::Numbers{2, 1, 0, 65}));
    EXPECT_EQ(resource->fixed->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(resource->fixed->fileFlags, 0u);
    EXPECT_EQ(resource->translations, (std::vector<std::pair<uint16_t, uint16_t>>{{0x0409, 1252}}));
}

TEST(ProgramVersion, FilesWithoutOrWithOtherResources) {
    TempDir dir;
    version::Resource flagged;
    flagged.fixed = version::FixedInfo{{9, 9, 9, 9}, {9, 9, 9, 9}, 0x3F, 0x3, 0x4, 0x1};
    flagged.translations = {{0x0409, 0x04E4}};
    flagged.strings = {{"040904E4", "FileVersion", "1.2.3"}};
    version::Resource untranslated = flagged;
    untranslated.translations.clear();
    untranslated.fixed->fileFlags = 0x28;
    version::Resource noFixed = flagged;
    noFixed.fixed.reset();

    struct Case {
        const char* what;
        std::string path;
        FileVersion expected;
    } cases[] = {
        {"missing file", dir / "none.exe", {false, 0, 0, 0, 0, ""}},
        {"no resource", dir.write("plain.exe", "MZ nothing here"), {false, 0, 0, 0, 0, ""}},
        {"this test program", QCoreApplication::applicationFilePath().toStdString(), {false, 0, 0, 0, 0, ""}},
        {"flags and text", dir.write("a.exe", "head" + version::writeBlock(flagged) + "tail"),
         {true, 1, 2, 0, 3, "Pre-Release"}},
        {"no translation table", dir.write("b.exe", version::writeBlock(untranslated)),
         {true, 0, 0, 0, 0, "Private Build"}},
        {"no fixed part", dir.write("c.exe", version::writeBlock(noFixed)), {false, 1, 2, 0, 3, ""}},
        {"a folder", dir.mkdir("folder.exe"), {false, 0, 0, 0, 0, ""}},
    };
    for (const auto& c : cases) {
        const FileVersion v = fileVersionOf(c.path);
        EXPECT_EQ(v.ok, c.expected.ok) << c.what;
        EXPECT_EQ(version::formatVersion({v.major, v.minor, v.release, v.build}),
                  version::formatVersion({c.expected.major, c.expected.minor, c.expected.release, c.expected.build}))
            << c.what;
        EXPECT_EQ(v.special, c.expected.special) << c.what;
    }
    EXPECT_EQ(GetVersionInfoValue(dir / "plain.exe", "FileVersion"), "0.0.0.0");
    EXPECT_EQ(GetVersionInfoValue(dir / "b.exe", "FileVersion"), "");
}

// ---- the system ----

TEST(SystemInfo, NamesByPlatform) {
    TempDir dir;
    auto registry = platform::makeRegistry(dir / "reg.reg");
    auto withKeys = platform::makeRegistry(dir / "keys.reg");
    {
        auto nt = withKeys->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
        nt->writeString("ProductName", "Windows XP");
        nt->writeString("CSDVersion", "Service Pack 2");
        auto w9x = withKeys->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
        w9x->writeString("ProductName", "Microsoft Windows 98");
    }
    platform::SystemVersion posix;
    posix.platformId = platform::kPosixPlatformId;
    posix.major = 6;
    posix.minor = 1;
    posix.build = 7;
    posix.name = "Debian GNU/Linux 12 (bookworm)";
    posix.release = "6.1.7-amd64";

    struct Case {
        const char* what;
        uint32_t platformId;
        Registry* reg;
        std::string name, servicePack;
    } cases[] = {
        {"Win32s", 0, withKeys.get(), " Windows 3.x", ""},
        {"9x without key", 1, registry.get(), " Windows 9x class", ""},
        {"9x with key", 1, withKeys.get(), "Microsoft Windows 98", ""},
        {"NT without key", 2, registry.get(), " Windows NT class", "before"},
        {"NT with key", 2, withKeys.get(), "Windows XP", "Service Pack 2"},
        {"unknown id", 7, withKeys.get(), "before", "before"},
    };
    for (const auto& c : cases) {
        platform::SystemVersion v;
        v.platformId = c.platformId;
        v.major = 5;
        v.minor = 1;
        v.build = 0x0A280A28;  // the low 16 bits are 2600
        std::string name = "before", sp = "before";
        int32_t major = -1, minor = -1, build = -1;
        EXPECT_TRUE(GetOSInfoFrom(v, *c.reg, name, major, minor, build, sp)) << c.what;
        EXPECT_EQ(name, c.name) << c.what;
        EXPECT_EQ(sp, c.servicePack) << c.what;
        EXPECT_EQ(major, 5) << c.what;
        EXPECT_EQ(minor, 1) << c.what;
        EXPECT_EQ(build, 2600) << c.what;
    }

    std::string name = "before", sp = "before";
    int32_t major = -1, minor = -1, build = -1;
    EXPECT_TRUE(GetOSInfoFrom(posix, *registry, name, major, minor, build, sp));
    EXPECT_EQ(name, posix.name);
    EXPECT_EQ(sp, "6.1.7-amd64");
    EXPECT_EQ(build, 7);

    name = sp = "before";
    EXPECT_FALSE(GetOSInfoFrom(std::nullopt, *registry, name, major, minor, build, sp));
    EXPECT_EQ(major, 0);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(build, 0);
    EXPECT_EQ(name, "before");
    EXPECT_EQ(sp, "before");
}

TEST(SystemInfo, WrongTypedNameRaisesTheRegistryError) {
    TempDir dir;
    auto registry = platform::makeRegistry(dir / "reg.reg");
    registry->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")
        ->writeInteger("ProductName", 1);
    platform::SystemVersion v;
    v.platformId = 2;
    std::string name, sp;
    int32_t major = 0, minor = 0, build = 0;
    try {
        GetOSInfoFrom(v, *registry, name, major, minor, build, sp);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'ProductName'");
    }
}

TEST(SystemInfo, ThisSystemDescribesItself) {
    TempDir dir;
    auto registry = platform::makeRegistry(dir / "reg.reg");
    std::string name, sp;
    int32_t major = 0, minor = 0, build = 0;
    ASSERT_TRUE(GetOSInfo(*registry, name, major, minor, build, sp));
    EXPECT_FALSE(name.empty());
    EXPECT_FALSE(sp.empty());
    EXPECT_GT(major, 0);
}

}  // namespace
}  // namespace qm::test
