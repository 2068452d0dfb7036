// Options in the registry and run-version tracking.
#include <QAction>

#include "app/uFormMain.h"
#include "app/uVersion.h"
#include "core/registry.h"
#include "core/version.h"

namespace qm {

namespace {

const char* const kGlobalKey = "SOFTWARE\\Harthollow\\Quillmere";

std::string gameKey(const std::string& gameName) { return std::string(kGlobalKey) + "\\" + gameName; }

// Read access first, then the narrower levels; nullptr when the key is
// missing or closed to the user. Never creates the key.
std::unique_ptr<RegKey> openForReading(Registry& registry, const std::string& path) {
    for (RegAccess access : {RegAccess::Read, RegAccess::QueryAndEnumerate, RegAccess::QueryValue})
        if (auto key = registry.openForReading(RegRoot::LocalMachine, path, access)) return key;
    return nullptr;
}

bool readBool(RegKey& key, const char* name) { return key.readInteger(name) != 0; }

void writeBool(RegKey& key, const char* name, bool value) { key.writeInteger(name, value ? 1 : 0); }

version::Numbers runningVersion(const std::string& executablePath) {
    version::Numbers v;
    std::string specialBuild;
    // A failure leaves zeros, which is what the caller stores.
    GetFileVersion(executablePath, v.major, v.minor, v.release, v.build, specialBuild);
    return v;
}

}  // namespace

void TFormMain::LoadSettingsFromReg() {
    FFirstRun = true;
    miAutoCheckUpdate->setChecked(false);
    auto key = openForReading(*S.registry, kGlobalKey);
    if (!key) return;
    FFirstRun = key->valueExists("FirstRun") ? readBool(*key, "FirstRun") : true;
    FAskDoUCCExportCache = key->valueExists("AskDoUCCExportCache") ? readBool(*key, "AskDoUCCExportCache") : true;
    if (key->valueExists("AutoUpdateCheck")) miAutoCheckUpdate->setChecked(readBool(*key, "AutoUpdateCheck"));
    if (key->valueExists("ShowAllMessages")) miShowAllMessages->setChecked(readBool(*key, "ShowAllMessages"));
    if (key->valueExists("DoUCCExportCache")) miDoUCCExportCache->setChecked(readBool(*key, "DoUCCExportCache"));
}

void TFormMain::LoadGameSettingsFromReg() {
    miDoUCCExportCache->setChecked(false);
    if (FGameName.empty()) return;
    auto key = openForReading(*S.registry, gameKey(FGameName));
    if (!key) return;  // the flag keeps what the global load gave it
    FAskDoUCCExportCache = key->valueExists("AskDoUCCExportCache") ? readBool(*key, "AskDoUCCExportCache") : true;
    if (key->valueExists("DoUCCExportCache")) miDoUCCExportCache->setChecked(readBool(*key, "DoUCCExportCache"));
}

void TFormMain::SaveSettingsToReg() {
    auto key = S.registry->openOrCreate(RegRoot::LocalMachine, kGlobalKey);
    if (!key) return;
    writeBool(*key, "AutoUpdateCheck", miAutoCheckUpdate->isChecked());
    writeBool(*key, "FirstRun", false);
    writeBool(*key, "ShowAllMessages", miShowAllMessages->isChecked());
}

void TFormMain::SaveGameSettingsToReg() {
    if (FGameName.empty()) return;
    auto key = S.registry->openOrCreate(RegRoot::LocalMachine, gameKey(FGameName));
    if (!key) return;
    writeBool(*key, "DoUCCExportCache", miDoUCCExportCache->isChecked());
    writeBool(*key, "AskDoUCCExportCache", FAskDoUCCExportCache);
}

void TFormMain::ReadLastRunVersion(int32_t& major, int32_t& minor, int32_t& release, int32_t& build) {
    major = minor = release = build = 0;
    auto key = openForReading(*S.registry, kGlobalKey);
    if (!key || !key->valueExists("LastRunVersion")) return;
    // An empty or blank text has no parts: no version stored.
    const version::Numbers v = version::parseStoredVersion(key->readString("LastRunVersion"));
    major = v.major;
    minor = v.minor;
    release = v.release;
    build = v.build;
}

bool TFormMain::IsNewVersion() {
    version::Numbers stored;
    ReadLastRunVersion(stored.major, stored.minor, stored.release, stored.build);
    // With nothing stored the running version is not looked at.
    if (!version::isStoredVersion(stored)) return false;
    return version::isNewVersion(stored, runningVersion(S.executablePath));
}

void TFormMain::StoreRunVersion() {
    const std::string text = version::formatVersion(runningVersion(S.executablePath));
    auto key = S.registry->openOrCreate(RegRoot::LocalMachine, kGlobalKey);
    if (!key) return;
    key->writeString("LastRunVersion", text);
}

}  // namespace qm
