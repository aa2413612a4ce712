#include <windows.h>

#include "platform/WinRegistry.h"

namespace platform {

HKEY HiveKey(RegistryHive hive) {
    switch (hive) {
        case RegistryHive::kClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryHive::kCurrentUser: return HKEY_CURRENT_USER;
        case RegistryHive::kLocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryHive::kUsers: return HKEY_USERS;
        case RegistryHive::kNone: break;
    }
    return nullptr;
}

namespace {

// The buffers of the import: a value or subkey whose name or data needs more ends its enumeration.
constexpr DWORD kBufferSize = 255;

class SystemKey : public RegistryKeyReader {
public:
    explicit SystemKey(HKEY key) : key_(key) {}
    ~SystemKey() override { RegCloseKey(key_); }

    bool EnumValue(uint32_t index, RegistryValue* value) override {
        char name[kBufferSize];
        BYTE data[kBufferSize];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key_, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS ||
            nameLength >= sizeof name || dataLength > sizeof data) {
            return false;
        }
        value->name.assign(name, nameLength);
        value->type = type;
        value->data.assign(data, data + dataLength);
        return true;
    }

    bool EnumSubkey(uint32_t index, std::string* name) override {
        char buffer[kBufferSize];
        if (RegEnumKeyA(key_, index, buffer, sizeof buffer) != ERROR_SUCCESS) {
            return false;
        }
        name->assign(buffer, strnlen(buffer, sizeof buffer));
        return true;
    }

private:
    HKEY key_;
};

class WindowsRegistry : public RegistryReader {
public:
    std::unique_ptr<RegistryKeyReader> OpenKey(RegistryHive hive, const std::string& subkey) override {
        HKEY root = HiveKey(hive);
        HKEY key = nullptr;
        if (root == nullptr || RegOpenKeyExA(root, subkey.empty() ? nullptr : subkey.c_str(), 0, KEY_READ, &key) !=
                                   ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<SystemKey>(key);
    }
};

}  // namespace

RegistryReader& SystemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace platform
