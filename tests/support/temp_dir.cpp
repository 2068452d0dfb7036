#include "support/temp_dir.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <utime.h>

namespace fs = std::filesystem;

namespace qm::test {

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "qmtest-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& relative, const std::string& content) const {
    const fs::path p = path_ + relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
    return p.string();
}

std::string TempDir::mkdir(const std::string& relative) const {
    fs::create_directories(path_ + relative);
    return path_ + relative;
}

std::string TempDir::read(const std::string& relative) const { return readFile(path_ + relative); }

bool TempDir::exists(const std::string& relative) const {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path_ + relative, ec));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void setModified(const std::string& path, const DateTime& local) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    const time_t t = mktime(&tm);
    utimbuf times{t, t};
    if (utime(path.c_str(), &times) != 0) throw std::runtime_error("utime failed: " + path);
}

}  // namespace qm::test
