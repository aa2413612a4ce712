#include "platform/Guid.h"

#include <cstring>

#include "platform/Format.h"

namespace platform {

uint32_t Guid::Data1() const {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t Guid::Data2() const { return static_cast<uint16_t>(bytes[4] | bytes[5] << 8); }

uint16_t Guid::Data3() const { return static_cast<uint16_t>(bytes[6] | bytes[7] << 8); }

bool Guid::IsNull() const { return *this == Guid(); }

bool Guid::operator==(const Guid& other) const { return std::memcmp(bytes, other.bytes, sizeof bytes) == 0; }

std::string GuidText(const Guid& guid) {
    char text[40];
    platform::FormatTo(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1()), guid.Data2(), guid.Data3(), guid.bytes[8],
                  guid.bytes[9], guid.bytes[10], guid.bytes[11], guid.bytes[12], guid.bytes[13], guid.bytes[14],
                  guid.bytes[15]);
    return text;
}

}  // namespace platform
