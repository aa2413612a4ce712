#pragma once

#include <windows.h>

#include "win/Handles.h"

namespace win {

// A context menu loaded from the resources: the menu resource holds one pop-up, whose items the caller
// enables, checks and marks as default before tracking it.
class Menu {
public:
    // The first pop-up of menu resource id.
    explicit Menu(int id, HINSTANCE instance = nullptr);

    HMENU Popup() const { return popup_; }
    void Enable(int command, bool enable) const;
    void Check(int command, bool check) const;
    // Marks one of a group of items with the radio bullet.
    void CheckRadio(int first, int last, int command) const;
    void SetDefault(int command) const;
    void SetText(int command, const char* text) const;
    void Remove(int command) const;
    // Shows the menu at a screen point (or, for (-1, -1) from the keyboard, below the owner's focus) and
    // returns the chosen command, 0 when none was chosen.
    int Track(HWND owner, POINT screen) const;

private:
    OwnedMenu menu_;
    HMENU popup_ = nullptr;
};

}  // namespace win
