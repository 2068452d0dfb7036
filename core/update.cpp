#include "update.h"

#include <cstdint>
#include <tuple>
#include <vector>

namespace qm::update {

namespace {

// A whole number written in decimal digits only, within 32 bits: a version
// part is never signed or hexadecimal.
std::optional<int32_t> wholeNumber(std::string_view part) {
    if (part.empty() || part.size() > 10) return std::nullopt;
    int64_t v = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

// The version text as a failure message shows it: on one line, and short
// enough for a dialog even when it is the rest of a whole web page.
std::string quoted(std::string_view text) {
    std::string shown;
    bool blank = false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= ' ') {
            blank = !shown.empty();
            continue;
        }
        if (blank) shown += ' ';
        blank = false;
        shown += c;
        if (shown.size() >= 40) {
            shown += "...";
            break;
        }
    }
    return "\"" + shown + "\"";
}

}  // namespace

std::string versionText(std::string_view body) {
    const size_t open = body.find(kOpenTag);
    if (open == std::string_view::npos) return std::string(body);
    const std::string_view rest = body.substr(open + kOpenTag.size());
    const size_t close = rest.find(kCloseTag);
    if (close == std::string_view::npos || close == 0) return std::string(rest);
    return std::string(rest.substr(0, close));
}

Published publishedVersion(std::string_view body) {
    if (body.find(kOpenTag) == std::string_view::npos)
        return {std::nullopt, "The update document names no version (it has no <Program_Version> element)."};
    const std::string text = versionText(body);
    const std::vector<std::string> parts = version::splitStoredParts(text);
    if (parts.empty()) return {std::nullopt, "The update document's version is empty."};
    version::Numbers v;
    int32_t* targets[] = {&v.major, &v.minor, &v.release};
    for (size_t i = 0; i < parts.size() && i < 3; ++i) {
        const std::optional<int32_t> n = wholeNumber(parts[i]);
        if (!n) return {std::nullopt, "The update document's version " + quoted(text) + " is not a version number."};
        *targets[i] = *n;
    }
    return {v, ""};
}

bool isNewer(const version::Numbers& published, const version::Numbers& running) {
    return std::tie(published.major, published.minor, published.release) >
           std::tie(running.major, running.minor, running.release);
}

}  // namespace qm::update
