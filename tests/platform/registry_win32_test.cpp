// The real Windows registry, as the program uses it: every key in the
// 32-bit view (where the games' 32-bit installers write), the three read
// access levels, the program's two value types and the failures of the
// others. Each test works below a key of its own and removes it afterwards.
// POSIX has a .reg text store instead (registry_test.cpp).
#ifdef _WIN32
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "core/error.h"
#include "platform/platform.h"

namespace qm {
namespace {

template <typename F>
std::string errorOf(F&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

std::wstring wideOf(const std::string& s) { return std::wstring(s.begin(), s.end()); }  // ASCII only

class Win32RegistryTest : public ::testing::Test {
protected:
    Win32RegistryTest() {
        std::random_device seed;
        name_ = "QuillmereTest" + std::to_string(seed() % 1000000000u);
        base = "SOFTWARE\\Harthollow\\" + name_;
    }
    ~Win32RegistryTest() override {
        // Keys closed to everyone are opened up first, so the tree can go.
        for (const std::string& key : restricted_) setDacl(base + "\\" + key, L"D:P(A;;KA;;;WD)");
        HKEY parent = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Harthollow", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(parent, wideOf(name_).c_str());
            RegCloseKey(parent);
        }
    }

    // A key made with the system's own calls in the 32-bit view.
    HKEY createRaw(const std::string& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, wideOf(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        return key;
    }

    bool existsIn(REGSAM view, const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideOf(path).c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // Replaces a key's access list (SDDL text).
    bool setDacl(const std::string& path, const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
        HKEY key = nullptr;
        bool ok = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideOf(path).c_str(), 0, WRITE_DAC | KEY_WOW64_32KEY, &key) ==
                  ERROR_SUCCESS;
        if (ok) {
            ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
        LocalFree(sd);
        return ok;
    }
    void restrict(const std::string& subkey, const wchar_t* sddl) {
        RegCloseKey(createRaw(base + "\\" + subkey));
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, wideOf(base + "\\" + subkey).c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key);
        const DWORD one = 1;
        RegSetValueExW(key, L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
        RegCloseKey(key);
        restricted_.push_back(subkey);
        ASSERT_TRUE(setDacl(base + "\\" + subkey, sddl)) << subkey;
    }

    std::unique_ptr<Registry> reg = platform::makeRegistry("");
    std::string base;

private:
    std::string name_;
    std::vector<std::string> restricted_;
};

TEST_F(Win32RegistryTest, TheProgramsValuesLiveInThe32BitView) {
    {
        auto key = reg->openOrCreate(RegRoot::LocalMachine, base + "\\UT2004");  // parents made on the way
        ASSERT_TRUE(key);
        key->writeInteger("FirstRun", 0);
        key->writeInteger("Lowest", INT32_MIN);
        key->writeInteger("Negative", -1);
        key->writeString("LastRunVersion", "2.1.0.65");
        key->writeString("", "the default");
        key->writeString("Folder", "C:\\Spiele\\Caf\xC3\xA9 \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\\");
        key->writeString("Empty", "");
    }
    auto key = reg->openForReading(RegRoot::LocalMachine, "\\" + base + "\\ut2004", RegAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("firstrun"), 0);
    EXPECT_EQ(key->readInteger("Lowest"), INT32_MIN);
    EXPECT_EQ(key->readInteger("Negative"), -1);
    EXPECT_EQ(key->readString("LastRunVersion"), "2.1.0.65");
    EXPECT_EQ(key->readString(""), "the default");
    EXPECT_EQ(key->readString("Folder"), "C:\\Spiele\\Caf\xC3\xA9 \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\\");
    EXPECT_TRUE(key->valueExists("Empty"));
    EXPECT_EQ(key->readString("Empty"), "");
    EXPECT_FALSE(key->valueExists("Missing"));

    // The values are where a 32-bit program finds them, not in the 64-bit view.
    EXPECT_TRUE(existsIn(KEY_WOW64_32KEY, base + "\\UT2004"));
    EXPECT_FALSE(existsIn(KEY_WOW64_64KEY, base + "\\UT2004"));
    EXPECT_TRUE(existsIn(KEY_WOW64_64KEY, "SOFTWARE\\Wow6432Node\\Harthollow\\" + base.substr(base.rfind('\\') + 1) +
                                              "\\UT2004"));
    HKEY raw = createRaw(base + "\\UT2004");
    DWORD type = 0, data = 7, size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(raw, L"FirstRun", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, 0u);
    wchar_t text[64] = {};
    size = sizeof text;
    EXPECT_EQ(RegQueryValueExW(raw, L"LastRunVersion", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"2.1.0.65");
    RegCloseKey(raw);
}

TEST_F(Win32RegistryTest, ValuesOfOtherTypesFailToReadWithTheirTexts) {
    HKEY raw = createRaw(base);
    auto set = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(raw, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    };
    const DWORD answer = 42;
    const uint64_t big = 1;
    const unsigned char blob[] = {1, 2, 3};
    const wchar_t expand[] = L"%SystemRoot%\\ucc.exe";
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    const wchar_t multi[] = L"one\0two\0";
    set(L"Dword", REG_DWORD, &answer, sizeof answer);
    set(L"Expand", REG_EXPAND_SZ, expand, sizeof expand);
    set(L"Unterminated", REG_SZ, unterminated, sizeof unterminated);
    set(L"Qword", REG_QWORD, &big, sizeof big);
    set(L"Binary", REG_BINARY, blob, sizeof blob);
    set(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    set(L"ShortDword", REG_DWORD, &answer, 2);
    RegCloseKey(raw);

    auto key = reg->openForReading(RegRoot::LocalMachine, base, RegAccess::QueryValue);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readInteger("Dword"), 42);
    EXPECT_EQ(key->readString("Expand"), "%SystemRoot%\\ucc.exe");  // text, not expanded
    EXPECT_EQ(key->readString("Unterminated"), "abc");
    EXPECT_EQ(key->readString("Missing"), "");

    struct Case {
        const char* what;
        std::function<void()> read;
        std::string expected;
    } cases[] = {
        {"integer stored as text", [&] { key->readInteger("Expand"); }, "Invalid data type for 'Expand'"},
        {"text stored as integer", [&] { key->readString("Dword"); }, "Invalid data type for 'Dword'"},
        {"64-bit integer", [&] { key->readInteger("Qword"); }, "Invalid data type for 'Qword'"},
        {"binary as integer", [&] { key->readInteger("Binary"); }, "Invalid data type for 'Binary'"},
        {"binary as text", [&] { key->readString("Binary"); }, "Invalid data type for 'Binary'"},
        {"list of texts", [&] { key->readString("Multi"); }, "Invalid data type for 'Multi'"},
        {"integer of two bytes", [&] { key->readInteger("ShortDword"); }, "Failed to get data for 'ShortDword'"},
        {"missing integer", [&] { key->readInteger("Missing"); }, "Failed to get data for 'Missing'"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.read), c.expected) << c.what;

    // A key opened to read only cannot write.
    EXPECT_EQ(errorOf([&] { key->writeInteger("Dword", 1); }), "Failed to set data for 'Dword'");
    auto writable = reg->openOrCreate(RegRoot::LocalMachine, base);
    ASSERT_TRUE(writable);
    EXPECT_EQ(errorOf([&] { writable->writeString("Bad", "\xFF\xFE"); }), "Failed to set data for 'Bad'");
    EXPECT_EQ(errorOf([&] { writable->writeString("Nul", std::string("a\0b", 3)); }), "Failed to set data for 'Nul'");
    EXPECT_FALSE(writable->valueExists("Bad"));
    EXPECT_EQ(key->readInteger("Dword"), 42);
}

TEST_F(Win32RegistryTest, EachReadAccessLevelOpensTheKeysItsRightsAllow) {
    // SDDL: "KA" all access; 0x9 query value and enumerate; 0x1 query value.
    restrict("Open", L"D:P(A;;KA;;;WD)");
    restrict("QueryAndEnumerate", L"D:P(A;;0x9;;;WD)");
    restrict("QueryOnly", L"D:P(A;;0x1;;;WD)");
    restrict("Closed", L"D:P");
    struct Case {
        const char* key;
        bool read, queryAndEnumerate, queryValue, full;
    };
    for (const Case& c : {Case{"Open", true, true, true, true}, Case{"QueryAndEnumerate", false, true, true, false},
                          Case{"QueryOnly", false, false, true, false}, Case{"Closed", false, false, false, false}}) {
        SCOPED_TRACE(c.key);
        const std::string path = base + "\\" + c.key;
        auto read = reg->openForReading(RegRoot::LocalMachine, path, RegAccess::Read);
        auto both = reg->openForReading(RegRoot::LocalMachine, path, RegAccess::QueryAndEnumerate);
        auto query = reg->openForReading(RegRoot::LocalMachine, path, RegAccess::QueryValue);
        EXPECT_EQ(read != nullptr, c.read);
        EXPECT_EQ(both != nullptr, c.queryAndEnumerate);
        EXPECT_EQ(query != nullptr, c.queryValue);
        if (query) {
            EXPECT_EQ(query->readInteger("Value"), 1);
        }
        EXPECT_EQ(reg->openOrCreate(RegRoot::LocalMachine, path) != nullptr, c.full);
    }
}

TEST_F(Win32RegistryTest, ReadingNeverCreatesAndTheRootsAreSeparate) {
    for (RegAccess access : {RegAccess::Read, RegAccess::QueryAndEnumerate, RegAccess::QueryValue})
        EXPECT_FALSE(reg->openForReading(RegRoot::LocalMachine, base + "\\Missing", access));
    EXPECT_FALSE(existsIn(KEY_WOW64_32KEY, base));

    // The shell's document types live under the classes root.
    const std::string type = base.substr(base.rfind('\\') + 1) + ".Map\\Shell\\open\\command";
    {
        auto command = reg->openOrCreate(RegRoot::ClassesRoot, type);
        ASSERT_TRUE(command);
        command->writeString("", "C:\\UT2004\\System\\UT2004.exe %1");
    }
    auto command = reg->openForReading(RegRoot::ClassesRoot, type, RegAccess::QueryValue);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->readString(""), "C:\\UT2004\\System\\UT2004.exe %1");
    EXPECT_FALSE(reg->openForReading(RegRoot::LocalMachine, type, RegAccess::Read));
    const std::wstring typeRoot = wideOf(type.substr(0, type.find('\\')));
    HKEY created = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, typeRoot.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &created), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeW(created, nullptr), ERROR_SUCCESS);
    RegCloseKey(created);
    EXPECT_EQ(RegDeleteKeyExW(HKEY_CLASSES_ROOT, typeRoot.c_str(), KEY_WOW64_32KEY, 0), ERROR_SUCCESS);
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
