// The user's collation on POSIX: the text is read as UTF-8 (a byte that is
// not part of a valid sequence stands for itself, above every character),
// folded to lower case and transformed with the collation of the user's
// locale.
#include <locale.h>
#include <wchar.h>
#include <wctype.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qm::platform {
namespace {

locale_t userLocale() {
    // Made once: the user's locale does not change while the program runs.
    static const locale_t loc = [] {
        const int mask = LC_COLLATE_MASK | LC_CTYPE_MASK;
        for (const char* name : {"", "C.UTF-8", "C"})
            if (locale_t l = newlocale(mask, name, locale_t(0))) return l;
        return locale_t(0);
    }();
    return loc;
}

// Code points of UTF-8 text; a stray byte b becomes 0x110000 + b.
std::vector<wchar_t> decode(std::string_view text) {
    std::vector<wchar_t> out;
    out.reserve(text.size() + 1);
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int length = 0;
        uint32_t cp = 0;
        if (b < 0x80) {
            length = 1;
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            length = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            cp = b & 0x07;
        }
        bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((c & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
        if (!valid) {
            out.push_back(static_cast<wchar_t>(0x110000 + b));
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<size_t>(length);
    }
    return out;
}

}  // namespace

std::string userCollationKey(std::string_view text) {
    const locale_t loc = userLocale();
    std::vector<wchar_t> chars = decode(text);
    for (wchar_t& c : chars)
        if (c < 0x110000 && loc) c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), loc));
    chars.push_back(L'\0');
    std::vector<wchar_t> weights(chars.size() * 4 + 8);
    size_t n = loc ? wcsxfrm_l(weights.data(), chars.data(), weights.size(), loc) : 0;
    if (loc && n >= weights.size()) {
        weights.resize(n + 1);
        n = wcsxfrm_l(weights.data(), chars.data(), weights.size(), loc);
    }
    if (!loc || n == static_cast<size_t>(-1)) {
        // No collation to be had: the folded code points themselves.
        weights.assign(chars.begin(), chars.end() - 1);
        n = weights.size();
    }
    // Four bytes a weight, most significant first, so byte order is the
    // weights' order.
    std::string key;
    key.reserve(n * 4);
    for (size_t i = 0; i < n; ++i) {
        const auto w = static_cast<uint32_t>(weights[i]);
        key += static_cast<char>(w >> 24);
        key += static_cast<char>(w >> 16);
        key += static_cast<char>(w >> 8);
        key += static_cast<char>(w);
    }
    return key;
}

}  // namespace qm::platform
