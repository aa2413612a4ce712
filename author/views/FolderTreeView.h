#pragma once

#include <windows.h>

#include "model/Project.h"
#include "win/ListView.h"
#include "win/TreeView.h"

// The project's folder tree in a tree view and, when a list is attached, the files of one folder in that
// list. Each item holds its CFolder or CFileItem; nothing is kept across a change of the project but the
// controls: after one, the owner fills the view again.
class CFolderTreeView {
public:
    // The list, when there is one, gets the column "Name".
    void Attach(HWND tree, HWND fileList = nullptr);

    // Every root folder with its sub-folders, expanded; the list is emptied.
    void Fill(const CProject& project);
    HTREEITEM Find(const CFolder* folder) const;
    CFolder* FolderOf(HTREEITEM item) const;
    CFolder* SelectedFolder() const;
    // Selects the folder's item (false when the tree does not show it).
    bool Select(const CFolder* folder) const;
    // Selects the first root folder, if there is one.
    void SelectFirst() const;

    // The list: the files of the project that lie directly in the folder, in the order of the Files list.
    void ListFiles(const CProject& project, const CFolder* folder) const;
    CFileItem* SelectedFile() const;
    bool SelectFile(const CFileItem* file) const;

    const win::TreeView& Tree() const { return tree_; }
    const win::ListView& List() const { return list_; }

private:
    void Add(HTREEITEM parent, CFolder* folder);

    win::TreeView tree_;
    win::ListView list_;
};
