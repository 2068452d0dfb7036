// The update document's version on arbitrary bodies (a PAD file, an HTML
// error page, a captive portal, cut-off text): the reader gives either a
// version or a short reason, never both; a version that a document carries
// in its element is read back; and "newer" orders versions consistently.
//
// Input: twelve bytes of numbers, then the body.
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "core/update.h"
#include "core/version.h"
#include "fuzz_support.h"

namespace {

namespace update = qm::update;
using qm::version::Numbers;

bool sameRelease(const Numbers& a, const Numbers& b) {
    return std::tie(a.major, a.minor, a.release) == std::tie(b.major, b.minor, b.release);
}

// The body with every opening tag broken, so that it holds none.
std::string withoutOpenTag(std::string body) {
    for (size_t at = body.find(update::kOpenTag); at != std::string::npos; at = body.find(update::kOpenTag, at)) body[at] = '(';
    return body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qm::fuzz::InputReader in(data, size);
    // Whole numbers as a published version holds them: not negative.
    const Numbers n{static_cast<int32_t>(in.word() & 0x7FFFFFFF), static_cast<int32_t>(in.word() & 0x7FFFFFFF),
                    static_cast<int32_t>(in.word() & 0x7FFFFFFF), 0};
    const std::string_view body = in.rest();

    const std::string text = update::versionText(body);
    if (body.find(update::kOpenTag) == std::string_view::npos) FUZZ_CHECK(text == body);
    FUZZ_CHECK(text.size() <= body.size());

    const update::Published p = update::publishedVersion(body);
    FUZZ_CHECK(p.version.has_value() != !p.problem.empty());
    // The reason goes into a dialog: the body is shown cut short.
    FUZZ_CHECK(p.problem.size() < 200);
    if (p.version) FUZZ_CHECK(p.version->major >= 0 && p.version->minor >= 0 && p.version->release >= 0 && p.version->build == 0);

    // A document that publishes n in its element, whatever stands around it.
    const std::string document = withoutOpenTag(std::string(body)) + std::string(update::kOpenTag) + std::to_string(n.major) +
                                 "." + std::to_string(n.minor) + "." + std::to_string(n.release) + ".77" +
                                 std::string(update::kCloseTag) + std::string(body);
    const update::Published published = update::publishedVersion(document);
    FUZZ_CHECK(published.version && sameRelease(*published.version, n));

    // Newer: never both ways, never of itself, and neither way only for the same release.
    if (p.version) {
        const bool forward = update::isNewer(*p.version, n), backward = update::isNewer(n, *p.version);
        FUZZ_CHECK(!(forward && backward));
        FUZZ_CHECK(forward || backward || sameRelease(*p.version, n));
        FUZZ_CHECK(!update::isNewer(*p.version, *p.version));
    }
    return 0;
}
