#pragma once
// Failures: file operations answer with a Status that carries a code beside
// the system's text; rules that give up raise an Error with the text the
// user sees.
#include <stdexcept>
#include <string>

namespace qm {

// What kind of failure a file operation met, as far as callers decide on it.
enum class Errc { None, NotFound, AlreadyExists, AccessDenied, NameTooLong, Other };

// Outcome of a file operation: ok, or a code with the system's own text.
struct Status {
    bool ok = true;
    Errc code = Errc::None;
    std::string reason;

    static Status success() { return {}; }
    static Status failure(Errc code, std::string why) { return {false, code, std::move(why)}; }
    static Status failure(std::string why) { return failure(Errc::Other, std::move(why)); }
    explicit operator bool() const { return ok; }
};

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// An entry the user chose to pass over: reported only when all messages are
// wanted, and never counted as an error.
class EntrySkipped : public Error {
public:
    using Error::Error;
};

}  // namespace qm
