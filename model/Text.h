#pragma once

#include <string>

// Small text rules shared by the model.
namespace text {

// Equal without regard to case, as the model compares names and titles (platform/NoCase.h).
bool EqualNoCase(const std::string& a, const std::string& b);

// printf with one argument into a std::string.
std::string Format(const char* format, long value);

}  // namespace text
