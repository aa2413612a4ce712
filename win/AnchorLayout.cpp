#include "win/AnchorLayout.h"

#include "win/Window.h"

namespace win {

void AnchorLayout::Capture(HWND dialog, std::initializer_list<Rule> rules) {
    const RECT client = Window(dialog).ClientRect();
    designedWidth_ = client.right;
    designedHeight_ = client.bottom;
    controls_.clear();
    for (const Rule& rule : rules) {
        Window control(GetDlgItem(dialog, rule.id));
        if (!control) {
            continue;
        }
        const RECT box = control.RectInParent();
        controls_.push_back({control.Handle(),
                             rule.anchors,
                             {box.left, box.top, box.right - box.left, box.bottom - box.top}});
    }
}

void AnchorLayout::Apply(int width, int height) const {
    if (controls_.empty()) {
        return;
    }
    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (const Placed& placed : controls_) {
        const editor_rules::Box box = editor_rules::Anchored(
            placed.designed, placed.anchors, width - designedWidth_, height - designedHeight_);
        if (moves != nullptr) {
            moves = DeferWindowPos(moves, placed.control, nullptr, box.x, box.y, box.width, box.height,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (moves != nullptr) {
        EndDeferWindowPos(moves);
    }
    for (const Placed& placed : controls_) {
        InvalidateRect(placed.control, nullptr, TRUE);
    }
}

}  // namespace win
