#pragma once

#include <windows.h>

#include <string>

namespace win {

// The system's text for an error number, as FormatMessage gives it ("Error %lu!" when the system has none).
std::string SystemErrorText(DWORD error);

}  // namespace win
