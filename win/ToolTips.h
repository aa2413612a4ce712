#pragma once

#include <windows.h>

#include <cstddef>

// A tooltip control that shows a text for each control of a dialog it is given.
namespace win {

class ToolTips {
public:
    ToolTips() = default;
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;
    ~ToolTips();

    struct Tip {
        int controlId;
        const char* text;
    };

    void Create(HWND owner);
    void Add(HWND control, const char* text);
    // Creates the tooltips of a dialog's controls in one go.
    template <size_t N>
    void CreateFor(HWND dialog, const Tip (&tips)[N]) {
        Create(dialog);
        for (const Tip& tip : tips) {
            Add(GetDlgItem(dialog, tip.controlId), tip.text);
        }
    }

private:
    HWND tips_ = nullptr;
    HWND owner_ = nullptr;
};

}  // namespace win
