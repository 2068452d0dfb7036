// Cache validation.
#include "app/uFormMain.h"

namespace qm {

void TFormMain::ButtonValidateClick() {}
void TFormMain::miValidateClick() { ButtonValidateClick(); }
void TFormMain::ValidateCacheFiles() {}
std::vector<std::string> TFormMain::ListMatchingFiles(const std::string&) { return {}; }

}  // namespace qm
