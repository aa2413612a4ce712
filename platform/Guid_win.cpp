#include <windows.h>
#include <objbase.h>

#include <cstring>

#include "platform/Guid.h"
#include "platform/TSException.h"

namespace platform {

Guid NewGuid() {
    GUID system;
    if (FAILED(CoCreateGuid(&system))) {
        throw CTSException("Cannot create a new GUID!");
    }
    // Windows runs little-endian only, so the structure's bytes are already in the stored order.
    static_assert(sizeof system == sizeof(Guid::bytes), "a GUID is 16 bytes");
    Guid guid;
    std::memcpy(guid.bytes, &system, sizeof guid.bytes);
    return guid;
}

}  // namespace platform
