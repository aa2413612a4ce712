#pragma once

#include <string>
#include <vector>

#include "author/FolderRules.h"
#include "author/Page.h"
#include "author/views/FolderTreeView.h"
#include "win/DragTracker.h"
#include "win/ImageList.h"
#include "win/LabelEditor.h"
#include "win/ListView.h"
#include "win/Menu.h"
#include "win/Splitter.h"

// "Folders": the project's target folders in a tree, the items of the selected folder in a list (its
// files; its shortcuts with "Show Shortcuts"; with "Show Dynamic" the files that a dynamic folder finds on
// this machine instead), with the folder menu, the item menu and the shortcut list's menu, label editing
// of folder names, drag and drop of folders and items onto folders (Ctrl copies, Alt makes a shortcut)
// and files and directories dropped from the shell. Both views are filled again from the project after
// every edit; the list's rows name their objects by position, the tree's items by the folder they show as
// filled: the page keeps no model pointer across an edit.
class CFoldersPage : public CPage, private win::DropTarget {
public:
    explicit CFoldersPage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;
    bool PreTranslate(MSG& message) override;

private:
    // What a row of the list shows.
    struct Row {
        enum Kind { kFile, kShortcut, kFound } kind;
        int position;      // in the project's Files or Shortcuts list
        std::string path;  // a found file's path
    };

    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnContextMenu(HWND control, POINT screen) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnSize(int width, int height) override;
    void OnDropFiles(const std::vector<std::string>& paths, POINT client) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    bool CanDrop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;
    void Drop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;

    // The tree again from the project, selecting the folder given (or the one selected before).
    void ShowFolders(const CFolder* select = nullptr);
    // The list again for the selected folder, selecting the object given when it is listed.
    void ShowItems(const void* select = nullptr);
    void ListFoundFiles(const CFolder& folder);
    CFolder* SelectedFolder() const;
    const Row* RowAt(int row) const;
    CFileItem* FileOfRow(int row) const;
    CShortcut* ShortcutOfRow(int row) const;
    bool ShortcutSelected() const;

    void AddSpecialFolders();
    void AddFolder();
    void RenameFolder();
    void DeleteFolder();
    void FolderProperties();
    void AddFiles(CFolder* folder);
    void AddPaths(CFolder* folder, const std::vector<std::string>& paths);
    void AddDynamicFolder(CFolder* folder, const std::string& directory);
    void AddShortcut();
    void DeleteItems();
    void ItemProperties();
    void ChangeSource();

    void DropFolder(CFolder* dragged, CFolder* target, editor_rules::DropEffect effect);
    void DropRows(const win::DragItems& items, CFolder* target, editor_rules::DropEffect effect);
    // A new shortcut in location pointing at a file or a folder.
    void MakeShortcut(CFolder* location, CFileItem* file, CFolder* folder, const std::string& name);

    win::LabelEditor::Edit FolderEdit(CFolder* parent, CFolder* renaming);
    void Refuse(const std::string& message);

    CFolderTreeView folders_;
    win::TreeView tree_;
    win::ListView list_;
    win::Splitter splitter_;
    win::LabelEditor labels_;
    win::DragTracker drag_;
    win::ShellIcons icons_;
    win::ImageList folderIcons_;
    int shortcutIcon_ = -1;
    win::KeyCommands treeKeys_;
    win::KeyCommands listKeys_;
    std::vector<Row> rows_;
    const CFolder* shownFolder_ = nullptr;  // the folder whose items the list shows
    bool filling_ = false;
};
