#pragma once

#include <string>

// The one exception type of the setup program: it carries only a message text and is thrown by value.
// An empty message means that the user cancelled and nothing is to be shown.
class CTSSException {
public:
    explicit CTSSException(std::string message) : message_(std::move(message)) {}
    explicit CTSSException(const char* message) : message_(message) {}
    CTSSException(const char* format, int argument);
    CTSSException(const char* format, const char* argument);
    CTSSException(const char* format, const std::string& argument) : CTSSException(format, argument.c_str()) {}

    const std::string& Message() const { return message_; }

private:
    std::string message_;
};
