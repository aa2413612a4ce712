#include "model/Text.h"


#include "platform/Format.h"
#include "platform/NoCase.h"

namespace text {

bool EqualNoCase(const std::string& a, const std::string& b) {
    return nocase::Equal(a, b);
}

std::string Format(const char* format, long value) {
    char buffer[64];
    platform::FormatTo(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace text
