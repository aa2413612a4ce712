#include "platform/TSException.h"
#include "platform/TSSException.h"

#include <cstdio>
#include <vector>

namespace {

template <typename T>
std::string FormatOne(const char* format, T argument) {
    int length = std::snprintf(nullptr, 0, format, argument);
    if (length <= 0) {
        return format;
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, argument);
    return std::string(text.data(), static_cast<size_t>(length));
}

}  // namespace

CTSException::CTSException(const char* format, int argument) : message_(FormatOne(format, argument)) {}

CTSException::CTSException(const char* format, const char* argument) : message_(FormatOne(format, argument)) {}

CTSSException::CTSSException(const char* format, int argument) : message_(FormatOne(format, argument)) {}

CTSSException::CTSSException(const char* format, const char* argument) : message_(FormatOne(format, argument)) {}
