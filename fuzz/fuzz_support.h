#pragma once
// What the fuzz targets share: a property check that reports and aborts (so
// libFuzzer keeps the input and a replay fails), a folder for the targets
// that work on real files, and a way to cut one input into several parts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace qm::fuzz {

// A folder of this process's own, on a RAM disk where there is one (the
// file targets write and rename a file at every input), removed at exit.
const std::string& scratchFolder();

// Writes `content` to `path`, replacing what is there; aborts on failure,
// since a target that cannot lay out its input tests nothing.
void writeWholeFile(const std::string& path, std::string_view content);
std::string readWholeFile(const std::string& path);

// Reads an input from the front: single bytes for choices, then the rest.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}
    uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = (w << 8) | byte();
        return w;
    }
    // Up to the next `separator` (dropped), or all that is left.
    std::string_view upTo(char separator) {
        const size_t at = rest_.find(separator);
        const std::string_view part = rest_.substr(0, at);
        rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
        return part;
    }
    std::string_view rest() const { return rest_; }
    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace qm::fuzz
