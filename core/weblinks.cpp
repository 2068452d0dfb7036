#include "weblinks.h"

namespace qm::links {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

Servers servers(std::string_view override) {
    while (!override.empty() && isBlank(override.front())) override.remove_prefix(1);
    while (!override.empty() && (isBlank(override.back()) || override.back() == '/')) override.remove_suffix(1);
    if (override.empty()) return {kWebServer, kForumServer};
    return {std::string(override), std::string(override)};
}

WebLinks webLinks(const Servers& s) {
    return {
        s.web + "/pad/quillmere.xml",
        s.web + "/products.php#quillmere",
        s.web + "/",
        s.forum + "/viewforum.php?f=5",
        s.web + "/donate.html",
    };
}

}  // namespace qm::links
