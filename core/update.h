#pragma once
// The update check's rules: the version published in the update document
// (a PAD file, read as plain text, not parsed as XML) and whether it is
// newer than the running one.
#include <optional>
#include <string>
#include <string_view>

#include "version.h"

namespace qm::update {

inline constexpr std::string_view kOpenTag = "<Program_Version>";
inline constexpr std::string_view kCloseTag = "</Program_Version>";

// The version text of a document: what follows the first opening tag (the
// tag is case-sensitive) up to the first closing tag after it. An empty
// element, or one that is never closed, gives everything after the opening
// tag; a document without the tag gives the whole body.
std::string versionText(std::string_view body);

// The version a document publishes: major, minor and release from the first
// three dot-separated parts of its version text (split like a stored
// version; a missing part counts as 0, the build is not read). A document
// without a usable version, such as an HTML error page or a captive
// portal's login page, gives `problem`: what is wrong with it.
struct Published {
    std::optional<version::Numbers> version;
    std::string problem;
};
Published publishedVersion(std::string_view body);

// Newer means a higher major number; or the same major and a higher minor;
// or both the same and a higher release. The build is not compared.
bool isNewer(const version::Numbers& published, const version::Numbers& running);

}  // namespace qm::update
