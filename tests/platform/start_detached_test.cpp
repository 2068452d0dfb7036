// Starting a program without waiting: the stand-in tool's effect, the
// terminal a desktop offers, and the failures the caller must report.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/platform.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::ScopedEnv;
using test::TempDir;
using Clock = std::chrono::steady_clock;

// Waits up to ten seconds for a file that a detached program writes.
bool appears(const std::string& path) {
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < until) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string script(const TempDir& tmp, const std::string& relative, const std::string& body) {
    const std::string p = tmp.write(relative, "#!/bin/sh\n" + body);
    chmod(p.c_str(), 0755);
    return p;
}

// No desktop: neither display variable, whatever the test runs under.
struct NoDesktop {
    ScopedEnv display{"DISPLAY", nullptr};
    ScopedEnv wayland{"WAYLAND_DISPLAY", nullptr};
};

TEST(StartDetached, TheToolCompressesAPackageWithBlanksInItsPath) {
    TempDir tmp;
    NoDesktop none;
    const std::string package = tmp.write("My Games/UT2004/Maps/DM Deck 17.ut2", "package");
    const std::string system = tmp.mkdir("My Games/UT2004/System");
    ASSERT_TRUE(platform::startDetached(QM_STAND_IN_UCC, {"compress", package}, system));
    ASSERT_TRUE(appears(package + ".uz2"));
    EXPECT_EQ(test::readFile(package + ".uz2"), "uz2 stand-in: DM Deck 17.ut2, 7 bytes\n");
}

TEST(StartDetached, RunsInTheWorkingFolderWithoutWaiting) {
    TempDir tmp;
    NoDesktop none;
    const std::string folder = tmp.mkdir("System");
    const std::string done = tmp / "done";
    // The program takes its time; the start returns long before it ends.
    const std::string program = script(tmp, "slow.sh", "sleep 2\npwd > \"$1\"\n");
    const auto before = Clock::now();
    ASSERT_TRUE(platform::startDetached(program, {done}, folder));
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(1500));
    EXPECT_FALSE(std::filesystem::exists(done));
    ASSERT_TRUE(appears(done));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(test::readFile(done), std::filesystem::canonical(folder).string() + "\n");
}

// Which terminal window the program opens in, by what the desktop offers.
TEST(StartDetached, OpensInTheDesktopsTerminal) {
    struct Case {
        const char* what;
        const char* display;
        const char* wayland;
        bool userTerminal;    // $TERMINAL names one
        bool systemTerminal;  // x-terminal-emulator is on PATH
        const char* used;     // "user", "system" or "" (none)
    } cases[] = {
        {"the user's choice first", ":5", nullptr, true, true, "user"},
        {"else the system's", ":5", nullptr, false, true, "system"},
        {"a Wayland desktop", nullptr, "wayland-0", false, true, "system"},
        {"no desktop, no window", nullptr, nullptr, true, true, ""},
        {"a desktop without a terminal", ":5", nullptr, false, false, ""},
    };
    for (const auto& c : cases) {
        TempDir tmp;
        // A terminal that notes its name and arguments, then runs "-e"'s command.
        const std::string terminalBody = "echo \"$NAME $*\" > \"" + tmp / "terminal.txt" + "\"\nshift\nexec \"$@\"\n";
        const std::string user = script(tmp, "user/my-terminal", "NAME=user\n" + terminalBody);
        if (c.systemTerminal) script(tmp, "bin/x-terminal-emulator", "NAME=system\n" + terminalBody);
        const std::string program = script(tmp, "tool.sh", "echo ran > \"$1\"\n");
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
        ScopedEnv terminal("TERMINAL", c.userTerminal ? user.c_str() : nullptr);
        ScopedEnv path("PATH", tmp / "bin:/usr/bin:/bin");
        const std::string ran = tmp / "ran";
        ASSERT_TRUE(platform::startDetached(program, {ran}, tmp.path())) << c.what;
        ASSERT_TRUE(appears(ran)) << c.what;
        const std::string used = *c.used ? std::string(c.used) + " -e " + program + " " + ran + "\n" : "";
        EXPECT_EQ(test::readFile(tmp / "terminal.txt"), used) << c.what;
    }
}

TEST(StartDetached, FailuresCarryTheSystemsReason) {
    TempDir tmp;
    NoDesktop none;
    const std::string folder = tmp.mkdir("System");
    const std::string notExecutable = tmp.write("System/ucc", "data");
    chmod(notExecutable.c_str(), 0644);
    const std::string tool = script(tmp, "System/ucc-bin", "exit 0\n");
    struct Case {
        const char* what;
        std::string program, folder;
        int error;
    } cases[] = {
        {"no tool", tmp / "System/nothing", folder, ENOENT},
        {"not executable", notExecutable, folder, EACCES},
        {"a folder", folder, folder, EISDIR},
        {"no working folder", tool, tmp / "Gone", ENOENT},
    };
    for (const auto& c : cases) {
        const Status st = platform::startDetached(c.program, {"compress", "x"}, c.folder);
        EXPECT_FALSE(st) << c.what;
        EXPECT_EQ(st.reason, std::strerror(c.error)) << c.what;
    }
    // With a terminal in between, the missing tool is still the caller's to report.
    const std::string terminal = script(tmp, "bin/x-terminal-emulator", "shift\nexec \"$@\"\n");
    ScopedEnv display("DISPLAY", ":5");
    ScopedEnv user("TERMINAL", terminal);
    EXPECT_EQ(platform::startDetached(tmp / "System/nothing", {}, folder).reason, std::strerror(ENOENT));
}

TEST(UserCollation, IgnoresCaseAndOrdersLetters) {
    const auto key = platform::userCollationKey;
    EXPECT_LT(key("dm-a.ut2"), key("DM-B.ut2"));
    EXPECT_LT(key("DM-A.ut2"), key("dm-b.ut2"));
    EXPECT_EQ(key("XGameTextures.utx"), key("xgametextures.UTX"));
    EXPECT_LT(key("a"), key("ab"));
    EXPECT_LT(key(""), key("a"));
    // Bytes that are no UTF-8 still give a key of their own.
    EXPECT_NE(key("map\xff.ut2"), key("map.ut2"));
    EXPECT_NE(key("map\xff.ut2"), key("map\xfe.ut2"));
}

}  // namespace
}  // namespace qm
