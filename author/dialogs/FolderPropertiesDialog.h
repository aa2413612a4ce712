#pragma once

#include <windows.h>

#include <string>

#include "model/Project.h"
#include "win/Dialog.h"
#include "win/TreeView.h"

// "Folder Properties": the folder's name and its dynamic settings, with a tree of this machine's drives
// and folders under "My Computer" to choose the folder it mirrors. OK writes the fields into the folder;
// a name that a sibling folder or a file of the parent has is refused as a rename is, and a root folder
// keeps its name.
class CFolderPropertiesDialog : public win::Dialog {
public:
    CFolderPropertiesDialog(const CProject& project, CFolder& folder) : project_(project), folder_(folder) {}

    // True when OK wrote the fields back.
    bool Edit(HWND owner);

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override;

    void EnableDynamic();
    void FillDrives();
    // The sub-folders of a folder item, read when it is first opened.
    void FillChildren(HTREEITEM item);
    std::string PathOf(HTREEITEM item) const;

    const CProject& project_;
    CFolder& folder_;
    win::TreeView machine_;
};
