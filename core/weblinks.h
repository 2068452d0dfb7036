#pragma once
// The maker's web addresses: one place names the web server and the forum
// server, and QUILLMERE_SERVER (a mirror, or a test server) replaces both.
#include <string>
#include <string_view>

namespace qm::links {

// Base addresses: scheme and host, no port, no user part, no trailing "/".
inline constexpr const char* kWebServer = "http://www.harthollow.net";
inline constexpr const char* kForumServer = "http://forums.harthollow.net";

// The environment variable that replaces both servers with one base
// address such as "http://127.0.0.1:8080".
inline constexpr const char* kServerVariable = "QUILLMERE_SERVER";

struct Servers {
    std::string web;
    std::string forum;
};

// The maker's servers, or both replaced by `override` (blanks around it and
// trailing "/" dropped) when it is not empty. The value is used as given: a
// wrong one shows up as the failure of the request that uses it.
Servers servers(std::string_view override);

// Every address the program opens or fetches.
struct WebLinks {
    std::string updateDocument;  // the PAD document of the current release
    std::string productPage;     // where an update is downloaded
    std::string website;         // the root of the web server
    std::string forums;
    std::string donate;
};
WebLinks webLinks(const Servers& servers);
inline WebLinks webLinks(std::string_view override) { return webLinks(servers(override)); }

}  // namespace qm::links
