#include "paths.h"

#include <vector>

namespace qm::path {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

namespace {

// Length of the root prefix of `p`: "/" (1), "C:\" or "C:/" (3), "C:" (2),
// a UNC "\\server\share\" is not treated specially.
size_t rootLength(std::string_view p) {
    if (p.size() >= 2 && p[1] == ':' &&
        ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z'))) {
        return (p.size() >= 3 && isSeparator(p[2])) ? 3 : 2;
    }
    if (!p.empty() && isSeparator(p[0])) return 1;
    return 0;
}

bool isRoot(std::string_view p) {
    size_t r = rootLength(p);
    return r > 0 && r == p.size() && (r == 1 || r == 3);
}

}  // namespace

std::string withTrailingSeparator(std::string_view folder) {
    if (folder.empty()) return {};
    std::string s(folder);
    if (!isSeparator(s.back())) s += kSeparator;
    return s;
}

std::string withoutTrailingSeparator(std::string_view folder) {
    std::string s(folder);
    while (!s.empty() && isSeparator(s.back()) && !isRoot(s)) s.pop_back();
    return s;
}

std::string join(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string s(folder);
    if (!isSeparator(s.back())) s += kSeparator;
    size_t i = 0;
    while (i < name.size() && isSeparator(name[i])) ++i;
    s.append(name.substr(i));
    return s;
}

std::string parentOfFolder(std::string_view folder) {
    std::string_view p = folder;
    if (!p.empty() && isSeparator(p.back())) p.remove_suffix(1);
    size_t cut = p.find_last_of("/\\");
    if (cut == std::string_view::npos) return {};
    return std::string(p.substr(0, cut));
}

std::string fileName(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string folderPart(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string extension(std::string_view path) {
    std::string name = fileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string baseName(std::string_view path) {
    std::string name = fileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string replaceExtension(std::string_view path, std::string_view ext) {
    std::string folder = folderPart(path);
    return folder + baseName(path) + std::string(ext);
}

std::string native(std::string_view path) {
    std::string s(path);
    for (char& c : s)
        if (isSeparator(c)) c = kSeparator;
    return s;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string toLower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = toLowerAscii(c);
    return r;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
    return true;
}

bool startsWithIgnoreCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoreCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && equalsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // As in the classic folder search, "*.*" also matches names without a dot.
    if (pattern == "*.*") return true;
    // Iterative matcher with one backtrack point: linear in practice.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    // A '*' of the pattern is always the wildcard, also where the name holds
    // a '*' itself (a legal character of POSIX file names).
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace qm::path
