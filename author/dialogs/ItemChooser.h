#pragma once

#include <windows.h>

#include <commctrl.h>

#include "author/views/FolderTreeView.h"
#include "author/views/RegistryTreeView.h"
#include "model/Project.h"
#include "win/Dialog.h"

// One item of the project, chosen in one dialog configured for its kind:
//   file   "Select File": the folder tree beside the list of the selected folder's files;
//   folder "Select Folder": the folder tree with "Include Sub-Folders";
//   key    "Select Registry Key": the registry tree with "Include Sub-Keys";
//   value  "Select Registry Value": the key tree beside the list of the selected key's values.
// OK hands back the item chosen, "No Selection" no item, Cancel leaves the item as it was. The check
// box's state is handed back with OK and "No Selection" (it is not shown for files and values).
class CItemChooser : public win::Dialog {
public:
    enum Kind { kFile, kFolder, kKey, kValue };
    enum Outcome { kCancelled, kNoSelection, kChosen };

    CItemChooser(const CProject& project, Kind kind) : project_(project), kind_(kind) {}

    // The item the dialog opens on (of the dialog's kind), and the check box's state.
    void SetCurrent(CFileItem* file) { file_ = file; }
    void SetCurrent(CFolder* folder) { folder_ = folder; }
    void SetCurrent(CRegItem* item) { regItem_ = item; }
    void SetIncludeSubItems(bool include) { includeSubItems_ = include; }

    Outcome Choose(HWND owner);

    CFileItem* ChosenFile() const { return file_; }
    CFolder* ChosenFolder() const { return folder_; }
    CRegItem* ChosenRegItem() const { return regItem_; }  // a key or a value, by the kind
    bool IncludeSubItems() const { return includeSubItems_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override;
    // One template serves four kinds; each kind's string names its own help topic.
    int HelpId() const override { return StringId(); }

    bool UsesList() const { return kind_ == kFile || kind_ == kValue; }
    void Arrange();
    void ShowSelectedContents();
    int StringId() const;

    const CProject& project_;
    const Kind kind_;
    CFileItem* file_ = nullptr;
    CFolder* folder_ = nullptr;
    CRegItem* regItem_ = nullptr;
    bool includeSubItems_ = false;
    CFolderTreeView folders_;
    CRegistryTreeView registry_;
};
