#include "win/SystemError.h"

namespace win {

std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) {
        LocalFree(text);
    }
    if (message.empty()) {
        // Without a system text the user still learns which error it was, rather than nothing at all.
        char number[48];
        wsprintfA(number, "Error %lu!", static_cast<unsigned long>(error));
        message = number;
    }
    return message;
}

}  // namespace win
