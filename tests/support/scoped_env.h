#pragma once
// Sets an environment variable for the child processes of one test.
#include <QtGlobal>
#include <string>

namespace qm::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) { qputenv(name, value.c_str()); }
    ~ScopedEnv() { qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
};

}  // namespace qm::test
