#pragma once

#include <windows.h>

#include <string>

// A registry key opened for one operation and closed when it goes out of scope. A key opened as the hive
// itself (an empty path given to RegCreateKeyA) is the predefined key and is not closed.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegCreateKeyA: opens the key, creating it and its missing parents.
    LONG Create(HKEY parent, const std::string& path) {
        Close();
        const LONG error = RegCreateKeyA(parent, path.c_str(), &key_);
        Keep(parent, error);
        return error;
    }
    // RegOpenKeyExA with all access.
    LONG Open(HKEY parent, const std::string& path, REGSAM access = KEY_ALL_ACCESS) {
        Close();
        const LONG error = RegOpenKeyExA(parent, path.c_str(), 0, access, &key_);
        Keep(parent, error);
        return error;
    }
    HKEY Get() const { return key_; }

private:
    void Keep(HKEY parent, LONG error) {
        if (error != ERROR_SUCCESS) {
            key_ = nullptr;
        }
        owned_ = key_ != nullptr && key_ != parent;
    }
    void Close() {
        if (owned_) {
            RegCloseKey(key_);
        }
        key_ = nullptr;
        owned_ = false;
    }

    HKEY key_ = nullptr;
    bool owned_ = false;
};

// Sets the unnamed value of an open key to a text (REG_SZ, with its terminating zero).
inline LONG SetDefaultText(HKEY key, const std::string& text) {
    return RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}
