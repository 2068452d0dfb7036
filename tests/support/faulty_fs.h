#pragma once
// A file system that forwards to a real one and fails on demand: for the
// faults a real disk will not produce when asked (tests run as root, so
// permissions stop nothing), and for a file that appears between the
// program's check and its move.
#include <functional>
#include <set>
#include <string>

#include "core/filesystem.h"

namespace qm::test {

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& real) : real_(real) {}

    // The reason an injected failure carries.
    std::string reason = "Injected failure";
    Errc code = Errc::Other;

    // Paths whose operation fails without touching the disk. A move or copy
    // fails when its source or its target is listed.
    std::set<std::string> failMove, failCopy, failDelete, failWrite;
    // Fails any operation for which it returns true; `operation` is "move",
    // "copy", "delete" or "write", `path` each path involved.
    std::function<bool(const std::string& operation, const std::string& path)> failWhen;

    // Runs just before a move or copy reaches the real file system (after
    // the failure checks), e.g. to put a file at the target in its way.
    std::function<void(const std::string& from, const std::string& to)> beforeMove, beforeCopy;
    // Targets at which a file with `racedContent` appears just before a move
    // or copy to them runs.
    std::set<std::string> appearBeforeTransfer;
    std::string racedContent = "raced";

    std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) override {
        return real_.list(folder, pattern);
    }
    std::optional<DirEntry> findFirstFile(const std::string& folder, const std::string& literal,
                                          const std::string& wildcardTail) override {
        return real_.findFirstFile(folder, literal, wildcardTail);
    }
    bool fileExists(const std::string& path) override { return real_.fileExists(path); }
    bool folderExists(const std::string& path) override { return real_.folderExists(path); }
    std::optional<std::string> realPath(const std::string& path) override { return real_.realPath(path); }

    Status moveFile(const std::string& from, const std::string& to) override {
        if (fails("move", failMove, from) || fails("move", failMove, to)) return Status::failure(code, reason);
        prepareTransfer(beforeMove, from, to);
        return real_.moveFile(from, to);
    }
    Status copyFile(const std::string& from, const std::string& to) override {
        if (fails("copy", failCopy, from) || fails("copy", failCopy, to)) return Status::failure(code, reason);
        prepareTransfer(beforeCopy, from, to);
        return real_.copyFile(from, to);
    }
    Status deleteFile(const std::string& path) override {
        if (fails("delete", failDelete, path)) return Status::failure(code, reason);
        return real_.deleteFile(path);
    }
    Status writeFile(const std::string& path, const std::string& data) override {
        if (fails("write", failWrite, path)) return Status::failure(code, reason);
        return real_.writeFile(path, data);
    }

private:
    bool fails(const char* operation, const std::set<std::string>& paths, const std::string& path) const {
        return paths.count(path) != 0 || (failWhen && failWhen(operation, path));
    }
    void prepareTransfer(const std::function<void(const std::string&, const std::string&)>& hook,
                         const std::string& from, const std::string& to) {
        if (hook) hook(from, to);
        if (appearBeforeTransfer.count(to) != 0) real_.writeFile(to, racedContent);
    }

    FileSystem& real_;
};

}  // namespace qm::test
