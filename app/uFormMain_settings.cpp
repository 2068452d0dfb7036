// Options in the registry and run-version tracking.
#include "app/uFormMain.h"

namespace qm {

void TFormMain::LoadSettingsFromReg() {}
void TFormMain::LoadGameSettingsFromReg() {}
void TFormMain::SaveSettingsToReg() {}
void TFormMain::SaveGameSettingsToReg() {}
void TFormMain::ReadLastRunVersion(int32_t& major, int32_t& minor, int32_t& release, int32_t& build) {
    major = minor = release = build = 0;
}
bool TFormMain::IsNewVersion() { return false; }
void TFormMain::StoreRunVersion() {}

}  // namespace qm
