#pragma once
// Failures travel as exceptions that carry their message text.
#include <stdexcept>
#include <string>

namespace qm {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Outcome of a file operation: empty reason means success.
struct Status {
    bool ok = true;
    std::string reason;  // the system's own text when !ok

    static Status success() { return {}; }
    static Status failure(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace qm
