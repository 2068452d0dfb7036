#pragma once
// A failure carrying the system's own message text for an error code, and
// the code's kind as callers decide on it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <system_error>

#include "core/error.h"
#include "platform/whole_file.h"

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
    return Status::failure(codeOf(error), systemErrorText(std::error_code(static_cast<int>(error), std::system_category())));
}

inline Status lastFailure() { return systemFailure(GetLastError()); }

}  // namespace qm::platform
