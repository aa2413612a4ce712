#include "win/TreeView.h"

#include <vector>

#include "platform/NoCase.h"

namespace win {

HTREEITEM TreeView::Insert(HTREEITEM parent, const std::string& text, int image, HTREEITEM after,
                           LPARAM data) const {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::DeleteChildren(HTREEITEM item) const {
    while (HTREEITEM child = Child(item)) {
        Delete(child);
    }
}

std::string TreeView::ItemText(HTREEITEM item) const {
    std::vector<char> text(MAX_PATH + 1);
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text.data();
    tv.cchTextMax = static_cast<int>(text.size());
    Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text.data();
}

void TreeView::SetItemText(HTREEITEM item, const std::string& text) const {
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<char*>(text.c_str());
    Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

LPARAM TreeView::ItemData(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.lParam;
}

void TreeView::SetItemData(HTREEITEM item, LPARAM data) const {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    tv.lParam = data;
    Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

HTREEITEM TreeView::ItemAt(POINT client) const {
    TVHITTESTINFO hit{};
    hit.pt = client;
    HTREEITEM item = TreeView_HitTest(Handle(), &hit);
    return (hit.flags & TVHT_ONITEM) != 0 ? item : nullptr;
}

HTREEITEM TreeView::FindData(LPARAM data, HTREEITEM parent) const {
    for (HTREEITEM child = parent != nullptr ? Child(parent) : Root(); child != nullptr; child = Next(child)) {
        if (ItemData(child) == data) {
            return child;
        }
        if (HTREEITEM below = FindData(data, child)) {
            return below;
        }
    }
    return nullptr;
}

HTREEITEM TreeView::FindChild(HTREEITEM parent, const std::string& text) const {
    for (HTREEITEM child = Child(parent); child != nullptr; child = Next(child)) {
        if (nocase::Equal(ItemText(child), text)) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace win
