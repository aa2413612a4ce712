#include "platform/Format.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

void FormatTo(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
#if defined(_WIN32)
    // The runtime's _vsnprintf leaves a text that fills the buffer unterminated.
    const int length = _vsnprintf(buffer, size, format, arguments);
    if (length < 0 || static_cast<size_t>(length) >= size) {
        buffer[size - 1] = '\0';
    }
#else
    std::vsnprintf(buffer, size, format, arguments);
#endif
    va_end(arguments);
}

}  // namespace platform
