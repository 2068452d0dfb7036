#include "game.h"

#include "paths.h"

namespace qm {

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
    switch (kind) {
        case gkUT2003: return "UT2003";
        case gkUT: return "UT";
        case gkUT2004: return "UT2004";
        default: return gameName(kind);
    }
}

std::string FolderForExtension(TGameKind kind, std::string_view extension) {
    std::string ext;
    for (char c : extension)
        if (c != '.') ext += path::toLowerAscii(c);

    struct Row {
        const char* ext;
        const char* ut200x;
        const char* ut;
    };
    static const Row rows[] = {
        {"ukx", "Animations", ""}, {"ifr", "ForceFeedback", ""}, {"ut2", "Maps", ""},
        {"ogg", "Music", ""},      {"uax", "Sounds", "Sounds"},  {"usx", "StaticMeshes", ""},
        {"u", "System", ""},       {"int", "System", ""},        {"utx", "Textures", "Textures"},
        {"unr", "", "Maps"},       {"umx", "", "Music"},
    };
    if (kind != gkUT2003 && kind != gkUT2004 && kind != gkUT) return {};
    for (const Row& r : rows)
        if (ext == r.ext) return kind == gkUT ? r.ut : r.ut200x;
    return {};
}

}  // namespace qm
