#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A GUID as its 16 bytes lie in a Windows program's memory: Data1 (4 bytes), Data2 and Data3 (2 bytes
// each), all little-endian, then the 8 bytes of Data4. This is also how the files store it.
struct Guid {
    uint8_t bytes[16] = {};

    uint32_t Data1() const;
    uint16_t Data2() const;
    uint16_t Data3() const;
    bool IsNull() const;
    bool operator==(const Guid& other) const;
    bool operator!=(const Guid& other) const { return !(*this == other); }
};

// A new GUID: CoCreateGuid on Windows, a random (version 4) GUID elsewhere. Throws CTSException when the
// system cannot give one.
Guid NewGuid();

// "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}": upper-case hex digits except in the third group.
std::string GuidText(const Guid& guid);

}  // namespace platform
