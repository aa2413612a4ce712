#include "author/views/FolderTreeView.h"

#include "author/views/TreeItems.h"
#include "model/FileItem.h"
#include "model/Folder.h"

void CFolderTreeView::Attach(HWND tree, HWND fileList) {
    tree_ = win::TreeView(tree);
    list_ = win::ListView(fileList);
    if (list_) {
        ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
        RECT client = list_.ClientRect();
        list_.AddColumn("Name", client.right - client.left - GetSystemMetrics(SM_CXVSCROLL));
    }
}

void CFolderTreeView::Fill(const CProject& project) {
    TreeView_DeleteAllItems(tree_.Handle());
    if (list_) {
        list_.Clear();
    }
    for (CFolder* root : project.rootFolders) {
        Add(TVI_ROOT, root);
    }
}

void CFolderTreeView::Add(HTREEITEM parent, CFolder* folder) {
    HTREEITEM item = tree_.Insert(parent, folder->name, 0, TVI_LAST, reinterpret_cast<LPARAM>(folder));
    for (CFolder* child : folder->children) {
        Add(item, child);
    }
    tree_.Expand(item);
}

HTREEITEM CFolderTreeView::Find(const CFolder* folder) const {
    return tree_items::Find(tree_, folder);
}

CFolder* CFolderTreeView::FolderOf(HTREEITEM item) const {
    return item == nullptr ? nullptr : reinterpret_cast<CFolder*>(tree_.ItemData(item));
}

CFolder* CFolderTreeView::SelectedFolder() const {
    return FolderOf(tree_.Selection());
}

bool CFolderTreeView::Select(const CFolder* folder) const {
    HTREEITEM item = Find(folder);
    return item != nullptr && tree_.Select(item);
}

void CFolderTreeView::SelectFirst() const {
    if (tree_.Root() != nullptr) {
        tree_.Select(tree_.Root());
    }
}

void CFolderTreeView::ListFiles(const CProject& project, const CFolder* folder) const {
    list_.Clear();
    if (folder == nullptr) {
        return;
    }
    for (CFileItem* file : project.files) {
        if (file->folder == folder) {
            list_.Append(file->title, reinterpret_cast<LPARAM>(file));
        }
    }
}

CFileItem* CFolderTreeView::SelectedFile() const {
    int row = list_ ? list_.Selected() : -1;
    return row < 0 ? nullptr : reinterpret_cast<CFileItem*>(list_.Data(row));
}

bool CFolderTreeView::SelectFile(const CFileItem* file) const {
    int row = tree_items::FindRow(list_, file);
    if (row < 0) {
        return false;
    }
    list_.Select(row);
    list_.EnsureVisible(row);
    return true;
}
