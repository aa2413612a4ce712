#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/Window.h"

namespace win {

// A drop-down list; grows only by what the programs use.
class ComboBox : public Window {
public:
    ComboBox() = default;
    explicit ComboBox(HWND hwnd) : Window(hwnd) {}

    void Fill(const std::vector<std::string>& choices) const;
    void Fill(const char* const* choices, int count) const;
    int Add(const std::string& text) const {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void Clear() const { Send(CB_RESETCONTENT); }
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    // The chosen entry, or -1.
    int Selected() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void Select(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

}  // namespace win
