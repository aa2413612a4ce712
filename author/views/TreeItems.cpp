#include "author/views/TreeItems.h"

namespace tree_items {

HTREEITEM Find(const win::TreeView& tree, const void* object) {
    if (object == nullptr) {
        return nullptr;
    }
    const auto data = reinterpret_cast<LPARAM>(object);
    HTREEITEM item = tree.Root();
    while (item != nullptr) {
        if (tree.ItemData(item) == data) {
            return item;
        }
        // Depth first: the first child, else the next sibling of this item or of the nearest ancestor.
        HTREEITEM next = tree.Child(item);
        while (next == nullptr && item != nullptr) {
            next = tree.Next(item);
            if (next == nullptr) {
                item = tree.Parent(item);
            }
        }
        item = next;
    }
    return nullptr;
}

int FindRow(const win::ListView& list, const void* object) {
    const auto data = reinterpret_cast<LPARAM>(object);
    for (int row = 0, count = list.Count(); object != nullptr && row < count; ++row) {
        if (list.Data(row) == data) {
            return row;
        }
    }
    return -1;
}

}  // namespace tree_items
