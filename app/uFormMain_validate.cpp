// Cache validation: the index pass drops entries whose file is gone, the
// file pass deletes the cache files no entry claims.
#include <QPlainTextEdit>
#include <utility>

#include "app/uFormMain.h"
#include "app/uFormResults.h"
#include "core/cache.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/paths.h"

namespace qm {

namespace {

constexpr const char* kValidateQuestion =
    "This function will remove any invalid items in the UT cache. Cache items are auto-downloaded as needed, so "
    "the worst that should happen is you may have to redownload certain files. Ok to continue?";

// The entries of the folder part of `pattern` that match its file-name
// part, each with its full path, in the order the file system lists them.
std::vector<std::pair<std::string, DirEntry>> matchingEntries(FileSystem& fs, const std::string& pattern) {
    const std::string folder = path::folderPart(pattern);
    std::vector<std::pair<std::string, DirEntry>> found;
    for (DirEntry& e : fs.list(folder, path::fileName(pattern))) {
        std::string full = folder + e.name;
        found.emplace_back(std::move(full), std::move(e));
    }
    return found;
}

}  // namespace

void TFormMain::ButtonValidateClick() {
    // The log lives as long as this call; the field points at it only
    // meanwhile, also when a step fails.
    std::vector<std::string> log;
    struct LogScope {
        TFormMain& form;
        LogScope(TFormMain& f, std::vector<std::string>* lines) : form(f) { form.FValidationLog = lines; }
        ~LogScope() { form.FValidationLog = nullptr; }
        LogScope(const LogScope&) = delete;
        LogScope& operator=(const LogScope&) = delete;
    } scope(*this, &log);
    TFormResults results(S, this);

    if (ask(DlgKind::Confirmation, kValidateQuestion, {DlgButton::OK, DlgButton::Cancel}) == DlgButton::OK) {
        RefreshCacheList(true);
        ValidateCacheFiles();
    }

    QStringList lines;
    lines.reserve(static_cast<qsizetype>(log.size()));
    for (const std::string& line : log) lines << QString::fromStdString(line);
    results.MemoResults->setPlainText(lines.join(QLatin1Char('\n')));
    results.exec();
}

void TFormMain::miValidateClick() { ButtonValidateClick(); }

void TFormMain::ValidateCacheFiles() {
    const std::string folder = CacheFolder();
    const auto files = matchingEntries(*S.fs, folder + "*.uxx");
    // The same index file the index pass read, under the same name.
    const std::string index = folder + kCacheIniName;
    // An index that is there but cannot be read claims nothing; deleting
    // every cache file on its word would throw away what it lists.
    const bool haveIndex = S.fs->fileExists(index);
    if (haveIndex && !S.ini->readable(index))
        throw Error("Could not read " + index + ".  No cache file was deleted.");
    const KeySet keys(haveIndex ? S.ini->keys(index, kCacheSection) : std::vector<std::string>());

    for (const auto& [file, entry] : files) {
        std::string line = file;
        if (keys.claims(entry.name)) {
            line += " is in Cache.ini";
        } else {
            line += " is MISSING: ";
            // A folder named like a cache file is never emptied or removed;
            // a symbolic link is removed as a link, its target stays.
            const bool plainFolder = entry.isFolder() && (entry.attributes & kAttrOther) == 0;
            const Status st = plainFolder ? Status::failure("a folder") : S.fs->deleteFile(file);
            if (st) {
                line += " File deleted sucessfully";
            } else {
                line += " File could not be deleted!";
                ask(DlgKind::Error, "Could not remove file " + file, {DlgButton::OK});
            }
        }
        if (FValidationLog) FValidationLog->push_back(std::move(line));
    }
}

std::vector<std::string> TFormMain::ListMatchingFiles(const std::string& pattern) {
    std::vector<std::string> paths;
    for (auto& [file, entry] : matchingEntries(*S.fs, pattern)) paths.push_back(std::move(file));
    return paths;
}

}  // namespace qm
