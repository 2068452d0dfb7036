// What a console program writes, decoded for the results window. Only
// Windows decodes anything: its console programs write in the OEM code page.
// On POSIX the locale's encoding is UTF-8 and the bytes are the text.
#ifdef _WIN32
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace qm {
namespace {

TEST(ConsoleText, OemBytesBecomeUtf8) {
    // The table is the US English console's, code page 437; the Wine set-up
    // of the tests pins that locale.
    if (GetOEMCP() != 437) GTEST_SKIP() << "the console code page here is " << GetOEMCP() << ", not 437";
    struct Case {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {"Exporting mutators...\r\n", "Exporting mutators...\r\n"},
        {"caf\x82 \x84 \x94 \x81 \xE1", "caf\xC3\xA9 \xC3\xA4 \xC3\xB6 \xC3\xBC \xC3\x9F"},  // é ä ö ü ß
        {"\xC9\xCD\xBB \xB3 \xC4", "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97 \xE2\x94\x82 \xE2\x94\x80"},  // box drawing
        {"\x9C 5", "\xC2\xA3 5"},                                                                 // £
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::consoleTextToUtf8(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
