// The version texts on arbitrary text: integers, stored and resource
// versions, the comparison of versions, the os-release values and kernel
// numbers. Reading never fails worse than "not a number", and what the
// program writes reads back as it was.
//
// Input: sixteen bytes of numbers, then a text.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/version.h"
#include "fuzz_support.h"

namespace {

namespace version = qm::version;

std::string hexText(uint32_t v, bool dollar) {
    char buf[16];
    std::snprintf(buf, sizeof buf, dollar ? "$%X" : "0x%x", static_cast<unsigned>(v));
    return buf;
}

// Split at every dot, as the stored version does when nothing is quoted or blank.
std::vector<std::string> splitAtDots(std::string_view s) {
    std::vector<std::string> parts;
    for (;;) {
        const size_t dot = s.find('.');
        parts.emplace_back(s.substr(0, dot));
        if (dot == std::string_view::npos) return parts;
        s.remove_prefix(dot + 1);
    }
}

bool quotedOrBlank(std::string_view s) {
    for (char c : s)
        if (c == '"' || static_cast<unsigned char>(c) <= 32) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qm::fuzz::InputReader in(data, size);
    const version::Numbers n{static_cast<int32_t>(in.word()), static_cast<int32_t>(in.word()),
                             static_cast<int32_t>(in.word()), static_cast<int32_t>(in.word())};
    const std::string_view text = in.rest();

    // Integers: any text; the program's own spellings read back.
    const std::optional<int32_t> parsed = version::parseInteger(text);
    FUZZ_CHECK(version::integerOrZero(text) == parsed.value_or(0));
    FUZZ_CHECK(version::parseInteger(std::to_string(n.major)) == n.major);
    FUZZ_CHECK(version::parseInteger("  " + std::to_string(n.minor)) == n.minor);
    FUZZ_CHECK(version::parseInteger(hexText(static_cast<uint32_t>(n.release), true)) == n.release);
    FUZZ_CHECK(version::parseInteger(hexText(static_cast<uint32_t>(n.build), false)) == n.build);
    if (parsed && *parsed != INT32_MIN && text.find_first_of("$xX") == std::string_view::npos)
        FUZZ_CHECK(version::parseInteger(std::to_string(*parsed)) == parsed);

    // Versions: what formatVersion writes reads back in both forms.
    const std::string written = version::formatVersion(n);
    FUZZ_CHECK(version::parseStoredVersion(written) == n);
    FUZZ_CHECK(version::splitFileVersion(written) == n);
    const std::vector<std::string> parts = version::splitStoredParts(text);
    if (!text.empty() && !quotedOrBlank(text)) FUZZ_CHECK(parts == splitAtDots(text));
    const version::Numbers stored = version::parseStoredVersion(text);
    version::splitFileVersion(text);

    // Comparison: nothing stored is never new, and no version is newer than itself.
    if (!version::isStoredVersion(stored)) FUZZ_CHECK(!version::isNewVersion(stored, n));
    FUZZ_CHECK(!version::isNewVersion(n, n));
    FUZZ_CHECK(!version::isNewVersion(stored, stored));

    // Resource texts.
    const std::string key = version::translationKey(static_cast<uint16_t>(n.major), static_cast<uint16_t>(n.minor));
    FUZZ_CHECK(key.size() == 8);
    FUZZ_CHECK(version::parseInteger("$" + key.substr(0, 4)) == static_cast<int32_t>(static_cast<uint16_t>(n.major)));
    FUZZ_CHECK(version::parseInteger("$" + key.substr(4)) == static_cast<int32_t>(static_cast<uint16_t>(n.minor)));
    version::specialBuildText(static_cast<uint32_t>(n.build));

    // The system's description: a later plain line wins; a release reads its numbers.
    version::osReleaseValue(text, "PRETTY_NAME");
    FUZZ_CHECK(version::osReleaseValue(std::string(text) + "\nPRETTY_NAME=\"Fuzz Linux\"\n", "PRETTY_NAME") == "Fuzz Linux");
    version::kernelNumbers(text);
    const uint32_t a = static_cast<uint32_t>(n.major), b = static_cast<uint32_t>(n.minor), c = static_cast<uint32_t>(n.release);
    const version::KernelNumbers k =
        version::kernelNumbers(std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "-" + std::string(text));
    FUZZ_CHECK(k.major == a && k.minor == b && k.patch == c);
    return 0;
}
