#pragma once

#include <string>

// Small text rules shared by the model.
namespace text {

// Equal without regard to case (ASCII letters), as the model compares names and titles.
bool EqualNoCase(const std::string& a, const std::string& b);

// printf with one argument into a std::string.
std::string Format(const char* format, long value);

}  // namespace text
