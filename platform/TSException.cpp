#include "platform/TSException.h"
#include "platform/TSSException.h"

#include <cstring>
#include <vector>

#include "platform/Format.h"

namespace {

// The room a message needs beyond its format: the argument's text, and a margin for a width or a
// number's digits.
size_t Room(int) { return 0; }
size_t Room(const char* argument) { return argument != nullptr ? std::strlen(argument) : 0; }

template <typename T>
std::string FormatOne(const char* format, T argument) {
    std::vector<char> text(std::strlen(format) + Room(argument) + 64);
    platform::FormatTo(text.data(), text.size(), format, argument);
    return text.data();
}

}  // namespace

CTSException::CTSException(const char* format, int argument) : message_(FormatOne(format, argument)) {}

CTSException::CTSException(const char* format, const char* argument) : message_(FormatOne(format, argument)) {}

CTSSException::CTSSException(const char* format, int argument) : message_(FormatOne(format, argument)) {}

CTSSException::CTSSException(const char* format, const char* argument) : message_(FormatOne(format, argument)) {}
