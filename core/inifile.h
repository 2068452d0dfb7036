#pragma once
// INI-file access with the semantics of the Windows profile functions:
// section and key names match without regard to case, keys come in file
// order, a missing file, section or key reads as empty, and deleting a key
// rewrites the file at once.
//
// The finer points, as the profile functions have them: only the first
// occurrence of a section name counts (a later "[Cache]" and its lines are
// neither listed, nor read, nor deleted); a key written twice is listed
// twice and its first line gives the value; a value in matching double or
// single quotes loses them. Where keys differ only in case (two lines that
// a case-sensitive file system let in), a name that matches one of them in
// its exact spelling names that line, for reading and deleting alike.
//
// A file name matches without regard to case too: "cache/cache.ini" reaches
// ".../Cache/Cache.ini" where only that spelling exists.
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
    // Deletes the line of `key` in `section` that value() reads, in one
    // atomic rewrite of the file (a temporary file renamed over it) before
    // it returns. Returns false when the file could not be rewritten
    // (read-only, vanished); the caller's rule is to go on quietly.
    virtual bool deleteKey(const std::string& file, const std::string& section, const std::string& key) = 0;

    // Between deferFlush(file) and the matching flush(file), deletions from
    // `file` are still atomic rewrites at once, but they do not wait for the
    // disk one by one: flush puts the latest version on disk once, when the
    // outermost deferral ends. Returns false when that could not be done.
    // Use DeferredFlush rather than the pair.
    virtual void deferFlush(const std::string& file) = 0;
    virtual bool flush(const std::string& file) = 0;
};

// One action over many entries of one index: its deletions reach the disk
// once, when the action ends, instead of once per key.
class DeferredFlush {
public:
    DeferredFlush(IniFiles& ini, std::string file) : ini_(ini), file_(std::move(file)) { ini_.deferFlush(file_); }
    ~DeferredFlush() { ini_.flush(file_); }
    DeferredFlush(const DeferredFlush&) = delete;
    DeferredFlush& operator=(const DeferredFlush&) = delete;

private:
    IniFiles& ini_;
    std::string file_;
};

}  // namespace qm
