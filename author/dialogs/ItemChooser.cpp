#include "author/dialogs/ItemChooser.h"

#include "author/Help.h"
#include "author/dialogs/ItemChooserRes.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"

namespace {

constexpr INT_PTR kNoSelectionResult = 100;

// The first line of a string resource.
std::string FirstLine(int id) {
    char text[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text);
    std::string line = text;
    return line.substr(0, line.find('\n'));
}

}  // namespace

CItemChooser::Outcome CItemChooser::Choose(HWND owner) {
    switch (DoModal(owner, IDD_ITEM_CHOOSER)) {
        case IDOK:
            return kChosen;
        case kNoSelectionResult:
            return kNoSelection;
        default:
            return kCancelled;
    }
}

int CItemChooser::StringId() const {
    switch (kind_) {
        case kFile:
            return IDS_CHOOSE_FILE;
        case kFolder:
            return IDS_CHOOSE_FOLDER;
        case kKey:
            return IDS_CHOOSE_KEY;
        default:
            return IDS_CHOOSE_VALUE;
    }
}

BOOL CItemChooser::OnInit() {
    SetText(FirstLine(StringId()));
    Arrange();
    HWND tree = Item(IDC_CHOOSE_TREE).Handle();
    HWND list = UsesList() ? Item(IDC_CHOOSE_LIST).Handle() : nullptr;
    if (kind_ == kFile || kind_ == kFolder) {
        folders_.Attach(tree, list);
        folders_.Fill(project_);
        // Open on the current item: a file's folder with the file selected in the list.
        const CFolder* start = kind_ == kFile ? (file_ != nullptr ? file_->folder : nullptr) : folder_;
        if (!folders_.Select(start)) {
            folders_.SelectFirst();
        }
        ShowSelectedContents();
    } else {
        registry_.Attach(tree, list);
        registry_.Fill(project_);
        const CRegItem* start = regItem_ == nullptr ? nullptr : kind_ == kKey ? regItem_ : regItem_->parent;
        if (!registry_.Select(start)) {
            registry_.SelectFirst();
        }
        ShowSelectedContents();
    }
    CheckDlgButton(Handle(), IDC_CHOOSE_SUBITEMS, includeSubItems_ ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

// The template holds every control: a kind with a list hides the check box and lets the panes use its
// room; a kind without one hides the list and widens the tree over it.
void CItemChooser::Arrange() {
    RECT tree = Item(IDC_CHOOSE_TREE).RectInParent();
    RECT list = Item(IDC_CHOOSE_LIST).RectInParent();
    RECT box = Item(IDC_CHOOSE_SUBITEMS).RectInParent();
    if (UsesList()) {
        Item(IDC_CHOOSE_SUBITEMS).Show(false);
        const int bottom = box.bottom;
        Item(IDC_CHOOSE_TREE).Move(tree.left, tree.top, tree.right - tree.left, bottom - tree.top);
        Item(IDC_CHOOSE_LIST).Move(list.left, list.top, list.right - list.left, bottom - list.top);
    } else {
        Item(IDC_CHOOSE_LIST).Show(false);
        Item(IDC_CHOOSE_TREE).Move(tree.left, tree.top, list.right - tree.left, tree.bottom - tree.top);
        Item(IDC_CHOOSE_SUBITEMS).SetText(kind_ == kFolder ? "Include Sub-Folders" : "Include Sub-Keys");
    }
}

void CItemChooser::ShowSelectedContents() {
    if (kind_ == kFile) {
        folders_.ListFiles(project_, folders_.SelectedFolder());
        folders_.SelectFile(file_);
    } else if (kind_ == kValue) {
        registry_.ListValues(registry_.SelectedKey());
        registry_.SelectValue(regItem_);
    }
}

bool CItemChooser::OnCommand(int id, int code, HWND control) {
    if (id == IDC_CHOOSE_NONE) {
        file_ = nullptr;
        folder_ = nullptr;
        regItem_ = nullptr;
        includeSubItems_ = IsDlgButtonChecked(Handle(), IDC_CHOOSE_SUBITEMS) == BST_CHECKED;
        End(kNoSelectionResult);
        return true;
    }
    if (id == IDC_CHOOSE_HELP) {
        help::ShowTopic(Handle(), help::TopicOfResource(StringId()));
        return true;
    }
    return false;
}

bool CItemChooser::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_CHOOSE_TREE && header->code == TVN_SELCHANGEDA) {
        ShowSelectedContents();
        return true;
    }
    if (header->idFrom == IDC_CHOOSE_LIST && header->code == NM_DBLCLK && UsesList()) {
        OnOK();
        return true;
    }
    return false;
}

void CItemChooser::OnOK() {
    const char* missing = nullptr;
    switch (kind_) {
        case kFile:
            missing = folders_.SelectedFile() == nullptr ? "Please select a file." : nullptr;
            break;
        case kFolder:
            missing = folders_.SelectedFolder() == nullptr ? "Please select a folder." : nullptr;
            break;
        case kKey:
            missing = registry_.SelectedKey() == nullptr ? "Please select a registry key." : nullptr;
            break;
        case kValue:
            missing = registry_.SelectedValue() == nullptr ? "Please select a registry value." : nullptr;
            break;
    }
    if (missing != nullptr) {
        MessageBoxA(Handle(), missing, "Tessaro", MB_OK | MB_ICONERROR);
        return;
    }
    file_ = kind_ == kFile ? folders_.SelectedFile() : nullptr;
    folder_ = kind_ == kFolder ? folders_.SelectedFolder() : nullptr;
    regItem_ = kind_ == kKey     ? registry_.SelectedKey()
               : kind_ == kValue ? registry_.SelectedValue()
                                 : nullptr;
    includeSubItems_ = IsDlgButtonChecked(Handle(), IDC_CHOOSE_SUBITEMS) == BST_CHECKED;
    End(IDOK);
}
