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

// Holds back the index pass's key deletions and writes them in one rewrite
// when the pass ends (also when it fails): a large index loses hundreds of
// entries in one validation, and a flushed rewrite per key would take
// seconds. Reads go to the real index; the pass reads each key before it
// deletes it and never after.
class BatchedIndexDeletes final : public IniFiles {
public:
    explicit BatchedIndexDeletes(IniFiles& real) : real_(real) {}
    BatchedIndexDeletes(const BatchedIndexDeletes&) = delete;
    BatchedIndexDeletes& operator=(const BatchedIndexDeletes&) = delete;

    std::vector<std::string> keys(const std::string& file, const std::string& section) override {
        return real_.keys(file, section);
    }
    std::string value(const std::string& file, const std::string& section, const std::string& key) override {
        return real_.value(file, section, key);
    }
    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override {
        pending(file, section).push_back(key);
        return true;
    }
    bool deleteKeys(const std::string& file, const std::string& section,
                    const std::vector<std::string>& keys) override {
        auto& list = pending(file, section);
        list.insert(list.end(), keys.begin(), keys.end());
        return true;
    }

    // Writes what was held back, in the order it was asked for. A failed
    // write leaves those keys in the index, as a failed single delete does.
    void flush() {
        for (auto& [where, keys] : pending_) real_.deleteKeys(where.first, where.second, keys);
        pending_.clear();
    }

private:
    std::vector<std::string>& pending(const std::string& file, const std::string& section) {
        for (auto& [where, keys] : pending_)
            if (where.first == file && path::equalsIgnoreCase(where.second, section)) return keys;
        pending_.push_back({{file, section}, {}});
        return pending_.back().second;
    }

    IniFiles& real_;
    std::vector<std::pair<std::pair<std::string, std::string>, std::vector<std::string>>> pending_;
};

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
        {
            struct IndexPassScope {
                TFormMain& form;
                IniFiles* real;
                BatchedIndexDeletes batch;
                explicit IndexPassScope(TFormMain& f) : form(f), real(f.S.ini), batch(*f.S.ini) { form.S.ini = &batch; }
                ~IndexPassScope() {
                    form.S.ini = real;
                    try {
                        batch.flush();
                    } catch (...) {
                        // A key that cannot be deleted stays; the next validation meets it again.
                    }
                }
                IndexPassScope(const IndexPassScope&) = delete;
                IndexPassScope& operator=(const IndexPassScope&) = delete;
            } indexPass(*this);
            RefreshCacheList(true);
        }
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
    const KeySet keys(S.fs->fileExists(index) ? S.ini->keys(index, kCacheSection) : std::vector<std::string>());

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
