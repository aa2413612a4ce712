#include <cstdio>

#include "platform/Guid.h"
#include "platform/TSException.h"

namespace platform {

Guid NewGuid() {
    Guid guid;
    std::FILE* random = std::fopen("/dev/urandom", "rb");
    const bool read = random != nullptr && std::fread(guid.bytes, 1, sizeof guid.bytes, random) == sizeof guid.bytes;
    if (random != nullptr) {
        std::fclose(random);
    }
    if (!read) {
        throw CTSException("Cannot create a new GUID: the system gives no random numbers!");
    }
    // A random GUID: version 4 in the high bits of Data3, the variant bits 10 in Data4[0].
    guid.bytes[7] = static_cast<uint8_t>((guid.bytes[7] & 0x0F) | 0x40);
    guid.bytes[8] = static_cast<uint8_t>((guid.bytes[8] & 0x3F) | 0x80);
    return guid;
}

}  // namespace platform
