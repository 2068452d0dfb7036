// Path spelling on Windows: the system matches names without regard to case
// itself; the real spelling comes from a folder search per component.
#include "platform/spelling.h"

#include "platform/win32/wide_text.h"

namespace qm::platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the part of `path` that names no folder entry: "C:\", "C:",
// "\\server\share\", "\" or nothing.
size_t rootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && isSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        size_t pos = 2;
        for (int part = 0; part < 2 && pos <= path.size(); ++part) {
            while (pos < path.size() && !isSeparator(path[pos])) ++pos;
            if (pos < path.size()) ++pos;
        }
        return pos > path.size() ? path.size() : pos;
    }
    return !path.empty() && isSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::string spelledOnDisk(const std::string& path) { return path; }

std::optional<std::string> realSpelling(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return std::nullopt;
    const size_t root = rootLength(path);
    std::string spelled = path.substr(0, root);
    size_t pos = root;
    bool anyComponent = false;
    while (pos < path.size()) {
        size_t end = pos;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        const std::string component = path.substr(pos, end - pos);
        if (component.empty() || component == "." || component == "..") {
            spelled += component;
        } else {
            WIN32_FIND_DATAW data{};
            const HANDLE h = FindFirstFileW(wide(spelled + component).c_str(), &data);
            if (h == INVALID_HANDLE_VALUE) return std::nullopt;
            FindClose(h);
            spelled += narrow(data.cFileName);
            anyComponent = true;
        }
        if (end < path.size()) spelled += path[end];  // the separator as given
        pos = end + 1;
    }
    if (!anyComponent && GetFileAttributesW(wide(spelled).c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return spelled;
}

}  // namespace qm::platform
