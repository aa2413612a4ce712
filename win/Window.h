#pragma once

#include <windows.h>

#include <string>

namespace win {

// A non-owning handle to a window, with the calls the programs use written once.
class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(hwnd_, message, wParam, lParam);
    }
    Window Item(int id) const { return Window(GetDlgItem(hwnd_, id)); }
    int Id() const { return GetDlgCtrlID(hwnd_); }

    std::string Text() const;
    void SetText(const std::string& text) const { SetWindowTextA(hwnd_, text.c_str()); }
    void Enable(bool enable) const { EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    void Show(bool show) const { ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }
    void Focus() const { SetFocus(hwnd_); }
    void Move(int x, int y, int width, int height) const { MoveWindow(hwnd_, x, y, width, height, TRUE); }
    RECT ClientRect() const;
    // The window's rectangle in its parent's client coordinates.
    RECT RectInParent() const;

private:
    HWND hwnd_ = nullptr;
};

}  // namespace win
