// Game discovery, the mod list, the content root and the cache folder.
#include <QComboBox>
#include <QTabWidget>

#include "app/uFormMain.h"
#include "core/paths.h"
#include "core/filesystem.h"
#include "core/registry.h"

namespace qm {

namespace {

struct InstallLookup {
    TGameKind kind;
    const char* hklmKey;       // value "Folder"
    const char* classesKey;    // default value: the shell's open command
    const char* defaultExe;    // under the system drive
    const char* defaultFolder;
};

const InstallLookup kLookups[] = {
    {gkUT2004, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "\\UT2004.Map\\Shell\\open\\command",
     "UT2004\\system\\UT2004.exe", "UT2004"},
    {gkUT2003, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "\\UT2003.Map\\Shell\\open\\command",
     "UT2003\\system\\UT2003.exe", "UT2003"},
    {gkUT, "SOFTWARE\\Unreal Technology\\Installed Apps\\UnrealTournament", "\\Unreal.Map\\Shell\\open\\command",
     "UnrealTournament\\System\\UnrealTournament.exe", "UnrealTournament"},
};

// A text value of a key opened for reading; "" when the key or value is
// missing or holds another type.
std::string readText(Registry& reg, RegRoot root, const std::string& key, const std::string& value) {
    auto k = reg.openForReading(root, key, RegAccess::Read);
    if (!k) return {};
    try {
        return k->readString(value);
    } catch (const Error&) {
        return {};
    }
}

}  // namespace

std::string TFormMain::onSystemDrive(const std::string& relative) const {
    // Without a system drive the file-system root stands in, so a fallback
    // folder is never relative to wherever the program was started.
    const std::string root = S.systemDriveRoot.empty() ? std::string(1, path::kSeparator) : S.systemDriveRoot;
    return path::native(path::join(root, relative));
}

bool TFormMain::DetectGameBesideProgram() {
    const std::string p = path::withTrailingSeparator(path::folderPart(S.executablePath));
    const std::string self = path::withoutTrailingSeparator(p);
    const std::string parent = path::parentOfFolder(p);
    auto has = [&](const char* a, const char* b) {
        return S.fs->fileExists(path::native(p + a)) || (b && S.fs->fileExists(path::native(p + b)));
    };
    struct Step {
        const char* file;
        const char* demo;
        bool inSystem;  // the program's folder is the game folder
        TGameKind kind;
    };
    const Step steps[] = {
        {"system/UT2004.exe", "system/ut2004demo.exe", true, gkUT2004},
        {"UT2004.exe", "ut2004demo.exe", false, gkUT2004},
        {"system/UT2003.exe", "system/ut2003demo.exe", true, gkUT2003},
        {"UT2003.exe", "ut2003demo.exe", false, gkUT2003},
        {"system/UnrealTournament.exe", nullptr, true, gkUT},
        {"UnrealTournament.exe", nullptr, false, gkUT},
    };
    bool found = false;
    for (const Step& s : steps) {
        if (!has(s.file, s.demo)) continue;
        FGameDir = s.inSystem ? self : parent;
        FGameKind = s.kind;
        found = true;
    }
    return found;
}

bool TFormMain::FindInstalledGame(TGameKind kind, std::string& folder) {
    folder.clear();
    for (const InstallLookup& l : kLookups) {
        if (l.kind != kind) continue;
        folder = readText(*S.registry, RegRoot::LocalMachine, l.hklmKey, "Folder");
        if (!folder.empty()) return true;
        std::string command = readText(*S.registry, RegRoot::ClassesRoot, l.classesKey, "");
        if (!command.empty()) {
            // Cut before the last backslash, then keep up to and including
            // the last one that remains.
            size_t cut = command.rfind('\\');
            command = cut == std::string::npos ? command : command.substr(0, cut);
            cut = command.rfind('\\');
            folder = cut == std::string::npos ? std::string() : command.substr(0, cut + 1);
            return true;
        }
        if (!S.systemDriveRoot.empty() && S.fs->fileExists(onSystemDrive(l.defaultExe))) {
            folder = onSystemDrive(l.defaultFolder);
            return true;
        }
        return false;
    }
    return false;
}

void TFormMain::DiscoverGame() {
    const std::string keepLooking = ".  Choose \"Yes\" to use this directory,  or \"No\" to keep looking?";
    if (!DetectGameBesideProgram()) {
        for (TGameKind kind : {gkUT2004, gkUT2003, gkUT}) {
            std::string folder;
            if (!FGameDir.empty() || !FindInstalledGame(kind, folder)) continue;
            if (ask(DlgKind::Confirmation, "Found " + discoveryName(kind) + " in " + folder + keepLooking,
                    {DlgButton::Yes, DlgButton::No}) == DlgButton::Yes) {
                FGameDir = folder;
                FGameKind = kind;
            }
        }
        struct Fixed {
            const char* exe;
            const char* folder;
            TGameKind kind;
        };
        const Fixed fixed[] = {
            {"UT2004\\system\\ut2004.exe", "UT2004", gkUT2004},
            {"UT2003\\system\\ut2003.exe", "UT2003", gkUT2003},
            {"UnrealTournament\\system\\UnrealTournament.exe", "UnrealTournament", gkUT},
        };
        for (const Fixed& f : fixed) {
            if (!FGameDir.empty() || S.systemDriveRoot.empty()) continue;
            const std::string exe = onSystemDrive(f.exe);
            if (!S.fs->fileExists(exe)) continue;
            if (ask(DlgKind::Confirmation, "Found " + discoveryName(f.kind) + " in " + exe + keepLooking,
                    {DlgButton::Yes, DlgButton::No}) == DlgButton::Yes) {
                FGameDir = path::withTrailingSeparator(onSystemDrive(f.folder));
                FGameKind = f.kind;
            }
        }
        if (FGameDir.empty())
            ask(DlgKind::Warning, "Can't Find a UT, UT2003 or UT2004 folder.", {DlgButton::OK});
    }
    if (FGameDir.empty()) {
        if (auto chosen = S.dialogs->browseForFolder("Select Your UT, UT2003, OR UT2004 Folder")) {
            FGameDir = path::withoutTrailingSeparator(*chosen);
            const std::pair<const char*, TGameKind> probes[] = {
                {"system/ut2004.exe", gkUT2004}, {"system/ut2004demo.exe", gkUT2004},
                {"system/ut2003.exe", gkUT2003}, {"system/ut2003demo.exe", gkUT2003},
                {"system/UnrealTournament.exe", gkUT},
            };
            bool known = false;
            for (const auto& [file, kind] : probes) {
                if (S.fs->fileExists(path::native(path::join(FGameDir, file)))) {
                    FGameKind = kind;
                    known = true;
                    break;
                }
            }
            if (!known)
                ask(DlgKind::Warning, "That does not appear to be a valid UT/UT2003/UT2004 folder", {DlgButton::OK});
        } else {
            FGameDir = path::withTrailingSeparator(onSystemDrive("UT2004"));
        }
    }
    FGameName = gameName(FGameKind);
    FGameDir = path::withTrailingSeparator(FGameDir);
}

void TFormMain::FillModList() {
    cmbMod->clear();
    cmbMod->addItem(QString::fromStdString(defaultModCaption(FGameKind)), QString::fromStdString(FGameDir));
    cmbMod->setCurrentIndex(0);
    for (const DirEntry& e : S.fs->list(FGameDir, "*.*")) {
        if (!e.isPlainFolder()) continue;
        const std::string d = path::withTrailingSeparator(FGameDir + e.name);
        if (S.fs->folderExists(d + "Maps"))
            cmbMod->addItem(QString::fromStdString(e.name), QString::fromStdString(d));
    }
}

void TFormMain::cmbModClick() {
    if (PageControl1->currentWidget() && PageControl1->currentWidget()->objectName() == QLatin1String("TabSheetCache"))
        ButtonRefreshClick();
    else
        ButtonRefreshMapsClick();
}

std::string TFormMain::ContentRoot() const {
    const int i = cmbMod->currentIndex();
    if (i < 0) return FGameDir;
    const QString folder = cmbMod->itemData(i).toString();
    return folder.isEmpty() ? FGameDir : folder.toStdString();
}

std::string TFormMain::CacheFolder() const {
    const std::string gameCache = FGameDir + "Cache" + path::kSeparator;
    const int i = cmbMod->currentIndex();
    if (i < 0) return gameCache;
    const QString folder = cmbMod->itemData(i).toString();
    if (folder.isEmpty()) return gameCache;
    const std::string modCache = folder.toStdString() + "Cache" + path::kSeparator;
    return S.fs->fileExists(modCache + "Cache.ini") ? modCache : gameCache;
}

}  // namespace qm
