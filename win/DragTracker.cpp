#include "win/DragTracker.h"

#include <algorithm>

#include "win/ListView.h"

namespace win {

namespace {

constexpr UINT_PTR kScrollTimer = 0x4454;  // "DT"
constexpr UINT kScrollEvery = 80;          // milliseconds

POINT WindowPoint(HWND window, POINT screen) {
    RECT box{};
    GetWindowRect(window, &box);
    return {screen.x - box.left, screen.y - box.top};
}

}  // namespace

bool DragTracker::Begin(HWND page, const NMHDR* header, TreeView target, DropTarget* dropTarget,
                        bool shortcuts) {
    if (active_ || dropTarget == nullptr) {
        return false;
    }
    DragItems items;
    items.source = header->hwndFrom;
    POINT hotspot{};
    if (header->code == TVN_BEGINDRAGA || header->code == TVN_BEGINDRAGW) {
        const auto* drag = reinterpret_cast<const NMTREEVIEWA*>(header);
        items.fromTree = true;
        items.treeItems.push_back(drag->itemNew.hItem);
        items.data.push_back(TreeView(header->hwndFrom).ItemData(drag->itemNew.hItem));
        image_.Reset(TreeView_CreateDragImage(header->hwndFrom, drag->itemNew.hItem));
        RECT label{};
        TreeView_GetItemRect(header->hwndFrom, drag->itemNew.hItem, &label, TRUE);
        hotspot = {drag->ptDrag.x - label.left, drag->ptDrag.y - label.top};
    } else if (header->code == LVN_BEGINDRAG) {
        const auto* drag = reinterpret_cast<const NMLISTVIEW*>(header);
        ListView list(header->hwndFrom);
        items.rows = list.SelectedRows();
        for (int row : items.rows) {
            items.data.push_back(list.Data(row));
        }
        POINT origin{};
        image_.Reset(ListView_CreateDragImage(header->hwndFrom, drag->iItem, &origin));
        hotspot = {drag->ptAction.x - origin.x, drag->ptAction.y - origin.y};
    } else {
        return false;
    }
    if (items.data.empty()) {
        return false;
    }
    items_ = std::move(items);
    page_ = page;
    target_ = target;
    dropTarget_ = dropTarget;
    shortcuts_ = shortcuts;
    over_ = nullptr;
    scroll_ = 0;
    ctrl_ = false;
    alt_ = false;
    active_ = true;
    POINT screen{};
    GetCursorPos(&screen);
    if (image_ && ImageList_BeginDrag(image_.Get(), 0, hotspot.x, hotspot.y)) {
        const POINT at = WindowPoint(page_, screen);
        ImageList_DragEnter(page_, at.x, at.y);
    }
    SetCapture(page_);
    Follow();
    return true;
}

void DragTracker::ShowImage(bool show) const {
    if (image_) {
        ImageList_DragShowNolock(show ? TRUE : FALSE);
    }
}

void DragTracker::Follow() {
    POINT screen{};
    GetCursorPos(&screen);
    const bool ctrl = ctrl_ || GetKeyState(VK_CONTROL) < 0;
    const bool alt = alt_ || GetKeyState(VK_MENU) < 0;
    effect_ = editor_rules::EffectOf(ctrl, shortcuts_ && alt, items_.Count());
    POINT client = screen;
    ScreenToClient(target_.Handle(), &client);
    RECT box = target_.ClientRect();
    const bool inside = PtInRect(&box, client) != FALSE;
    HTREEITEM over = inside ? target_.ItemAt(client) : nullptr;
    if (over != over_) {
        ShowImage(false);
        target_.SetDropHighlight(over);
        UpdateWindow(target_.Handle());
        ShowImage(true);
        over_ = over;
    }
    if (image_) {
        const POINT at = WindowPoint(page_, screen);
        ImageList_DragMove(at.x, at.y);
    }
    const bool allowed = over != nullptr && dropTarget_->CanDrop(items_, over, effect_);
    SetCursor(LoadCursor(nullptr, allowed ? IDC_ARROW : IDC_NO));

    // Near the top or bottom edge (within a line's height, inside or just outside the tree) the tree
    // scrolls while the pointer stays there.
    const int edge = std::max(8, static_cast<int>(TreeView_GetItemHeight(target_.Handle())));
    const bool across = client.x >= box.left && client.x < box.right;
    int scroll = 0;
    if (across && client.y < box.top + edge && client.y >= box.top - edge) {
        scroll = -1;
    } else if (across && client.y >= box.bottom - edge && client.y < box.bottom + edge) {
        scroll = 1;
    }
    if (scroll != scroll_) {
        scroll_ = scroll;
        if (scroll != 0) {
            SetTimer(page_, kScrollTimer, kScrollEvery, nullptr);
        } else {
            KillTimer(page_, kScrollTimer);
        }
    }
}

bool DragTracker::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (!active_) {
        return false;
    }
    switch (message) {
        case WM_MOUSEMOVE:
            Follow();
            return true;
        case WM_LBUTTONUP:
            Follow();
            End(true);
            return true;
        case WM_CAPTURECHANGED:
            End(false);
            return true;
        case WM_TIMER:
            if (wParam != kScrollTimer) {
                return false;
            }
            ShowImage(false);
            target_.Send(WM_VSCROLL, scroll_ < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
            UpdateWindow(target_.Handle());
            ShowImage(true);
            over_ = reinterpret_cast<HTREEITEM>(-1);  // the items moved under the pointer
            Follow();
            return true;
        default:
            return false;
    }
}

bool DragTracker::PreTranslate(const MSG& message) {
    if (!active_) {
        return false;
    }
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (down && message.wParam == VK_ESCAPE) {
                End(false);
                return true;
            }
            if (message.wParam == VK_CONTROL) {
                ctrl_ = down;
            } else if (message.wParam == VK_MENU) {
                alt_ = down;
            }
            Follow();
            return true;
        case WM_CHAR:
        case WM_SYSCHAR:
            Follow();
            return true;
        default:
            return false;
    }
}

void DragTracker::End(bool drop) {
    if (!active_) {
        return;
    }
    active_ = false;  // first: releasing the capture below sends WM_CAPTURECHANGED
    KillTimer(page_, kScrollTimer);
    scroll_ = 0;
    if (image_) {
        ImageList_DragLeave(page_);
        ImageList_EndDrag();
        image_.Reset();
    }
    HTREEITEM target = over_;
    target_.SetDropHighlight(nullptr);
    over_ = nullptr;
    if (GetCapture() == page_) {
        ReleaseCapture();
    }
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (drop && target != nullptr && dropTarget_->CanDrop(items_, target, effect_)) {
        dropTarget_->Drop(items_, target, effect_);
    }
}

}  // namespace win
