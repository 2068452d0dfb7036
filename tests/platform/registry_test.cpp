#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

const char* const kGlobal = "SOFTWARE\\Harthollow\\Quillmere";

// The text of the qm::Error that `action` raises, "" when it raises none.
template <typename F>
std::string errorOf(F&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(RegistryStore, EveryTypeSurvivesARoundTripThroughTheFile) {
    test::TempDir dir;
    const std::string store = dir / "config/quillmere/registry.reg";  // folders do not exist yet
    {
        auto reg = platform::makeRegistry(store);
        auto key = reg->openOrCreate(RegRoot::LocalMachine, kGlobal);
        ASSERT_TRUE(key);
        key->writeInteger("FirstRun", 0);
        key->writeInteger("Big", INT32_MAX);
        key->writeInteger("Negative", -1);
        key->writeInteger("Lowest", INT32_MIN);
        key->writeString("LastRunVersion", "2.1.0.65");
        key->writeString("", "the default");
        key->writeString("Quotes", "C:\\Games\\\"UT2004\"\\");
        key->writeString("Lines", "one\r\ntwo\tthree");
        key->writeString("Accents", "Caf\xC3\xA9 \xF0\x9F\x8E\xAE");
        key->writeString("Empty", "");
    }
    auto key = platform::makeRegistry(store)->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("FirstRun"), 0);
    EXPECT_EQ(key->readInteger("Big"), INT32_MAX);
    EXPECT_EQ(key->readInteger("Negative"), -1);
    EXPECT_EQ(key->readInteger("Lowest"), INT32_MIN);
    EXPECT_EQ(key->readString("LastRunVersion"), "2.1.0.65");
    EXPECT_EQ(key->readString(""), "the default");
    EXPECT_EQ(key->readString("Quotes"), "C:\\Games\\\"UT2004\"\\");
    EXPECT_EQ(key->readString("Lines"), "one\r\ntwo\tthree");
    EXPECT_EQ(key->readString("Accents"), "Caf\xC3\xA9 \xF0\x9F\x8E\xAE");
    EXPECT_TRUE(key->valueExists("Empty"));
    EXPECT_EQ(key->readString("Empty"), "");

    // The file is the .reg text a user can read.
    const std::string text = test::readFile(store);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    for (const char* line : {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Harthollow\\Quillmere]\n", "\"FirstRun\"=dword:00000000\n",
                             "\"Negative\"=dword:ffffffff\n", "\"LastRunVersion\"=\"2.1.0.65\"\n", "@=\"the default\"\n",
                             "\"Quotes\"=\"C:\\\\Games\\\\\\\"UT2004\\\"\\\\\"\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(RegistryStore, ReadsWhatRegeditWrites) {
    test::TempDir dir;
    const std::string store = dir.write("r.reg",
                                        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                                        "\r\n"
                                        "; exported\r\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004]\r\n"
                                        "\"Folder\"=\"C:\\\\UT2004\"\r\n"
                                        "\"Path\"=hex(2):25,00,53,00,79,00,73,00,\\\r\n"
                                        "  74,00,65,00,6d,00,25,00,00,00\r\n"
                                        "\"Blob\"=hex:01,02\r\n"
                                        "\"Version\"=dword:0000002A\r\n");
    auto key = platform::makeRegistry(store)->openForReading(
        RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", RegAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString("Folder"), "C:\\UT2004");
    EXPECT_EQ(key->readString("Path"), "%System%");  // REG_EXPAND_SZ reads as text
    EXPECT_EQ(key->readInteger("Version"), 42);
    EXPECT_EQ(errorOf([&] { key->readInteger("Path"); }), "Invalid data type for 'Path'");
    EXPECT_EQ(errorOf([&] { key->readString("Blob"); }), "Invalid data type for 'Blob'");
    EXPECT_EQ(errorOf([&] { key->readInteger("Blob"); }), "Invalid data type for 'Blob'");

    // A write keeps the values it does not understand.
    key->writeInteger("Version", 43);
    auto again = platform::makeRegistry(store)->openForReading(
        RegRoot::LocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", RegAccess::Read);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->readInteger("Version"), 43);
    EXPECT_EQ(again->readString("Path"), "%System%");
    EXPECT_EQ(errorOf([&] { again->readString("Blob"); }), "Invalid data type for 'Blob'");
}

// Values another program (or an older version) left in the file survive the
// rewrite of every later write, whatever bytes they hold.
TEST(RegistryStore, ValuesReadFromTheFileAreWrittenBackAsTheyWereRead) {
    test::TempDir dir;
    const std::vector<std::string> kept = {
        std::string("\"Nul\"=\"a\0b\"", 11),                   // a NUL between the quotes
        "\"Odd\"=\"\x01\xFF\"",                                 // a control byte and bytes that are not UTF-8
        "\"Latin\"=\"Caf\xE9\"",                                 // not UTF-8, no control byte
        "\"Inner\"=hex(1):61,00,00,00,62,00,00,00",               // a UTF-16 text with a NUL inside
        "\"Wide\"=hex(2):41,00,\\\n  42,00,00,00",                // a byte list continued on a second line
        "\"Blob\"=hex(3):01,02",
    };
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Harthollow\\Quillmere]\n";
    for (const std::string& line : kept) text += line + "\n";
    text += "\"FirstRun\"=dword:00000001\n";
    const std::string store = dir.write("r.reg", text);

    auto read = [&](const std::string& name) {
        auto key = platform::makeRegistry(store)->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
        return key->readString(name);
    };
    const std::vector<std::string> names = {"Nul", "Odd", "Latin", "Inner", "Wide"};
    std::vector<std::string> before;
    for (const std::string& name : names) before.push_back(read(name));
    EXPECT_EQ(before[0], std::string("a\0b", 3));

    platform::makeRegistry(store)->openOrCreate(RegRoot::LocalMachine, kGlobal)->writeInteger("FirstRun", 0);

    const std::string after = test::readFile(store);
    for (const std::string& line : kept) EXPECT_NE(after.find(line + "\n"), std::string::npos) << line;
    EXPECT_NE(after.find("\"FirstRun\"=dword:00000000\n"), std::string::npos) << after;
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(read(names[i]), before[i]) << names[i];
}

// The store is read at every open of a key; its size, not the number of
// values in one key, sets the cost. (A key with 40,000 values used to take
// seconds per open.)
TEST(RegistryStore, AKeyWithManyValuesOpensInTimeProportionalToTheFile) {
    test::TempDir dir;
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Harthollow\\Quillmere]\n";
    for (int i = 0; i < 40000; ++i) text += "\"Value" + std::to_string(i) + "\"=dword:" + std::to_string(i % 10) + "\n";
    text += "\"value7\"=dword:00000008\n";  // a later line of the same name wins
    auto registry = platform::makeRegistry(dir.write("r.reg", text));
    const auto start = std::chrono::steady_clock::now();
    auto key = registry->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("Value39999"), 9);
    EXPECT_EQ(key->readInteger("VALUE7"), 8);
    // Milliseconds are needed; the bound leaves room for a slow, shared machine.
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

TEST(RegistryStore, PathsAndNamesMatchWithoutCase) {
    test::TempDir dir;
    auto reg = platform::makeRegistry(dir / "r.reg");
    reg->openOrCreate(RegRoot::ClassesRoot, "\\UT2004.Map\\Shell\\open\\command")->writeString("", "C:\\UT2004\\System\\UT2004.exe %1");
    reg->openOrCreate(RegRoot::LocalMachine, kGlobal)->writeInteger("AutoUpdateCheck", 1);

    auto command = reg->openForReading(RegRoot::ClassesRoot, "ut2004.map\\SHELL\\Open\\Command", RegAccess::QueryValue);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->readString(""), "C:\\UT2004\\System\\UT2004.exe %1");
    auto global = reg->openForReading(RegRoot::LocalMachine, "software\\HARTHOLLOW\\quillmere", RegAccess::Read);
    ASSERT_TRUE(global);
    EXPECT_TRUE(global->valueExists("autoupdatecheck"));
    EXPECT_EQ(global->readInteger("AUTOUPDATECHECK"), 1);

    // Writing through another spelling changes the same value and key.
    reg->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\harthollow\\QUILLMERE")->writeInteger("autoUpdateCheck", 0);
    EXPECT_EQ(reg->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read)->readInteger("AutoUpdateCheck"), 0);
    const std::string text = test::readFile(dir / "r.reg");
    EXPECT_EQ(text.find("harthollow"), std::string::npos) << text;
    EXPECT_EQ(text.find("autoUpdateCheck"), std::string::npos) << text;

    // The roots are separate.
    EXPECT_FALSE(reg->openForReading(RegRoot::ClassesRoot, kGlobal, RegAccess::Read));
}

