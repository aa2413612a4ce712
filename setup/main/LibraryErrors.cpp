// What the standard library throws when a container or string is misused or cannot grow, without the
// machinery behind its own versions of these functions: they build std::logic_error and its kin around
// copy-on-write strings and format their messages, which links a second string implementation, a printf
// and the random device into the image (about 60 KB of the setup program's code and unwind tables).
//
// The setup program never catches one of those kinds by name. Running out of memory stays std::bad_alloc,
// as the runtime would throw it; every other fault is a LibraryError, a std::exception whose what() is the
// library's own message text (for a formatted one, the name of the failing function). A handler of
// std::exception sees both as before.
#include <bits/functexcept.h>

#include <cstdarg>
#include <cstring>
#include <exception>
#include <new>

#include "setup/main/LibraryErrors.h"

namespace setup_main {

LibraryError::LibraryError(const char* message) noexcept : message_(message != nullptr ? message : "") {}

const char* LibraryError::what() const noexcept { return message_; }

}  // namespace setup_main

namespace {

[[noreturn]] void Fault(const char* message) { throw setup_main::LibraryError(message); }

}  // namespace

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_length_error(const char*) { throw std::bad_alloc(); }

void __throw_bad_exception() { Fault("bad exception"); }
void __throw_bad_cast() { Fault("bad cast"); }
void __throw_bad_typeid() { Fault("bad typeid"); }
void __throw_logic_error(const char* message) { Fault(message); }
void __throw_domain_error(const char* message) { Fault(message); }
void __throw_invalid_argument(const char* message) { Fault(message); }
void __throw_out_of_range(const char* message) { Fault(message); }
// The library's formats name the failing function first ("%s: __pos (which is %zu) > ..."): that name, a
// literal too, is the message; another format stands as it is.
void __throw_out_of_range_fmt(const char* format, ...) {
    if (std::strncmp(format, "%s", 2) == 0) {
        va_list arguments;
        va_start(arguments, format);
        const char* function = va_arg(arguments, const char*);
        va_end(arguments);
        Fault(function);
    }
    Fault(format);
}
void __throw_runtime_error(const char* message) { Fault(message); }
void __throw_range_error(const char* message) { Fault(message); }
void __throw_overflow_error(const char* message) { Fault(message); }
void __throw_underflow_error(const char* message) { Fault(message); }
void __throw_bad_function_call() { Fault("bad function call"); }

}  // namespace std
