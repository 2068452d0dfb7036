#pragma once
// A failure carrying the system's own message text for an error code, and
// the code's kind as callers decide on it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/error.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {

inline Errc codeOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return Errc::NotFound;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return Errc::AlreadyExists;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION: return Errc::AccessDenied;
        case ERROR_FILENAME_EXCED_RANGE: return Errc::NameTooLong;
        default: return Errc::Other;
    }
}

inline Status systemFailure(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (n != 0 && text) {
        reason = narrow(text);
        LocalFree(text);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
            reason.pop_back();
    }
    if (reason.empty()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "System error %lu", static_cast<unsigned long>(error));
        reason = buffer;
    }
    return Status::failure(codeOf(error), reason);
}

inline Status lastFailure() { return systemFailure(GetLastError()); }

}  // namespace qm::platform
