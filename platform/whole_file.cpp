// The temporary-name scheme of whole-file replacements, shared by both halves.
#include "platform/whole_file.h"

#include <cstdio>

namespace qm::platform {

namespace {

constexpr size_t kRandomDigits = 8;

bool isLowerHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

}  // namespace

std::string temporaryNameFor(std::string_view fileName, uint32_t random) {
    char digits[kRandomDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random));
    std::string name(fileName);
    name += kTemporaryMark;
    name += digits;
    return name;
}

bool isTemporaryNameOf(std::string_view candidate, std::string_view fileName) {
    const size_t prefix = fileName.size() + kTemporaryMark.size();
    if (candidate.size() != prefix + kRandomDigits) return false;
    if (candidate.substr(0, fileName.size()) != fileName) return false;
    if (candidate.substr(fileName.size(), kTemporaryMark.size()) != kTemporaryMark) return false;
    for (char c : candidate.substr(prefix))
        if (!isLowerHexDigit(c)) return false;
    return true;
}

}  // namespace qm::platform
