#pragma once

#include <string>

// The one exception type of the authoring side (and of the portable code it shares with the command line):
// it carries only a message text and is thrown by value.
class CTSException {
public:
    explicit CTSException(std::string message) : message_(std::move(message)) {}
    explicit CTSException(const char* message) : message_(message) {}
    CTSException(const char* format, int argument);
    CTSException(const char* format, const char* argument);
    CTSException(const char* format, const std::string& argument) : CTSException(format, argument.c_str()) {}

    const std::string& Message() const { return message_; }

private:
    std::string message_;
};
