#pragma once
// The maker's web addresses.
namespace qm::links {

inline constexpr const char* kDonate = "http://www.harthollow.net/donate.html";

}  // namespace qm::links
