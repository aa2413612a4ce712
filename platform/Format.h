#pragma once

#include <cstddef>

namespace platform {

// printf-style formatting into a buffer of `size` bytes: the text is cut to fit and always terminated.
// On Windows the system's own formatter (the C runtime's) does the work, so that a program does not carry
// a second one; formats are kept to what every runtime knows: %s, %d, %u, %x, widths, zero padding and
// %.Nf.
void FormatTo(char* buffer, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

}  // namespace platform
