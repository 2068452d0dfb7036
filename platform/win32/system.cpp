// Facts about the running process on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {

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

std::string consoleTextToUtf8(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0) return bytes;
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, text.data(), n);
    return narrow(text.data(), text.size());
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
