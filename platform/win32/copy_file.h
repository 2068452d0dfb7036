#pragma once
// The Windows copy primitive. It serves copyFile and a move across volumes;
// its writer is a parameter so that a test can make the disk fill up midway.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>

#include "core/error.h"

namespace qm::platform::win32 {

// Same contract as ::WriteFile without overlapping: FALSE with the error for
// GetLastError, else the bytes written in `written`.
using WriteFunction = std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)>;

// Copies the file `from` to `to`, which must not exist yet (CREATE_NEW, so a
// file that appears meanwhile is never replaced). The copy is flushed to disk
// and keeps the source's attributes and modification time. On any failure the
// target is removed again and the system's reason is returned; the source is
// never touched. (CopyFileW is not used: Wine's reports a source that fails
// to read as copied, leaving an empty target, and leaves a partial target
// when a write fails.)
Status copyFileExclusive(const std::string& from, const std::string& to, const WriteFunction& write);
Status copyFileExclusive(const std::string& from, const std::string& to);

}  // namespace qm::platform::win32
