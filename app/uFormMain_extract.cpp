// Extraction of cache entries.
#include <QAction>
#include <QPushButton>

#include "app/uFormMain.h"

namespace qm {

void TFormMain::ButtonExtractClick(QObject*) {}
void TFormMain::miGoClick() { ButtonExtractClick(ButtonExtract); }
void TFormMain::miExtractToClick() { ButtonExtractClick(miExtractTo); }
bool TFormMain::ExtractEntry(int, TExtractRun&) { return false; }
std::string TFormMain::DestinationFolder(const std::string&) const { return {}; }
void TFormMain::ListBoxCacheClick() {}

}  // namespace qm
