#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win/Window.h"

namespace win {

// A tree-view control; grows only by what the programs use.
class TreeView : public Window {
public:
    TreeView() = default;
    explicit TreeView(HWND hwnd) : Window(hwnd) {}

    HTREEITEM Insert(HTREEITEM parent, const std::string& text, int image = 0, HTREEITEM after = TVI_LAST,
                     LPARAM data = 0) const;
    bool Delete(HTREEITEM item) const { return TreeView_DeleteItem(Handle(), item) != FALSE; }
    void DeleteChildren(HTREEITEM item) const;

    HTREEITEM Root() const { return TreeView_GetRoot(Handle()); }
    HTREEITEM Child(HTREEITEM item) const { return TreeView_GetChild(Handle(), item); }
    HTREEITEM Next(HTREEITEM item) const { return TreeView_GetNextSibling(Handle(), item); }
    HTREEITEM Parent(HTREEITEM item) const { return TreeView_GetParent(Handle(), item); }
    HTREEITEM Selection() const { return TreeView_GetSelection(Handle()); }

    std::string ItemText(HTREEITEM item) const;
    void SetItemText(HTREEITEM item, const std::string& text) const;
    LPARAM ItemData(HTREEITEM item) const;
    void SetItemData(HTREEITEM item, LPARAM data) const;
    HTREEITEM FindChild(HTREEITEM parent, const std::string& text) const;
    // The item that carries data (an object of the model), at any depth below parent (nullptr: the whole
    // tree); nullptr when none does.
    HTREEITEM FindData(LPARAM data, HTREEITEM parent = nullptr) const;

    bool Expand(HTREEITEM item, UINT action = TVE_EXPAND) const {
        return TreeView_Expand(Handle(), item, action) != FALSE;
    }
    bool Select(HTREEITEM item) const { return TreeView_SelectItem(Handle(), item) != FALSE; }
    HWND EditLabel(HTREEITEM item) const { return TreeView_EditLabel(Handle(), item); }
    void EndEditLabel(bool cancel) const { TreeView_EndEditLabelNow(Handle(), cancel ? TRUE : FALSE); }
    void SetImageList(HIMAGELIST list) const { TreeView_SetImageList(Handle(), list, TVSIL_NORMAL); }
    bool EnsureVisible(HTREEITEM item) const { return TreeView_EnsureVisible(Handle(), item) != FALSE; }
    // The item whose picture or label is at a point of the tree's client area, or nullptr.
    HTREEITEM ItemAt(POINT client) const;
    // Marks the item as the target of a drag (nullptr for none).
    void SetDropHighlight(HTREEITEM item) const { TreeView_SelectDropTarget(Handle(), item); }
    HTREEITEM DropHighlight() const { return TreeView_GetDropHilight(Handle()); }
};

}  // namespace win
