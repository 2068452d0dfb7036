#pragma once
// The world the main window lives in, handed over in one struct. main.cpp
// wires the real parts; tests wire the real file system, INI and registry
// over temporary folders and replace the dialogs, shell and clock.
#include <string>

#include "core/datetime.h"
#include "core/error.h"

namespace qm {

class FileSystem;
class IniFiles;
class Registry;
class Dialogs;

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or web address with the user's default program.
    virtual Status open(const std::string& document) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() = 0;
};

// Every pointer must be set: the window refuses to start without one.
struct Services {
    FileSystem* fs = nullptr;
    IniFiles* ini = nullptr;
    Registry* registry = nullptr;
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr;
    // The program's own executable file.
    std::string executablePath;
    // Where the games' default folders ("C:\UT2004" ...) live: "C:\" on
    // Windows; on POSIX the C: drive of the Wine prefix.
    std::string systemDriveRoot;

    // Raises std::invalid_argument naming the first service that is missing.
    void requireComplete() const;
};

}  // namespace qm
