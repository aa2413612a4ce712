#include "author/SelectFileDialog.h"

#include "author/resource.h"
#include "win/ListView.h"

namespace {
constexpr INT_PTR kNoSelectionResult = 100;
}

CSelectFileDialog::Outcome CSelectFileDialog::Choose(HWND owner) {
    switch (DoModal(owner, IDD_SELECT_FILE)) {
        case IDOK:
            return kChosen;
        case kNoSelectionResult:
            chosen_ = nullptr;
            return kNoSelection;
        default:
            return kCancelled;
    }
}

BOOL CSelectFileDialog::OnInit() {
    tree_ = win::TreeView(Item(IDC_SELF_TREE).Handle());
    win::ListView list(Item(IDC_SELF_LIST).Handle());
    ListView_SetExtendedListViewStyle(list.Handle(), LVS_EX_FULLROWSELECT);
    list.AddColumn("Name", 220);
    for (CFolder* root : project_.rootFolders) {
        AddFolder(TVI_ROOT, root);
    }
    // Open on the folder of the current file, with the file selected.
    const CFolder* start = chosen_ != nullptr ? chosen_->folder : nullptr;
    for (HTREEITEM item = tree_.Root(); start != nullptr && item != nullptr;) {
        if (reinterpret_cast<const CFolder*>(tree_.ItemData(item)) == start) {
            tree_.Select(item);
            break;
        }
        HTREEITEM next = tree_.Child(item);
        while (next == nullptr && item != nullptr) {
            next = tree_.Next(item);
            item = next == nullptr ? tree_.Parent(item) : item;
        }
        item = next;
    }
    if (tree_.Selection() == nullptr && tree_.Root() != nullptr) {
        tree_.Select(tree_.Root());
    }
    return TRUE;
}

void CSelectFileDialog::AddFolder(HTREEITEM parent, CFolder* folder) {
    HTREEITEM item = tree_.Insert(parent, folder->name, 0, TVI_LAST, reinterpret_cast<LPARAM>(folder));
    for (CFolder* child : folder->children) {
        AddFolder(item, child);
    }
    tree_.Expand(item);
}

void CSelectFileDialog::ListFiles(const CFolder* folder) {
    win::ListView list(Item(IDC_SELF_LIST).Handle());
    list.Clear();
    for (CFileItem* file : project_.files) {
        if (file->folder != folder) {
            continue;
        }
        int row = list.Append(file->title, reinterpret_cast<LPARAM>(file));
        if (file == chosen_) {
            list.Select(row);
        }
    }
}

CFileItem* CSelectFileDialog::SelectedFile() const {
    win::ListView list(Item(IDC_SELF_LIST).Handle());
    int row = list.Selected();
    return row < 0 ? nullptr : reinterpret_cast<CFileItem*>(list.Data(row));
}

bool CSelectFileDialog::OnCommand(int id, int code, HWND control) {
    if (id == IDC_SELF_NONE) {
        End(kNoSelectionResult);
        return true;
    }
    return id == IDC_SELF_HELP;
}

bool CSelectFileDialog::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_SELF_TREE && header->code == TVN_SELCHANGEDA) {
        ListFiles(reinterpret_cast<const CFolder*>(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.lParam));
        return true;
    }
    if (header->idFrom == IDC_SELF_LIST && header->code == NM_DBLCLK) {
        OnOK();
        return true;
    }
    return false;
}

void CSelectFileDialog::OnOK() {
    CFileItem* file = SelectedFile();
    if (file == nullptr) {
        MessageBoxA(Handle(), "Please select a file.", "Tessaro", MB_OK | MB_ICONSTOP);
        return;
    }
    chosen_ = file;
    End(IDOK);
}
