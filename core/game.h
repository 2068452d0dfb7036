#pragma once
// Game kinds and the one table of what the program knows about each game:
// names, executables, where installers record the game, where its default
// folder is, and which folder each package type belongs in.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

using TGameKind = uint8_t;
inline constexpr TGameKind gkUT2003 = 0;
inline constexpr TGameKind gkUT = 1;
inline constexpr TGameKind gkUT2004 = 2;
inline constexpr TGameKind gkUnreal = 3;

// A game the program can find and serve.
struct GameInfo {
    TGameKind kind;
    const char* shortName;       // "UT2004": discovery questions
    const char* executable;      // in the game's System folder
    const char* demoExecutable;  // the demo's executable, or nullptr
    const char* installedAppsKey;  // local machine; value "Folder"
    const char* mapOpenCommandKey;  // classes root; default value: the open command
    const char* defaultFolder;   // below the system drive
};

// UT2004, UT2003, UT: the order every discovery step looks in.
const std::vector<GameInfo>& knownGames();
// The row of `kind`; nullptr for a kind the table does not hold.
const GameInfo* gameInfo(TGameKind kind);
// "<defaultFolder>\system\<executable>": where the game's default
// installation keeps its executable, relative to the system drive.
std::string defaultExecutablePath(const GameInfo& game);

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
// Every folder FolderForExtension can name for `kind`, sorted, without "".
std::vector<std::string> contentFolders(TGameKind kind);

}  // namespace qm
