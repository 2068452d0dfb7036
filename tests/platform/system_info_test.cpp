// The system's description of itself and the version resource of an
// executable, read back from this test program, which carries the
// program's own version resource (the same templates and values).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/version.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

namespace qm {
namespace {

using version::Numbers;

TEST(VersionResource, TheBuildsValuesReadBackFromTheExecutable) {
    const auto r = platform::readVersionResource(platform::executablePath());
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->fixed);
    const Numbers built{QM_FILE_VERSION_MAJOR, QM_FILE_VERSION_MINOR, QM_FILE_VERSION_RELEASE, QM_FILE_VERSION_BUILD};
    EXPECT_EQ(r->fixed->fileVersion, built);
    EXPECT_EQ(r->fixed->productVersion, built);
    EXPECT_EQ(r->fixed->fileFlagsMask, static_cast<uint32_t>(QM_FILE_FLAGS_MASK));
    EXPECT_EQ(r->fixed->fileFlags, static_cast<uint32_t>(QM_FILE_FLAGS));
    EXPECT_EQ(r->fixed->fileOS, 0x4u);    // 32-bit Windows
    EXPECT_EQ(r->fixed->fileType, 0x1u);  // an application
    ASSERT_FALSE(r->translations.empty());
    EXPECT_EQ(r->translations[0], (std::pair<uint16_t, uint16_t>{0x0409, 0x04E4}));

    struct Value {
        const char* name;
        std::string expected;
    };
    for (const Value& v : {Value{"FileVersion", QM_FILE_VERSION_TEXT}, Value{"ProductVersion", QM_PRODUCT_VERSION_TEXT},
                           Value{"CompanyName", QM_COMPANY_NAME}, Value{"InternalName", QM_INTERNAL_NAME},
                           Value{"ProductName", QM_PRODUCT_NAME}, Value{"Comments", ""}, Value{"LegalCopyright", ""}}) {
        EXPECT_EQ(r->findTranslatedString(v.name), v.expected) << v.name;
        EXPECT_EQ(r->findString("040904e4", v.name), v.expected) << v.name;
    }
    EXPECT_FALSE(r->findTranslatedString("PrivateBuild"));
    EXPECT_EQ(version::splitFileVersion(*r->findTranslatedString("FileVersion")), built);
}

TEST(VersionResource, FilesWithoutOneAndPathsOutsideAscii) {
    test::TempDir dir;
    EXPECT_FALSE(platform::readVersionResource(dir / "Missing.exe"));
    EXPECT_FALSE(platform::readVersionResource(dir.write("Plain.exe", std::string(4096, 'M'))));
    EXPECT_FALSE(platform::readVersionResource(dir.mkdir("Folder.exe")));

    // The program installed in a folder with a non-English name.
    const std::string copy = dir.mkdir("Spiele \xC3\x9C\xC3\xA9") + "/Quillmere \xE3\x82\xB2.exe";
    std::filesystem::copy_file(test::fsPath(platform::executablePath()), test::fsPath(copy));
    const auto r = platform::readVersionResource(copy);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->findTranslatedString("FileVersion"), QM_FILE_VERSION_TEXT);
}

TEST(SystemVersion, TheQueryDescribesTheRunningSystem) {
    platform::SystemVersion v;
    ASSERT_TRUE(platform::querySystemVersion(v));
#ifdef _WIN32
    // The NT family, and the numbers the system keeps in its registry. They
    // are read in the system's own view: a 64-bit Wine without its 32-bit
    // half leaves the 32-bit copy of this key empty.
    EXPECT_EQ(v.platformId, static_cast<uint32_t>(VER_PLATFORM_WIN32_NT));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                            KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    ASSERT_EQ(RegQueryValueExW(key, L"CurrentBuildNumber", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), std::to_wstring(v.build));
    DWORD major = 0;
    size = sizeof major;
    if (RegQueryValueExW(key, L"CurrentMajorVersionNumber", nullptr, nullptr, reinterpret_cast<BYTE*>(&major), &size) ==
        ERROR_SUCCESS) {
        EXPECT_EQ(major, v.major);
    } else {
        size = sizeof text - sizeof(wchar_t);
        std::fill(std::begin(text), std::end(text), L'\0');
        ASSERT_EQ(RegQueryValueExW(key, L"CurrentVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(text), std::to_wstring(v.major) + L"." + std::to_wstring(v.minor));
    }
    RegCloseKey(key);
#else
    utsname u{};
    ASSERT_EQ(uname(&u), 0);
    EXPECT_EQ(v.platformId, platform::kPosixPlatformId);
    EXPECT_EQ(v.release, u.release);
    EXPECT_FALSE(v.name.empty());
    const std::string numbers = std::to_string(v.major) + "." + std::to_string(v.minor) + ".";
    EXPECT_EQ(std::string(u.release).rfind(numbers, 0), 0u) << u.release;
#endif
}

}  // namespace
}  // namespace qm
