// The system's description and the version resource of an executable, on
// Windows. Paths are UTF-8 and go to the wide-character calls.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winver.h>

#include <vector>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

#ifdef _MSC_VER
#pragma comment(lib, "version.lib")
#endif

namespace qm::platform {

namespace {

version::Numbers fromParts(DWORD ms, DWORD ls) {
    return {static_cast<int32_t>(HIWORD(ms)), static_cast<int32_t>(LOWORD(ms)), static_cast<int32_t>(HIWORD(ls)),
            static_cast<int32_t>(LOWORD(ls))};
}

// The standard text values; the system offers no way to list a table.
const char* const kStandardNames[] = {"Comments",        "CompanyName",     "FileDescription", "FileVersion",
                                      "InternalName",    "LegalCopyright",  "LegalTrademarks", "OriginalFilename",
                                      "PrivateBuild",    "ProductName",     "ProductVersion",  "SpecialBuild"};

}  // namespace

bool querySystemVersion(SystemVersion& out) {
    // RtlGetVersion tells the truth where GetVersionEx is shimmed.
    using RtlGetVersionFn = LONG(WINAPI*)(PRTL_OSVERSIONINFOW);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (!rtlGetVersion) return false;
    RTL_OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0) return false;
    out = SystemVersion{};
    out.platformId = info.dwPlatformId;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    return true;
}

std::optional<version::Resource> readVersionResource(const std::string& path) {
    const std::wstring file = wide(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;

    version::Resource r;
    void* p = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &p, &length) && p && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* f = static_cast<const VS_FIXEDFILEINFO*>(p);
        r.fixed = version::FixedInfo{fromParts(f->dwFileVersionMS, f->dwFileVersionLS),
                                     fromParts(f->dwProductVersionMS, f->dwProductVersionLS),
                                     f->dwFileFlagsMask,
                                     f->dwFileFlags,
                                     f->dwFileOS,
                                     f->dwFileType};
    }
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &p, &length) && p) {
        const auto* pairs = static_cast<const WORD*>(p);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) r.translations.emplace_back(pairs[i], pairs[i + 1]);
    }
    for (const auto& [language, codePage] : r.translations) {
        const std::string table = version::translationKey(language, codePage);
        for (const char* name : kStandardNames) {
            const std::wstring query = wide("\\StringFileInfo\\" + table + "\\" + name);
            if (VerQueryValueW(data.data(), query.c_str(), &p, &length) && p) {
                // The length counts the terminating NUL when there is one.
                const auto* text = static_cast<const wchar_t*>(p);
                size_t n = length;
                while (n > 0 && text[n - 1] == L'\0') --n;
                r.strings.push_back({table, name, narrow(text, n)});
            }
        }
    }
    return r;
}

}  // namespace qm::platform
