#pragma once
// Game kinds and the tables that depend on them.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

using TGameKind = uint8_t;
inline constexpr TGameKind gkUT2003 = 0;
inline constexpr TGameKind gkUT = 1;
inline constexpr TGameKind gkUT2004 = 2;
inline constexpr TGameKind gkUnreal = 3;

// "UT2003", "Unreal Tournament", "UT2004", "Unreal", else "Unreal Engine Game".
std::string gameName(TGameKind kind);
// The caption of the mod list's first entry ("UT2004 (default)"); empty for
// a kind outside 0 to 3.
std::string defaultModCaption(TGameKind kind);
// The short name used in the discovery questions: "UT2004", "UT2003", "UT".
std::string discoveryName(TGameKind kind);

// Destination subfolder (relative to a content root) for a file extension:
// the dots are removed and the rest compared in lower case. Empty means the
// content root itself.
std::string FolderForExtension(TGameKind kind, std::string_view extension);

}  // namespace qm
