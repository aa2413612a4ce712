#pragma once

#include <windows.h>

#include <commctrl.h>

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

// The accelerators of an editor's context menu: Insert, Delete and F2 pressed on a tree or list arrive as
// its key notification (TVN_KEYDOWN, LVN_KEYDOWN) and stand for the commands of that control's menu, so
// a key acts on the control that has the focus and on no other. 0 for a key without a command.
struct KeyCommands {
    HWND control = nullptr;
    int insert = 0;
    int remove = 0;  // Delete
    int rename = 0;  // F2
    // The command of a notification from control, or 0 (another control, another key, or Ctrl, Alt or
    // Shift held).
    int CommandOf(const NMHDR* header) const;
};

}  // namespace win
