// Starting a program without waiting for it, on Windows: the shell's "open",
// so a console program gets a console window of its own.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {
namespace {

// One argument of a command line as the C runtime's parsing reads it back:
// quoted when it holds a blank or a quote, backslashes before a quote (and
// before the closing quote) doubled, a quote escaped.
std::wstring argumentText(const std::wstring& a) {
    if (!a.empty() && a.find_first_of(L" \t\"") == std::wstring::npos) return a;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : a) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workingFolder) {
    std::wstring parameters;
    for (const std::string& a : arguments) {
        if (!parameters.empty()) parameters += L' ';
        parameters += argumentText(wide(a));
    }
    const std::wstring file = wide(program);
    const std::wstring folder = wide(workingFolder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No dialog of the shell's own: the caller shows the failure.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return lastFailure();
    return Status::success();
}

}  // namespace qm::platform
