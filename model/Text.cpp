#include "model/Text.h"

#include <cstdio>

#include "platform/NoCase.h"

namespace text {

bool EqualNoCase(const std::string& a, const std::string& b) {
    return nocase::Equal(a, b);
}

std::string Format(const char* format, long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace text
