#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reading the system registry, as the registry import needs it. Only Windows has a registry; elsewhere
// SystemRegistry opens no key.
namespace platform {

enum class RegistryHive { kNone, kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

// Registry value types the model knows by number.
constexpr uint32_t kRegString = 1;  // REG_SZ
constexpr uint32_t kRegBinary = 3;  // REG_BINARY
constexpr uint32_t kRegDword = 4;   // REG_DWORD

struct RegistryValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// One open key. The enumerations are by index from 0; each returns false at the end of the list and at
// the first value or subkey that cannot be read (a name or data longer than 255 bytes among them).
class RegistryKeyReader {
public:
    virtual ~RegistryKeyReader() = default;
    virtual bool EnumValue(uint32_t index, RegistryValue* value) = 0;
    virtual bool EnumSubkey(uint32_t index, std::string* name) = 0;
};

class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    // Opens a key below a hive for reading (subkey empty: the hive itself); nullptr when it cannot.
    virtual std::unique_ptr<RegistryKeyReader> OpenKey(RegistryHive hive, const std::string& subkey) = 0;
};

// The registry of the machine the program runs on.
RegistryReader& SystemRegistry();

}  // namespace platform
