// The real registry. Keys are opened in the 32-bit view (KEY_WOW64_32KEY)
// also by a 64-bit build, because the games' 32-bit installers write there
// and the program's own settings have always lived there. Names and texts
// are UTF-8 in the program and UTF-16 in the registry.
#include <windows.h>

#include <memory>
#include <string>

#include "core/error.h"
#include "core/registry.h"
#include "platform/platform.h"

namespace qm::platform {
namespace {

// False when `in` is not well-formed UTF-8 (it could not be stored as given).
bool toWide(const std::string& in, std::wstring& out) {
    out.clear();
    if (in.empty()) return true;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), out.data(), n);
    return true;
}

std::string toUtf8(const wchar_t* in, size_t length) {
    if (length == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, in, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, in, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

HKEY rootKey(RegRoot root) { return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT; }

// The API takes paths without a leading backslash.
std::wstring keyPath(const std::string& path, bool& ok) {
    std::string p = path;
    while (!p.empty() && p.front() == '\\') p.erase(0, 1);
    std::wstring w;
    ok = toWide(p, w);
    return w;
}

class WinKey final : public RegKey {
public:
    explicit WinKey(HKEY key) : key_(key) {}
    ~WinKey() override { RegCloseKey(key_); }
    WinKey(const WinKey&) = delete;
    WinKey& operator=(const WinKey&) = delete;

    bool valueExists(const std::string& name) override {
        std::wstring wname;
        if (!toWide(name, wname)) return false;
        return RegQueryValueExW(key_, wname.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    int32_t readInteger(const std::string& name) override {
        std::wstring wname;
        if (!toWide(name, wname)) throw Error(failedToGetText(name));
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            throw Error(failedToGetText(name));
        if (type != REG_DWORD) throw Error(invalidDataTypeText(name));
        DWORD value = 0;
        size = sizeof value;
        if (RegQueryValueExW(key_, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value)
            throw Error(failedToGetText(name));
        return static_cast<int32_t>(value);
    }

    std::string readString(const std::string& name) override {
        std::wstring wname;
        if (!toWide(name, wname)) return {};
        for (int attempt = 0; attempt < 5; ++attempt) {  // the value may grow between the two queries
            DWORD type = 0;
            DWORD size = 0;
            const LONG probe = RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size);
            if (probe == ERROR_FILE_NOT_FOUND) return {};
            if (probe != ERROR_SUCCESS) throw Error(failedToGetText(name));
            if (type != REG_SZ && type != REG_EXPAND_SZ) throw Error(invalidDataTypeText(name));
            std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
            DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const LONG read = RegQueryValueExW(key_, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
            if (read == ERROR_MORE_DATA) continue;
            if (read != ERROR_SUCCESS) throw Error(failedToGetText(name));
            if (type != REG_SZ && type != REG_EXPAND_SZ) throw Error(invalidDataTypeText(name));
            // The stored text need not end with its NUL; stop at the first one.
            size_t length = got / sizeof(wchar_t);
            for (size_t i = 0; i < length; ++i)
                if (buffer[i] == L'\0') {
                    length = i;
                    break;
                }
            return toUtf8(buffer.data(), length);
        }
        throw Error(failedToGetText(name));
    }

    void writeInteger(const std::string& name, int32_t value) override {
        std::wstring wname;
        const DWORD data = static_cast<DWORD>(value);
        if (!toWide(name, wname) ||
            RegSetValueExW(key_, wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
            throw Error(failedToSetText(name));
    }

    void writeString(const std::string& name, const std::string& value) override {
        std::wstring wname;
        std::wstring wvalue;
        if (!toWide(name, wname) || value.find('\0') != std::string::npos || !toWide(value, wvalue))
            throw Error(failedToSetText(name));
        const DWORD bytes = static_cast<DWORD>((wvalue.size() + 1) * sizeof(wchar_t));
        if (RegSetValueExW(key_, wname.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wvalue.c_str()), bytes) != ERROR_SUCCESS)
            throw Error(failedToSetText(name));
    }

private:
    HKEY key_;
};

class WinRegistry final : public Registry {
public:
    std::unique_ptr<RegKey> openForReading(RegRoot root, const std::string& path, RegAccess access) override {
        bool ok = false;
        const std::wstring wpath = keyPath(path, ok);
        if (!ok) return nullptr;
        REGSAM sam = KEY_READ;
        if (access == RegAccess::QueryAndEnumerate) sam = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
        if (access == RegAccess::QueryValue) sam = KEY_QUERY_VALUE;
        HKEY key = nullptr;
        if (RegOpenKeyExW(rootKey(root), wpath.c_str(), 0, sam | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return nullptr;
        return std::make_unique<WinKey>(key);
    }

    std::unique_ptr<RegKey> openOrCreate(RegRoot root, const std::string& path) override {
        bool ok = false;
        const std::wstring wpath = keyPath(path, ok);
        if (!ok) return nullptr;
        HKEY key = nullptr;
        if (RegCreateKeyExW(rootKey(root), wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<WinKey>(key);
    }
};

}  // namespace

std::unique_ptr<Registry> makeRegistry(const std::string&) { return std::make_unique<WinRegistry>(); }

}  // namespace qm::platform
