#pragma once
// The POSIX move and copy primitives. The copy loop serves copyFile and a
// move across file systems; its writer is a parameter so that a test can
// make the disk fill up midway.
#include <sys/types.h>

#include <functional>
#include <string>

#include "core/error.h"

namespace qm::platform::posix {

// Same contract as ::write: bytes written, or -1 with errno set.
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Copies the regular file `from` to `to`, which must not exist yet (exclusive
// create). The copy is flushed to disk and keeps the source's permissions and
// modification time. On any failure the target is removed again and the
// system's reason is returned; the source is never touched.
Status copyFileExclusive(const std::string& from, const std::string& to, const WriteFunction& write);
Status copyFileExclusive(const std::string& from, const std::string& to);

// Renames without ever replacing the target, also when it appears just
// before the call: 0, or the errno of the failure (EXDEV: copy instead).
int renameNoReplace(const std::string& from, const std::string& to);

}  // namespace qm::platform::posix