TEST(RegistryStore, ReadingNeverCreates) {
    test::TempDir dir;
    const std::string store = dir / "sub/r.reg";
    auto reg = platform::makeRegistry(store);
    for (RegAccess access : {RegAccess::Read, RegAccess::QueryAndEnumerate, RegAccess::QueryValue})
        EXPECT_FALSE(reg->openForReading(RegRoot::LocalMachine, kGlobal, access));
    EXPECT_FALSE(dir.exists("sub"));

    reg->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere\\UT2004");
    const std::string before = test::readFile(store);
    for (RegAccess access : {RegAccess::Read, RegAccess::QueryAndEnumerate, RegAccess::QueryValue}) {
        EXPECT_TRUE(reg->openForReading(RegRoot::LocalMachine, kGlobal, access));  // a parent made on the way
        EXPECT_FALSE(reg->openForReading(RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere\\UT2003", access));
    }
    EXPECT_EQ(test::readFile(store), before);
}

TEST(RegistryStore, FailuresCarryTheirTexts) {
    test::TempDir dir;
    auto reg = platform::makeRegistry(dir / "r.reg");
    auto key = reg->openOrCreate(RegRoot::LocalMachine, kGlobal);
    ASSERT_TRUE(key);
    key->writeString("FirstRun", "1");
    key->writeInteger("ShowAllMessages", 1);

    struct Case {
        const char* what;
        std::function<void()> action;
        std::string expected;
    } cases[] = {
        {"integer stored as text", [&] { key->readInteger("FirstRun"); }, "Invalid data type for 'FirstRun'"},
        {"text stored as integer", [&] { key->readString("ShowAllMessages"); }, "Invalid data type for 'ShowAllMessages'"},
        {"missing integer", [&] { key->readInteger("AutoUpdateCheck"); }, "Failed to get data for 'AutoUpdateCheck'"},
        {"text that is not UTF-8", [&] { key->writeString("Bad", "\xFF\xFE"); }, "Failed to set data for 'Bad'"},
        {"text with a NUL", [&] { key->writeString("Nul", std::string("a\0b", 3)); }, "Failed to set data for 'Nul'"},
        {"name with a line break", [&] { key->writeInteger("Two\nLines", 1); }, "Failed to set data for 'Two\nLines'"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.action), c.expected) << c.what;

    EXPECT_EQ(key->readString("Missing"), "");
    EXPECT_FALSE(key->valueExists("Bad"));
    EXPECT_FALSE(reg->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read)->valueExists("Bad"));
}

TEST(RegistryStore, AStoreThatCannotBeWrittenRefusesOrFailsToSet) {
    test::TempDir dir;
    const std::string blocker = dir.write("notafolder", "x");
    auto reg = platform::makeRegistry(blocker + "/r.reg");
    EXPECT_FALSE(reg->openOrCreate(RegRoot::LocalMachine, kGlobal));

    // A key of a root exists without being created; its write still cannot go anywhere.
    auto root = reg->openOrCreate(RegRoot::LocalMachine, "");
    ASSERT_TRUE(root);
    EXPECT_EQ(errorOf([&] { root->writeInteger("X", 1); }), "Failed to set data for 'X'");
    EXPECT_EQ(test::readFile(blocker), "x");
}

TEST(RegistryStore, ADamagedFileIsReportedByLineAndNeverRewritten) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    struct Case {
        std::string text;
        std::string line;
    } cases[] = {
        {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"FirstRun\"=dword:0000000g\n", "line 4"},
        {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"FirstRun\"=\"unterminated\n", "line 4"},
        {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\njust some words\n", "line 4"},
        {header + "\"FirstRun\"=dword:00000001\n", "line 3"},
        {header + "[HKEY_CURRENT_USER\\SOFTWARE]\n", "line 3"},
        {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\n", "line 3"},
        {header + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"Path\"=hex(2):41,00,4\n", "line 4"},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n", "line 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        test::TempDir dir;
        const std::string store = dir.write("r.reg", c.text);
        auto reg = platform::makeRegistry(store);

        const std::string opening = errorOf([&] { reg->openForReading(RegRoot::LocalMachine, "SOFTWARE", RegAccess::Read); });
        EXPECT_NE(opening.find(store), std::string::npos) << opening;
        EXPECT_NE(opening.find(c.line), std::string::npos) << opening;
        EXPECT_EQ(errorOf([&] { reg->openOrCreate(RegRoot::LocalMachine, kGlobal); }), opening);
        EXPECT_EQ(test::readFile(store), c.text);
    }

    // Damaged after a key was opened: the write fails with the same report.
    test::TempDir dir;
    const std::string store = dir / "r.reg";
    auto reg = platform::makeRegistry(store);
    auto key = reg->openOrCreate(RegRoot::LocalMachine, kGlobal);
    ASSERT_TRUE(key);
    const std::string damaged = header + "garbage\n";
    dir.write("r.reg", damaged);
    const std::string writing = errorOf([&] { key->writeInteger("FirstRun", 0); });
    EXPECT_NE(writing.find(store), std::string::npos) << writing;
    EXPECT_NE(writing.find("line 3"), std::string::npos) << writing;
    EXPECT_EQ(test::readFile(store), damaged);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(RegistryStore, TwoInstancesSeeEachOthersWritesAndLoseNone) {
    test::TempDir dir;
    const std::string store = dir / "r.reg";
    auto first = platform::makeRegistry(store);
    auto second = platform::makeRegistry(store);

    auto a = first->openOrCreate(RegRoot::LocalMachine, kGlobal);
    ASSERT_TRUE(a);
    a->writeString("LastRunVersion", "2.1.0.65");
    auto b = second->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->readString("LastRunVersion"), "2.1.0.65");

    // Both write through keys opened earlier; neither write undoes the other.
    auto bw = second->openOrCreate(RegRoot::LocalMachine, std::string(kGlobal) + "\\UT2004");
    bw->writeInteger("DoUCCExportCache", 1);
    a->writeInteger("FirstRun", 0);
    auto check = platform::makeRegistry(store);
    EXPECT_EQ(check->openForReading(RegRoot::LocalMachine, std::string(kGlobal) + "\\UT2004", RegAccess::Read)
                  ->readInteger("DoUCCExportCache"),
              1);
    auto global = check->openForReading(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
    EXPECT_EQ(global->readInteger("FirstRun"), 0);
    EXPECT_EQ(global->readString("LastRunVersion"), "2.1.0.65");
}

}  // namespace
}  // namespace qm
