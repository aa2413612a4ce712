#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "author/EditorRules.h"
#include "win/Handles.h"
#include "win/TreeView.h"

namespace win {

// What is being dragged: one tree item, or the selected rows of a list (several at once).
struct DragItems {
    HWND source = nullptr;  // the tree or list
    bool fromTree = false;
    std::vector<HTREEITEM> treeItems;  // from a tree
    std::vector<int> rows;             // from a list
    std::vector<LPARAM> data;          // each item's data, in the same order
    size_t Count() const { return data.size(); }
};

// The page's side of a drop onto a tree item.
class DropTarget {
public:
    virtual ~DropTarget() = default;
    // Whether the items may go there with that effect; the pointer says no otherwise.
    virtual bool CanDrop(const DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) {
        return target != nullptr;
    }
    virtual void Drop(const DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) = 0;
};

// A drag of tree items or list rows onto the items of a tree, fed the page's messages: a drag image
// follows the pointer, the tree item under it is highlighted as the drop target, the tree scrolls when
// the pointer rests near its top or bottom edge, Ctrl and Alt are followed during the drag (the effect is
// editor_rules::EffectOf of them), Escape cancels, and a release over a target calls the DropTarget.
class DragTracker {
public:
    // Starts a drag from a TVN_BEGINDRAG or LVN_BEGINDRAG notification of a page's tree or list onto the
    // target tree. shortcuts: whether Alt may make shortcuts (else it is ignored). False when header is
    // no such notification.
    bool Begin(HWND page, const NMHDR* header, TreeView target, DropTarget* dropTarget,
               bool shortcuts = false);
    // WM_MOUSEMOVE, WM_LBUTTONUP, WM_CAPTURECHANGED and the scroll timer's WM_TIMER; true when taken.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Keys during a drag (all taken, so that Alt does not open the menu bar); Escape cancels.
    bool PreTranslate(const MSG& message);
    void Cancel() { End(false); }

    bool Active() const { return active_; }
    editor_rules::DropEffect Effect() const { return effect_; }
    const DragItems& Items() const { return items_; }

private:
    void Follow();
    void End(bool drop);
    void ShowImage(bool show) const;

    bool active_ = false;
    HWND page_ = nullptr;
    TreeView target_;
    DropTarget* dropTarget_ = nullptr;
    bool shortcuts_ = false;
    DragItems items_;
    OwnedImageList image_;
    editor_rules::DropEffect effect_ = editor_rules::DropEffect::kMove;
    HTREEITEM over_ = nullptr;
    int scroll_ = 0;  // -1 up, +1 down, 0 none
    // Ctrl and Alt as the key messages of the drag tell them, besides the queue's key state (which a
    // display server may set back when it moves the pointer).
    bool ctrl_ = false;
    bool alt_ = false;
};

}  // namespace win
