// Starting a program without waiting for it, on POSIX. The program runs in
// a grandchild that belongs to no session of ours (so it outlives the
// program and leaves no zombie); a pipe closed by exec tells whether it
// started, and the reason when it did not.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/system_failure.h"

namespace qm::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A program name as the shell finds it: a path as it is, a bare name on PATH.
std::optional<std::string> findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return isExecutableFile(name) ? std::optional(name) : std::nullopt;
    const std::string searchPath = environment("PATH");
    size_t pos = 0;
    while (pos <= searchPath.size()) {
        size_t end = searchPath.find(':', pos);
        if (end == std::string::npos) end = searchPath.size();
        const std::string folder = end > pos ? searchPath.substr(pos, end - pos) : ".";
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) return candidate;
        pos = end + 1;
    }
    return std::nullopt;
}

// The terminal a console program opens in: only on a desktop, the user's
// own choice first, then the system's.
std::optional<std::string> desktopTerminal() {
    if (environment("DISPLAY").empty() && environment("WAYLAND_DISPLAY").empty()) return std::nullopt;
    for (const std::string& name : {environment("TERMINAL"), std::string("x-terminal-emulator")}) {
        if (name.empty()) continue;
        if (auto found = findProgram(name)) return found;
    }
    return std::nullopt;
}

// Only async-signal-safe calls from here on: the program has threads.
[[noreturn]] void report(int pipeFd, int error) {
    ssize_t ignored = write(pipeFd, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

}  // namespace

Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workingFolder) {
    // Inside a terminal a missing program would only show there; test it here
    // so the caller can say so.
    struct stat st {};
    if (::stat(program.c_str(), &st) != 0) return systemFailure(errno);
    if (S_ISDIR(st.st_mode)) return systemFailure(EISDIR);
    if (access(program.c_str(), X_OK) != 0) return systemFailure(errno);
    if (::stat(workingFolder.c_str(), &st) != 0) return systemFailure(errno);
    if (!S_ISDIR(st.st_mode)) return systemFailure(ENOTDIR);

    std::vector<std::string> words;
    const std::optional<std::string> terminal = desktopTerminal();
    if (terminal) words = {*terminal, "-e"};
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const char* file = terminal ? terminal->c_str() : program.c_str();
    const char* folder = workingFolder.c_str();
#ifndef CLOSE_RANGE_CLOEXEC
    const int openMax = static_cast<int>(sysconf(_SC_OPEN_MAX));
#endif

    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) return systemFailure(errno);
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(status[0]);
        close(status[1]);
        return systemFailure(error);
    }
    if (child == 0) {
        close(status[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild < 0) report(status[1], errno);
        if (grandchild > 0) _exit(0);
        if (chdir(folder) != 0) report(status[1], errno);
        const int input = open("/dev/null", O_RDONLY);
        if (input >= 0 && input != STDIN_FILENO) {
            dup2(input, STDIN_FILENO);
            close(input);
        }
        // What the program holds open stays with it; the tool gets none of it.
#ifdef CLOSE_RANGE_CLOEXEC
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
#else
        for (int fd = 3; fd < openMax; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
#endif
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        execv(file, argv.data());
        report(status[1], errno);
    }
    close(status[1]);
    int childStatus = 0;
    while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(status[0]);
    if (got == static_cast<ssize_t>(sizeof error)) return systemFailure(error);
    return Status::success();
}

}  // namespace qm::platform
