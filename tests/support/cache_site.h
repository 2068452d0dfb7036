#pragma once
// A cache folder with its index over the real file system and INI access,
// for the rules that work on a cache without a window.
#include <memory>
#include <string>
#include <vector>

#include "core/cache_list.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm::test {

struct CacheSite {
    CacheSite() { root.mkdir("Game/Cache"); }

    // Writes the index: "[Cache]" and the lines as given ("K=Name.utx").
    void index(const std::vector<std::string>& lines) {
        std::string text = "[Cache]\r\n";
        for (const auto& l : lines) text += l + "\r\n";
        root.write("Game/Cache/Cache.ini", text);
    }
    // A cache file dated `minute` minutes after 10:00 on 1 March 2024.
    void file(const std::string& name, int minute = 0) {
        setModified(root.write("Game/Cache/" + name, "package " + name), DateTime{2024, 3, 1, 10 + minute / 60, minute % 60, 0});
    }
    std::string folder() const { return root / "Game/Cache/"; }
    std::string indexPath() const { return folder() + "Cache.ini"; }
    CacheAccess access() { return {*fs, *ini, folder(), cacheIndexPath(*fs, folder())}; }
    std::vector<std::string> keys() { return ini->keys(indexPath(), "Cache"); }

    TempDir root;
    std::unique_ptr<FileSystem> fs = platform::makeFileSystem();
    std::unique_ptr<IniFiles> ini = platform::makeIniFiles();
};

}  // namespace qm::test
