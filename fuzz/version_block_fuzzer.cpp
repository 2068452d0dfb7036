// The version-block reader on arbitrary executable bytes: reading never
// fails worse than "no block"; a block read back from what the writer makes
// of it is the same block; the search finds a block that starts the bytes,
// and finds it again behind any bytes that hold no marker.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/version.h"
#include "fuzz_support.h"

namespace {

using qm::version::Resource;

bool sameFixed(const qm::version::FixedInfo& a, const qm::version::FixedInfo& b) {
    return a.fileVersion == b.fileVersion && a.productVersion == b.productVersion && a.fileFlagsMask == b.fileFlagsMask &&
           a.fileFlags == b.fileFlags && a.fileOS == b.fileOS && a.fileType == b.fileType;
}

bool sameResource(const Resource& a, const Resource& b) {
    if (a.fixed.has_value() != b.fixed.has_value() || (a.fixed && !sameFixed(*a.fixed, *b.fixed))) return false;
    if (a.translations != b.translations || a.strings.size() != b.strings.size()) return false;
    for (size_t i = 0; i < a.strings.size(); ++i)
        if (a.strings[i].table != b.strings[i].table || a.strings[i].name != b.strings[i].name ||
            a.strings[i].value != b.strings[i].value)
            return false;
    return true;
}

// The bytes with every copy of the marker broken, so that nothing in them
// can begin a block.
std::string withoutMarkers(std::string bytes) {
    const std::string marker = qm::version::blockMarker();
    for (size_t at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at)) bytes[at] = '_';
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::optional<Resource> found = qm::version::findBlock(bytes);
    const std::optional<Resource> atStart = qm::version::readBlock(bytes);
    if (atStart) {
        FUZZ_CHECK(found && sameResource(*found, *atStart));
    }

    // The input's own block, or else one the writer makes of a resource
    // built from the input's text, must come back whole.
    Resource r;
    if (found) {
        r = *found;
    } else {
        qm::fuzz::InputReader in(data, size);
        std::string_view part = in.upTo('\0');
        r.translations.emplace_back(static_cast<uint16_t>(in.word()), static_cast<uint16_t>(in.word()));
        while (!in.empty() && r.strings.size() < 8) {
            const std::string table(in.upTo('\0')), name(in.upTo('\0')), value(in.upTo('\0'));
            r.strings.push_back({table, name, value});
        }
        if (!part.empty()) r.fixed = qm::version::FixedInfo{qm::version::splitFileVersion(part), {1, 2, 3, 4}, 0x3F, 0, 4, 1};
        // The fixed part holds numbers of 16 bits each.
        if (r.fixed) {
            auto& v = r.fixed->fileVersion;
            for (int32_t* n : {&v.major, &v.minor, &v.release, &v.build}) *n = static_cast<int32_t>(static_cast<uint32_t>(*n) & 0xFFFF);
        }
    }
    const std::string block = qm::version::writeBlock(r);
    const std::optional<Resource> back = qm::version::readBlock(block);
    FUZZ_CHECK(back && sameResource(*back, r));

    // Behind bytes without a marker, and followed by anything, the search
    // finds that block.
    const std::string file = withoutMarkers(std::string(bytes)) + block + std::string(bytes);
    const std::optional<Resource> inFile = qm::version::findBlock(file);
    FUZZ_CHECK(inFile && sameResource(*inFile, r));
    return 0;
}
