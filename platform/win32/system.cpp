// Facts about the running process on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qm::platform {
namespace {

std::string narrow(const wchar_t* w, size_t length) {
    if (length == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(length), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

std::string executablePath() {
    // GetModuleFileNameW cuts a long path silently; grow until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return narrow(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

DateTime localNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    DateTime d;
    d.year = t.wYear;
    d.month = t.wMonth;
    d.day = t.wDay;
    d.hour = t.wHour;
    d.minute = t.wMinute;
    d.second = t.wSecond;
    return d;
}

std::string systemDriveRoot() {
    // The drive Windows lives on; the games' installers default to it.
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (n >= 2 && n < MAX_PATH && folder[1] == L':') return narrow(folder, 2) + "\\";
    return "C:\\";
}

// The registry itself is the store on Windows.
std::string defaultRegistryStorePath() { return {}; }

}  // namespace qm::platform
