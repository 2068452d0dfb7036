#pragma once
// A failure carrying strerror(errno), the system's own reason, and the
// code's kind as callers decide on it.
#include <cerrno>
#include <cstring>

#include "core/error.h"

namespace qm::platform {

inline Errc codeOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return Errc::NotFound;
        case EEXIST:
        case ENOTEMPTY: return Errc::AlreadyExists;
        case EACCES:
        case EPERM:
        case EROFS: return Errc::AccessDenied;
        case ENAMETOOLONG: return Errc::NameTooLong;
        default: return Errc::Other;
    }
}

inline Status systemFailure(int error) { return Status::failure(codeOf(error), std::strerror(error)); }
inline Status lastFailure() { return systemFailure(errno); }

}  // namespace qm::platform
