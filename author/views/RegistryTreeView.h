#pragma once

#include <windows.h>

#include "model/Project.h"
#include "win/ListView.h"
#include "win/TreeView.h"

// The project's registry tree in a tree view: the root items and their keys (values are not tree items)
// and, when a list is attached, the values of one key in that list with the columns "Name", "Type" and
// "Data". Each item holds its CRegItem; after a change of the project the owner fills the view again.
class CRegistryTreeView {
public:
    void Attach(HWND tree, HWND valueList = nullptr);

    // Every root item with its keys; the root items expanded; the list is emptied.
    void Fill(const CProject& project);
    HTREEITEM Find(const CRegItem* key) const;
    CRegItem* KeyOf(HTREEITEM item) const;
    CRegItem* SelectedKey() const;
    // Selects the key's item, making it visible (false when the tree does not show it).
    bool Select(const CRegItem* key) const;
    void SelectFirst() const;

    // The list: the values of the key, in their order, the unnamed one shown as "(Default)".
    void ListValues(const CRegItem* key) const;
    CRegItem* SelectedValue() const;
    bool SelectValue(const CRegItem* value) const;

    const win::TreeView& Tree() const { return tree_; }
    const win::ListView& List() const { return list_; }

private:
    void Add(HTREEITEM parent, CRegItem* key, bool expand);

    win::TreeView tree_;
    win::ListView list_;
};
