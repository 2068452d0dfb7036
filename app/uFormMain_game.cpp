// Game discovery, the mod list, the content root and the cache folder.
#include <QComboBox>
#include <QTabWidget>

#include "app/uFormMain.h"
#include "core/cache_list.h"
#include "core/discovery.h"

namespace qm {

void TFormMain::DiscoverGame() {
    const GameFolder found =
        qm::DiscoverGame({*S.fs, *S.registry, *S.dialogs, S.executablePath, S.systemDriveRoot});
    FGameDir = found.dir;
    FGameKind = found.kind;
    FGameName = gameName(FGameKind);
}

void TFormMain::FillModList() {
    FMods = ListModFolders(*S.fs, game());
    cmbMod->clear();
    for (const ModFolder& m : FMods) cmbMod->addItem(QString::fromStdString(m.name));
    cmbMod->setCurrentIndex(0);
}

void TFormMain::cmbModClick() {
    if (PageControl1->currentWidget() == TabSheetCache)
        ButtonRefreshClick();
    else
        ButtonRefreshMapsClick();
}

const ModFolder* TFormMain::selectedMod() const {
    const int i = cmbMod->currentIndex();
    if (i < 0 || i >= static_cast<int>(FMods.size())) return nullptr;
    return &FMods[static_cast<size_t>(i)];
}

std::string TFormMain::ContentRoot() const {
    const ModFolder* mod = selectedMod();
    return mod ? mod->path : FGameDir;
}

std::string TFormMain::CacheFolder() const { return CacheFolderOf(*S.fs, game(), ContentRoot()); }

CacheAccess TFormMain::cacheAccess() const {
    std::string folder = CacheFolder();
    std::string index = cacheIndexPath(*S.fs, folder);
    return {*S.fs, *S.ini, std::move(folder), std::move(index)};
}

}  // namespace qm
