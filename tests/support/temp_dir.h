#pragma once
// A temporary folder for one test, removed with everything in it afterwards.
// Paths are UTF-8 strings in the platform's own form, as the program uses
// them; relative paths may use "/" on either platform.
#include <filesystem>
#include <string>
#include <vector>

#include "core/datetime.h"

namespace qm::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending with the platform separator.
    const std::string& path() const { return path_; }
    // `relative` under the folder ("a/b.txt").
    std::string operator/(const std::string& relative) const { return path_ + relative; }

    // Writes a file (creating its folders) and returns its full path.
    std::string write(const std::string& relative, const std::string& content = "x") const;
    std::string mkdir(const std::string& relative) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

private:
    std::string path_;
};

// A UTF-8 path as std::filesystem takes it, and back. (A plain std::string
// means the ANSI code page to std::filesystem on Windows.)
std::filesystem::path fsPath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);
// The names in a folder, sorted (UTF-8).
std::vector<std::string> folderEntries(const std::string& folder);

// Writes a file at a full path (its folder must exist).
void writeTo(const std::string& path, const std::string& content);
// Reads a whole file ("" when it cannot be read).
std::string readFile(const std::string& path);
// Sets a file's modification time to a local date-time.
void setModified(const std::string& path, const DateTime& local);

}  // namespace qm::test
