#include "win/Window.h"

#include <vector>

namespace win {

std::string Window::Text() const {
    int length = GetWindowTextLengthA(hwnd_);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    int got = GetWindowTextA(hwnd_, text.data(), length + 1);
    return std::string(text.data(), static_cast<size_t>(got > 0 ? got : 0));
}

RECT Window::ClientRect() const {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return rect;
}

RECT Window::RectInParent() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace win
