#pragma once

// Registry helpers of the installed-record tests: reading values back, and putting back what a test
// changed in keys that the system shares (SharedDLLs, App Paths, pending renames).
#include <windows.h>

#include <string>
#include <vector>

namespace registry_test {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kSetupAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TSSetup.exe";
constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

struct Value {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    std::string Text() const {
        std::string text(data.begin(), data.end());
        return text.substr(0, text.find('\0'));
    }
    DWORD Number() const {
        DWORD number = 0;
        if (data.size() == sizeof number)
            memcpy(&number, data.data(), sizeof number);
        return number;
    }
};

inline Value Read(HKEY hive, const std::string& key, const char* name) {
    Value value;
    HKEY handle;
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists =
            RegQueryValueExA(handle, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(handle);
    return value;
}

inline bool KeyExists(HKEY hive, const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

inline void Put(HKEY hive, const std::string& key, const char* name, const Value& value) {
    HKEY handle;
    if (RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    if (value.exists) {
        RegSetValueExA(handle, name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    } else {
        RegDeleteValueA(handle, name);
    }
    RegCloseKey(handle);
}

inline void PutText(HKEY hive, const std::string& key, const char* name, const std::string& text) {
    Value value;
    value.exists = true;
    value.type = REG_SZ;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    Put(hive, key, name, value);
}

inline void PutNumber(HKEY hive, const std::string& key, const char* name, DWORD number) {
    Value value;
    value.exists = true;
    value.type = REG_DWORD;
    value.data.resize(sizeof number);
    memcpy(value.data.data(), &number, sizeof number);
    Put(hive, key, name, value);
}

// Deletes a key and its subkeys one level deep (what the product key holds).
inline void DeleteKeyAndChildren(HKEY hive, const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        char name[256];
        DWORD length = sizeof name;
        std::vector<std::string> children;
        for (DWORD i = 0;
             RegEnumKeyExA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, length = sizeof name) {
            children.push_back(name);
        }
        RegCloseKey(handle);
        for (const std::string& child : children) RegDeleteKeyA(hive, (key + "\\" + child).c_str());
    }
    RegDeleteKeyA(hive, key.c_str());
}

// Remembers a value when made and puts it back when destroyed.
class SavedValue {
public:
    SavedValue(HKEY hive, std::string key, const char* name)
        : hive_(hive), key_(std::move(key)), name_(name != nullptr ? name : ""), hasName_(name != nullptr) {
        value_ = Read(hive_, key_, Name());
        keyExisted_ = KeyExists(hive_, key_);
    }
    ~SavedValue() {
        if (!keyExisted_) {
            DeleteKeyAndChildren(hive_, key_);
            return;
        }
        Put(hive_, key_, Name(), value_);
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    const char* Name() const { return hasName_ ? name_.c_str() : nullptr; }
    HKEY hive_;
    std::string key_;
    std::string name_;
    bool hasName_;
    bool keyExisted_ = false;
    Value value_;
};

}  // namespace registry_test
