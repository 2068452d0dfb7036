// Path spelling on POSIX: components resolved without regard to case.
// Only "/" separates components.
#include "platform/spelling.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "core/paths.h"

namespace qm::platform {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

bool entryExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The first entry of `folder` that equals `name` without regard to case.
std::optional<std::string> findCaseVariant(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return std::nullopt;
    while (dirent* d = readdir(dir.get())) {
        const std::string_view entry = d->d_name;
        if (entry == "." || entry == "..") continue;
        if (path::equalsIgnoreCase(entry, name)) return std::string(entry);
    }
    return std::nullopt;
}

}  // namespace

std::string spelledOnDisk(const std::string& path) {
    if (path.empty() || entryExists(path)) return path;
    std::string resolved;
    size_t pos = 0;
    if (path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    bool missing = false;
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string component = path.substr(pos, end - pos);
        const bool last = end == path.size();
        if (!component.empty()) {
            std::string spelled = component;
            if (!missing && component != "." && component != ".." && !entryExists(resolved + component)) {
                if (auto variant = findCaseVariant(resolved, component)) {
                    spelled = *variant;
                } else {
                    missing = true;
                }
            }
            resolved += spelled;
        }
        if (!last) resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

std::optional<std::string> realSpelling(const std::string& path) {
    std::string spelled = spelledOnDisk(path);
    if (spelled.empty() || !entryExists(spelled)) return std::nullopt;
    return spelled;
}

}  // namespace qm::platform
