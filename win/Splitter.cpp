#include "win/Splitter.h"

#include <windowsx.h>

#include <algorithm>

namespace win {

Splitter::Splitter(bool vertical, Layout layout, int barSize, int minPane)
    : vertical_(vertical), layout_(std::move(layout)), barSize_(barSize), minPane_(minPane) {}

Splitter::Layout Splitter::Panes(Window first, Window second) {
    return [first, second](const RECT& a, const RECT& b) {
        first.Move(a.left, a.top, a.right - a.left, a.bottom - a.top);
        second.Move(b.left, b.top, b.right - b.left, b.bottom - b.top);
    };
}

int Splitter::Extent() const {
    return vertical_ ? area_.right - area_.left : area_.bottom - area_.top;
}

void Splitter::SetArea(const RECT& area) {
    const bool first = position_ < 0;
    area_ = area;
    position_ = static_cast<int>(share_ * (Extent() - barSize_) + 0.5);
    if (first) {
        position_ = (Extent() - barSize_) / 2;
    }
    SetPosition(position_);
}

void Splitter::SetPosition(int offset) {
    const int room = Extent() - barSize_;
    const int low = std::min(minPane_, room / 2);
    position_ = std::max(std::max(low, 0), std::min(offset, room - low));
    share_ = room > 0 ? static_cast<double>(position_) / room : 0.5;
    Apply();
}

RECT Splitter::Bar() const {
    RECT bar = area_;
    if (vertical_) {
        bar.left = area_.left + position_;
        bar.right = bar.left + barSize_;
    } else {
        bar.top = area_.top + position_;
        bar.bottom = bar.top + barSize_;
    }
    return bar;
}

void Splitter::Apply() {
    RECT first = area_;
    RECT second = area_;
    const RECT bar = Bar();
    if (vertical_) {
        first.right = bar.left;
        second.left = bar.right;
    } else {
        first.bottom = bar.top;
        second.top = bar.bottom;
    }
    if (layout_) {
        layout_(first, second);
    }
    if (page_ != nullptr) {
        InvalidateRect(page_, &area_, TRUE);
    }
}

bool Splitter::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    const POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_SETCURSOR: {
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(page_, &cursor);
            const RECT bar = Bar();
            if (reinterpret_cast<HWND>(wParam) != page_ || (!Moving() && !PtInRect(&bar, cursor))) {
                return false;
            }
            SetCursor(LoadCursor(nullptr, vertical_ ? IDC_SIZEWE : IDC_SIZENS));
            SetWindowLongPtrA(page_, DWLP_MSGRESULT, TRUE);
            *result = TRUE;
            return true;
        }
        case WM_LBUTTONDOWN: {
            const RECT bar = Bar();
            if (!PtInRect(&bar, client)) {
                return false;
            }
            moving_ = Move::kMouse;
            start_ = position_;
            grab_ = Along(client) - position_;
            SetCapture(page_);
            *result = TRUE;
            return true;
        }
        case WM_MOUSEMOVE:
            if (moving_ != Move::kMouse) {
                return false;
            }
            SetPosition(Along(client) - grab_);
            *result = TRUE;
            return true;
        case WM_LBUTTONUP:
            if (moving_ != Move::kMouse) {
                return false;
            }
            End();
            *result = TRUE;
            return true;
        case WM_CAPTURECHANGED:
            if (moving_ != Move::kMouse) {
                return false;
            }
            moving_ = Move::kNone;  // the capture went elsewhere: the bar stays where it is
            return false;
        default:
            return false;
    }
}

bool Splitter::PreTranslate(const MSG& message) {
    if (!Moving() || message.message != WM_KEYDOWN) {
        return false;
    }
    const int step = GetKeyState(VK_CONTROL) < 0 ? 1 : 8;
    switch (message.wParam) {
        case VK_ESCAPE:
            SetPosition(start_);
            End();
            return true;
        case VK_RETURN:
            if (moving_ != Move::kKeyboard) {
                return false;
            }
            End();
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (moving_ != Move::kKeyboard) {
                return false;
            }
            const bool back = message.wParam == VK_LEFT || message.wParam == VK_UP;
            SetPosition(position_ + (back ? -step : step));
            return true;
        }
        default:
            return false;
    }
}

void Splitter::BeginKeyboardMove() {
    moving_ = Move::kKeyboard;
    start_ = position_;
}

void Splitter::End() {
    const Move was = moving_;
    moving_ = Move::kNone;
    if (was == Move::kMouse && GetCapture() == page_) {
        ReleaseCapture();
    }
}

}  // namespace win
