#pragma once
// INI-file access with the semantics of the Windows profile functions:
// section and key names match without regard to case, keys come in file
// order, a missing file, section or key reads as empty, and deleting a key
// rewrites the file at once.
#include <string>
#include <vector>

namespace qm {

class IniFiles {
public:
    virtual ~IniFiles() = default;

    virtual std::vector<std::string> keys(const std::string& file, const std::string& section) = 0;
    virtual std::string value(const std::string& file, const std::string& section, const std::string& key) = 0;
    // Whether the file exists and could be read whole: a file that exists
    // but cannot be read reads as empty, like a missing one, and a caller
    // that would act on "no keys" must tell the two apart.
    virtual bool readable(const std::string& file) = 0;
    // Deletes the first line of `key` in `section`. Returns false when the
    // file could not be rewritten (read-only, vanished); the caller's rule
    // is to go on quietly.
    virtual bool deleteKey(const std::string& file, const std::string& section, const std::string& key) = 0;
    // Deletes the first line of each of `keys` in `section` in one rewrite.
    // Same result as deleting them one by one; the real implementation
    // saves the repeated rewrites of a large index.
    virtual bool deleteKeys(const std::string& file, const std::string& section, const std::vector<std::string>& keys) {
        bool ok = true;
        for (const auto& key : keys) ok = deleteKey(file, section, key) && ok;
        return ok;
    }
};

}  // namespace qm
