#pragma once

#include <windows.h>

#include <functional>

#include "win/Window.h"

namespace win {

// A bar between two panes of a page, without a window of its own: the page hands it its mouse messages
// (and, for the keyboard, its PreTranslate), and it lays out the panes through a function, so that a
// pane may itself be split (the outer splitter's layout gives the inner one its area). Any number of
// splitters can share a page; each takes only the messages over its own bar or of its own move.
//
// Mouse: the pointer over the bar shows the sizing cursor; dragging moves the bar, Escape during the drag
// puts it back. Keyboard: after BeginKeyboardMove (a command of the page) the arrow keys move the bar by
// 8 pixels (1 with Ctrl), Enter keeps the place and Escape puts the bar back.
class Splitter {
public:
    using Layout = std::function<void(const RECT& first, const RECT& second)>;

    // vertical: a vertical bar between a left and a right pane; otherwise a horizontal bar between a top
    // and a bottom pane. Neither pane is made narrower than minPane pixels while there is room.
    Splitter(bool vertical, Layout layout, int barSize = 6, int minPane = 24);
    // A layout that moves two windows into the panes.
    static Layout Panes(Window first, Window second);

    void Attach(HWND page) { page_ = page; }
    // The area that the panes and the bar share, in the page's client coordinates; the bar keeps its
    // share of the area when the area changes.
    void SetArea(const RECT& area);
    // The bar's offset from the start of the area (left or top edge), in pixels.
    void SetPosition(int offset);
    int Position() const { return position_; }
    RECT Bar() const;
    bool Moving() const { return moving_ != Move::kNone; }

    // The page's messages: WM_SETCURSOR, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_CAPTURECHANGED.
    // True when the splitter took the message; *result is then the dialog procedure's answer.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    // Keys while the bar is moving; true when taken.
    bool PreTranslate(const MSG& message);
    void BeginKeyboardMove();

private:
    enum class Move { kNone, kMouse, kKeyboard };
    int Extent() const;
    int Along(POINT client) const { return vertical_ ? client.x - area_.left : client.y - area_.top; }
    void Apply();
    void End();

    bool vertical_;
    Layout layout_;
    int barSize_;
    int minPane_;
    HWND page_ = nullptr;
    RECT area_{};
    int position_ = -1;
    double share_ = 0.5;
    Move moving_ = Move::kNone;
    int grab_ = 0;
    int start_ = 0;
};

}  // namespace win
