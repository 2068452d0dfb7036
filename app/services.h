#pragma once
// The world the main window lives in, handed over in one struct. main.cpp
// wires the real parts; tests wire the real file system, INI and registry
// over temporary folders and replace the dialogs, shell and clock; the
// update tests fetch from a real HTTP server on the loopback address.
#include <string>
#include <vector>

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

// One HTTP GET, as the update check makes it. The body comes as bytes
// (8-bit text); a failure (no connection, an error status, no answer in
// time, an answer too large) comes with its text.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual Status get(const std::string& url, std::string& body) = 0;
};

// Starts a program and does not wait for it (the game's tool compressing a
// package runs on its own, in a console window of its own).
class Launcher {
public:
    virtual ~Launcher() = default;
    // Each argument reaches the program as one argument, blanks and all.
    virtual Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                                 const std::string& workingFolder) = 0;
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
    Launcher* launcher = nullptr;
    Clock* clock = nullptr;
    HttpClient* http = nullptr;
    // The program's own executable file.
    std::string executablePath;
    // Where the games' default folders ("C:\UT2004" ...) live: "C:\" on
    // Windows; on POSIX the C: drive of the Wine prefix.
    std::string systemDriveRoot;
    // QUILLMERE_SERVER: a base address that replaces the maker's web and
    // forum servers ("" for the maker's own).
    std::string serverOverride;

    // Raises std::invalid_argument naming the first service that is missing.
    void requireComplete() const;
};

}  // namespace qm
