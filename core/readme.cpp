#include "readme.h"

#include <vector>

#include "paths.h"

namespace qm::readme {

std::string besideProgram(std::string_view executable) { return path::replaceExtension(executable, ".txt"); }

std::string installed(std::string_view executable, std::string_view relative) {
    if (relative.empty()) return {};
    const std::string joined = path::folderPart(executable) + std::string(relative);
    // Split into steps, take "." and ".." lexically, join again. A leading
    // separator (the root) is kept; a ".." above the root stays at the root.
    const bool rooted = !joined.empty() && path::isSeparator(joined.front());
    std::vector<std::string> steps;
    std::string step;
    auto take = [&] {
        if (step == "..") {
            if (!steps.empty() && steps.back() != "..")
                steps.pop_back();
            else if (!rooted)
                steps.push_back(step);
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        step.clear();
    };
    for (char c : joined) {
        if (path::isSeparator(c))
            take();
        else
            step += c;
    }
    take();
    std::string out = rooted ? std::string(1, path::kSeparator) : std::string();
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i) out += path::kSeparator;
        out += steps[i];
    }
    return out;
}

}  // namespace qm::readme
