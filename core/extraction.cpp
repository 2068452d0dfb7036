#include "extraction.h"

#include "error.h"
#include "filesystem.h"
#include "inifile.h"
#include "paths.h"

namespace qm {

namespace {

std::string skipText(const std::string& name) { return "Skipping file \"" + name + "\""; }

std::string couldNotExtract(const std::string& what, const char* why) {
    return "Could not extract \"" + what + "\". " + why;
}

}  // namespace

void goOnOrSkip(bool& yesToAll, bool& noToAll, const std::string& name, const FourButtonAsker& ask) {
    if (noToAll) throw EntrySkipped(skipText(name));
    if (yesToAll) return;
    switch (ask({DlgButton::Yes, DlgButton::No, DlgButton::NoToAll, DlgButton::YesToAll})) {
        case DlgButton::Yes: return;
        case DlgButton::YesToAll: yesToAll = true; return;
        case DlgButton::NoToAll: noToAll = true; break;
        default: break;
    }
    throw EntrySkipped(skipText(name));
}

std::string DestinationFolder(FileSystem& fs, const GameFolder& game, const std::string& contentRoot,
                              const std::string& fileName) {
    const std::string f = FolderForExtension(game.kind, path::extension(fileName));
    std::string p = contentRoot + f;
    if (!fs.folderExists(p)) p = game.dir + f;
    return p;
}

Extracted ExtractEntry(const ExtractionSetup& setup, TExtractRun& run, MutatorImportChoice& import,
                       const CacheLine& line) {
    FileSystem& fs = setup.cache.fs;
    if (line.kind != CacheLine::Kind::Entry) throw Error(notFoundText(line.realName));
    // The name comes from the index and becomes a file name in a folder of
    // the game; anything that could reach another folder is refused.
    const std::string name = LookupCacheEntry(fs, setup.cache.ini, setup.cache.indexPath, line.key);
    if (!path::isPlainFileName(name))
        throw Error(couldNotExtract(name, "The file name in Cache.ini is not a plain file name."));
    const std::string ext = path::extension(name);
    // Code packages can break online play, so each one is confirmed.
    if (path::toLower(ext) == ".u") {
        goOnOrSkip(run.DotUYesToAll, run.DotUNoToAll, name, [&](const DlgButtons& buttons) {
            return setup.dialogs.message(
                DlgKind::Confirmation,
                "Extracting .u files can result in \"Version Mismatch\" error on some servers.  Are you sure you "
                "want to extract " + name + "\"?",
                buttons);
        });
        if (import.askFirst && setup.game.kind == gkUT2004) {
            const DlgButton answer = setup.dialogs.message(
                DlgKind::Confirmation,
                "Do you wish to import any items from the .u file (such as Mutators) into " + setup.gameName + "?",
                {DlgButton::Yes, DlgButton::No});
            import.askFirst = false;
            import.on = answer == DlgButton::Yes;
        }
    }
    const std::optional<std::string> cacheFile = LocateCacheFile(fs, setup.cache.folder, line.key);
    if (!cacheFile) throw Error(notFoundText(name));

    const bool copy = !run.TargetFolder.empty();
    std::string d;
    if (copy) {
        d = run.TargetFolder;
    } else {
        d = DestinationFolder(fs, setup.game, setup.contentRoot, name);
        // A mod that lacks the folder for this type: the game's own folder
        // serves, after asking.
        if (setup.modSelected && !fs.folderExists(d)) {
            goOnOrSkip(run.FolderYesToAll, run.FolderNoToAll, name, [&](const DlgButtons& buttons) {
                return setup.dialogs.message(DlgKind::Confirmation,
                                             "Folder '" + d +
                                                 "' does not exist\nWould you like to extract to the default UT "
                                                 "folder for this file type?",
                                             buttons);
            });
            d = setup.game.dir + FolderForExtension(setup.game.kind, ext);
        }
    }
    const std::string target = path::join(d, name);
    if (setup.progress) setup.progress("Extracting: " + name + " -> " + target);

    const std::string exists = couldNotExtract(target, "File Already exists.");
    if (fs.fileExists(target)) throw Error(exists);
    // Move and copy refuse an existing target on their own, so a file that
    // appears after the test above is never replaced; it only changes which
    // failure the entry reports.
    const Status done = copy ? fs.copyFile(*cacheFile, target) : fs.moveFile(*cacheFile, target);
    if (!done) throw Error(done.code == Errc::AlreadyExists ? exists : couldNotExtract(target, "Write operation failed."));
    Extracted result;
    result.target = target;
    // The package is at its destination before its key leaves the index,
    // so an interruption can leave a key without a file (validation removes
    // it) but never a package that neither place knows.
    if (!copy) {
        RemoveCacheEntry(fs, setup.cache.ini, setup.cache.indexPath, line.key);
        result.leftCache = true;
    }
    result.importDue = setup.game.kind == gkUT2004 && import.on && fs.fileExists(target) &&
                       path::equalsIgnoreCase(path::extension(target), ".u");
    return result;
}

}  // namespace qm
