#include "author/views/RegistryText.h"

#include <cstdio>
#include <cstdlib>

namespace registry_text {

std::string TypeText(uint32_t type) {
    switch (type) {
        case 1:
            return "REG_SZ";
        case 3:
            return "REG_BINARY";
        case 4:
            return "REG_DWORD";
        default:
            return "REG_" + std::to_string(type);
    }
}

std::string DataText(uint32_t type, const std::string& value) {
    if (type != 4) {
        return value;
    }
    // The text is the signed decimal number; one that is no number is 0, as the setup database takes it.
    auto number = static_cast<int32_t>(static_cast<uint32_t>(std::strtoll(value.c_str(), nullptr, 10)));
    char text[32];
    std::snprintf(text, sizeof text, "0x%08x (%d)", static_cast<unsigned>(static_cast<uint32_t>(number)),
                  number);
    return text;
}

}  // namespace registry_text
