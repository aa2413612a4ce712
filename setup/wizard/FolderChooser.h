#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "setup/wizard/DialogRules.h"
#include "win/Dialog.h"
#include "win/TreeView.h"

// "Select Folder": lets the user pick or create a folder on the local drives.
class CFolderChooser : public win::Dialog {
public:
    // Opens the chooser on *path; on OK stores the chosen folder there (keeping *path when none is chosen)
    // and returns true; on Cancel leaves it as it was.
    static bool Choose(HWND owner, std::string* path);

private:
    explicit CFolderChooser(const std::string& startPath) : path_(startPath) {}

    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    void AddDrives(HTREEITEM root);
    void AddPlaceholder(HTREEITEM item);
    void Fill(HTREEITEM item);
    void Collapse(HTREEITEM item);
    void ExpandItem(HTREEITEM item);
    // Expands the items along the path as far as they exist; the last one reached, or nullptr when not
    // even the drive is there.
    HTREEITEM WalkTo(const std::string& path);
    std::string PathOf(HTREEITEM item) const;
    void ShowPath(const std::string& path);
    void NewFolder();
    bool EndNewFolderEdit(const NMTVDISPINFOA& info);
    void Layout();

    std::string path_;
    win::TreeView tree_;
    HIMAGELIST images_ = nullptr;
    int pathLeft_ = 0, pathTop_ = 0, pathHeight_ = 0, treeTop_ = 0;
};
