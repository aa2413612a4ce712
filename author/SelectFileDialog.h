#pragma once

#include <windows.h>
#include <commctrl.h>

#include "model/Project.h"
#include "win/Dialog.h"
#include "win/TreeView.h"

// "Select File": one file of the project, chosen in the folder tree and the list of the folder's files.
class CSelectFileDialog : public win::Dialog {
public:
    enum Outcome { kCancelled, kNoSelection, kChosen };

    CSelectFileDialog(const CProject& project, CFileItem* current) : project_(project), chosen_(current) {}

    Outcome Choose(HWND owner);
    CFileItem* Chosen() const { return chosen_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override;

    void AddFolder(HTREEITEM parent, CFolder* folder);
    void ListFiles(const CFolder* folder);
    CFileItem* SelectedFile() const;

    const CProject& project_;
    CFileItem* chosen_;
    win::TreeView tree_;
};
