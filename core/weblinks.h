#pragma once
// The maker's web addresses.
namespace qm::links {

inline constexpr const char* kWebsite = "http://www.harthollow.net/";
inline constexpr const char* kDonate = "http://www.harthollow.net/donate.html";
inline constexpr const char* kProductInfo = "http://www.harthollow.net/products.php#quillmere";
inline constexpr const char* kForums = "http://forums.harthollow.net/viewforum.php?f=5";

}  // namespace qm::links
