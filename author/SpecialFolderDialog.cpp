#include "author/SpecialFolderDialog.h"

#include <commctrl.h>

#include "author/resource.h"
#include "win/ListView.h"

namespace {
const char kHardCoded[] = "Hard Coded";

}  // namespace

std::vector<std::string> CSpecialFolderDialog::Choose(HWND owner) {
    chosen_.clear();
    if (DoModal(owner, IDD_SPECIAL_FOLDERS) != IDOK) {
        chosen_.clear();
    }
    return chosen_;
}

BOOL CSpecialFolderDialog::OnInit() {
    win::ListView list(Item(IDC_SF_LIST).Handle());
    if (!multiple_) {
        SetWindowLongPtrA(list.Handle(), GWL_STYLE, GetWindowLongPtrA(list.Handle(), GWL_STYLE) | LVS_SINGLESEL);
    }
    ListView_SetExtendedListViewStyle(list.Handle(), LVS_EX_FULLROWSELECT);
    list.AddColumn("Special Folder", 200);
    for (const std::string& name : offered_) {
        list.Append(name);
    }
    win::Window drives = Item(IDC_SF_DRIVE);
    DWORD present = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (present & (1u << (letter - 'A'))) {
            const char name[3] = {letter, ':', '\0'};
            drives.Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
    }
    drives.Send(CB_SETCURSEL, 0);
    ShowDriveChoice();
    return TRUE;
}

void CSpecialFolderDialog::ShowDriveChoice() {
    win::ListView list(Item(IDC_SF_LIST).Handle());
    bool hardCoded = false;
    for (size_t i = 0; i < offered_.size(); ++i) {
        hardCoded = hardCoded || (offered_[i] == kHardCoded && list.IsSelected(static_cast<int>(i)));
    }
    Item(IDC_SF_DRIVE_LABEL).Show(hardCoded);
    Item(IDC_SF_DRIVE).Show(hardCoded);
}

bool CSpecialFolderDialog::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_SF_LIST && header->code == LVN_ITEMCHANGED) {
        ShowDriveChoice();
        return true;
    }
    if (header->idFrom == IDC_SF_LIST && header->code == NM_DBLCLK) {
        OnOK();
        return true;
    }
    return false;
}

void CSpecialFolderDialog::OnOK() {
    win::ListView list(Item(IDC_SF_LIST).Handle());
    chosen_.clear();
    for (size_t i = 0; i < offered_.size(); ++i) {
        if (list.IsSelected(static_cast<int>(i))) {
            chosen_.push_back(offered_[i] == kHardCoded ? offered_[i] + " " + Item(IDC_SF_DRIVE).Text()
                                                        : offered_[i]);
        }
    }
    End(IDOK);
}
