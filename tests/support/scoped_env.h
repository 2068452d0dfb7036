#pragma once
// Sets (or, with nullptr, removes) an environment variable for one scope,
// for the test's own process and the child processes it starts; the old
// value comes back at the end. Windows cannot hold an empty value: there an
// empty text removes the variable too.
#include <cstdlib>
#include <optional>
#include <string>

namespace qm::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const char* value) const {
#ifdef _WIN32
        _putenv_s(name_, value ? value : "");
#else
        value ? ::setenv(name_, value, 1) : ::unsetenv(name_);
#endif
    }

    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace qm::test
