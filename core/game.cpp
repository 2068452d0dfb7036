#include "game.h"

#include <algorithm>

#include "paths.h"

namespace qm {

namespace {

// Which folder a package type belongs in, for the UT200x games and for UT.
struct ExtensionRow {
    const char* ext;
    const char* ut200x;
    const char* ut;
};

constexpr ExtensionRow kExtensions[] = {
    {"ukx", "Animations", ""}, {"ifr", "ForceFeedback", ""}, {"ut2", "Maps", ""},
    {"ogg", "Music", ""},      {"uax", "Sounds", "Sounds"},  {"usx", "StaticMeshes", ""},
    {"u", "System", ""},       {"int", "System", ""},        {"utx", "Textures", "Textures"},
    {"unr", "", "Maps"},       {"umx", "", "Music"},
};

bool hasExtensionTable(TGameKind kind) { return kind == gkUT2003 || kind == gkUT2004 || kind == gkUT; }

}  // namespace

const std::vector<GameInfo>& knownGames() {
    static const std::vector<GameInfo> games = {
        {gkUT2004, "UT2004", "UT2004.exe", "ut2004demo.exe", "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004",
         "\\UT2004.Map\\Shell\\open\\command", "UT2004"},
        {gkUT2003, "UT2003", "UT2003.exe", "ut2003demo.exe", "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003",
         "\\UT2003.Map\\Shell\\open\\command", "UT2003"},
        {gkUT, "UT", "UnrealTournament.exe", nullptr,
         "SOFTWARE\\Unreal Technology\\Installed Apps\\UnrealTournament", "\\Unreal.Map\\Shell\\open\\command",
         "UnrealTournament"},
    };
    return games;
}

const GameInfo* gameInfo(TGameKind kind) {
    for (const GameInfo& g : knownGames())
        if (g.kind == kind) return &g;
    return nullptr;
}

std::string defaultExecutablePath(const GameInfo& game) {
    // The UT200x installers name the executable in lower case here; the
    // question that offers the folder shows this spelling.
    const std::string exe = game.kind == gkUT ? game.executable : path::toLower(game.executable);
    return std::string(game.defaultFolder) + "\\system\\" + exe;
}

std::string gameName(TGameKind kind) {
    switch (kind) {
        case gkUT2003: return "UT2003";
        case gkUT: return "Unreal Tournament";
        case gkUT2004: return "UT2004";
        case gkUnreal: return "Unreal";
        default: return "Unreal Engine Game";
    }
}

std::string defaultModCaption(TGameKind kind) {
    switch (kind) {
        case gkUT2003: return "UT2003 (default)";
        case gkUT: return "UT (default)";
        case gkUT2004: return "UT2004 (default)";
        case gkUnreal: return "Unreal (default)";
        default: return "";
    }
}

std::string discoveryName(TGameKind kind) {
    const GameInfo* g = gameInfo(kind);
    return g ? g->shortName : gameName(kind);
}

std::string FolderForExtension(TGameKind kind, std::string_view extension) {
    std::string ext;
    for (char c : extension)
        if (c != '.') ext += path::toLowerAscii(c);
    if (!hasExtensionTable(kind)) return {};
    for (const ExtensionRow& r : kExtensions)
        if (ext == r.ext) return kind == gkUT ? r.ut : r.ut200x;
    return {};
}

std::vector<std::string> contentFolders(TGameKind kind) {
    std::vector<std::string> folders;
    if (!hasExtensionTable(kind)) return folders;
    for (const ExtensionRow& r : kExtensions) {
        const std::string f = kind == gkUT ? r.ut : r.ut200x;
        if (!f.empty() && std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

}  // namespace qm
