#pragma once

#include <windows.h>

// A tooltip control that shows a text for each control of a dialog it is given.
namespace win {

class ToolTips {
public:
    ToolTips() = default;
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;
    ~ToolTips();

    void Create(HWND owner);
    void Add(HWND control, const char* text);

private:
    HWND tips_ = nullptr;
    HWND owner_ = nullptr;
};

}  // namespace win
