#include "fuzz_support.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace qm::fuzz {
namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string base = "/tmp";
        if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp) base = tmp;
        if (::access("/dev/shm", W_OK | X_OK) == 0) base = "/dev/shm";
        std::string pattern = base + "/quillmere-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

const std::string& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

void writeWholeFile(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    FUZZ_CHECK(out.good());
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace qm::fuzz
