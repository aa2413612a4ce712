// The exception that the setup image's own versions of the standard library's throw functions raise for a
// misused container or string (see LibraryErrors.cpp).
#pragma once

#include <exception>

namespace setup_main {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept;
    const char* what() const noexcept override;

private:
    const char* message_;  // a literal of the library's, never freed
};

}  // namespace setup_main
