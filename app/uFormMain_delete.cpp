// Deletion of cache entries.
#include <QAction>
#include <QPushButton>

#include "app/uFormMain.h"

namespace qm {

void TFormMain::miDeleteCacheFileEntryClick(QObject*) {}
void TFormMain::BitBtn1Click() { miDeleteCacheFileEntryClick(miDeleteCacheFileEntry); }
bool TFormMain::DeleteEntry(int) { return false; }

}  // namespace qm
