// The user's collation on Windows: the sort key of the user's locale with
// letter case ignored, the order CompareString gives the same texts.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

namespace qm::platform {

std::string userCollationKey(std::string_view text) {
    const std::wstring w = wide(std::string(text));
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int source = static_cast<int>(w.size());
    const int n = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, w.data(), source, nullptr, 0, nullptr, nullptr, 0);
    if (n <= 0) return std::string(text);
    std::vector<BYTE> key(static_cast<size_t>(n));
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, w.data(), source, reinterpret_cast<LPWSTR>(key.data()), n,
                  nullptr, nullptr, 0);
    // The key ends with a zero byte that plays no part in the order.
    size_t length = key.size();
    while (length > 0 && key[length - 1] == 0) --length;
    return std::string(reinterpret_cast<const char*>(key.data()), length);
}

}  // namespace qm::platform
