#include "support/temp_dir.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <ctime>
#include <utime.h>
#endif

namespace fs = std::filesystem;

namespace qm::test {

fs::path fsPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Path(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

TempDir::TempDir() {
    // create_directory fails on a name that exists, so the folder is ours.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("qmtest-" + std::to_string(random() % 1000000000u));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = utf8Path(candidate.make_preferred()) + static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made in " + utf8Path(base));
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(fsPath(path_), ec);
}

std::string TempDir::write(const std::string& relative, const std::string& content) const {
    fs::create_directories(fsPath(path_ + relative).parent_path());
    writeTo(path_ + relative, content);
    return path_ + relative;
}

void writeTo(const std::string& path, const std::string& content) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) throw std::runtime_error("could not write " + path);
}

std::string TempDir::mkdir(const std::string& relative) const {
    fs::create_directories(fsPath(path_ + relative));
    return path_ + relative;
}

std::string TempDir::read(const std::string& relative) const { return readFile(path_ + relative); }

bool TempDir::exists(const std::string& relative) const {
    std::error_code ec;
    return fs::exists(fs::symlink_status(fsPath(path_ + relative), ec));
}

std::string readFile(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32

void setModified(const std::string& path, const DateTime& local) {
    // The inverse of the program's own reading: local time through the
    // system's current bias.
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(local.year);
    st.wMonth = static_cast<WORD>(local.month);
    st.wDay = static_cast<WORD>(local.day);
    st.wHour = static_cast<WORD>(local.hour);
    st.wMinute = static_cast<WORD>(local.minute);
    st.wSecond = static_cast<WORD>(local.second);
    FILETIME localTime{}, utc{};
    if (!SystemTimeToFileTime(&st, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc))
        throw std::runtime_error("bad date-time for " + path);
    HANDLE h = CreateFileW(fsPath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool ok = h != INVALID_HANDLE_VALUE && SetFileTime(h, nullptr, nullptr, &utc);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!ok) throw std::runtime_error("could not set the time of " + path);
}

#else

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

#endif

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(fsPath(folder))) names.push_back(utf8Path(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qm::test
