#include "author/dialogs/FolderPropertiesDialog.h"

#include <commctrl.h>

#include "author/FolderRules.h"
#include "author/resource.h"
#include "platform/FindFiles.h"
#include "win/ComboBox.h"

namespace {

constexpr LPARAM kUnread = 1;  // a folder item whose sub-folders are not read yet (it holds one blank child)
constexpr LPARAM kRead = 2;
const char kMyComputer[] = "My Computer";

const int kDynamicControls[] = {
    IDC_FP_SOURCE_LABEL,    IDC_FP_SOURCE,    IDC_FP_MACHINE,    IDC_FP_WILDCARDS_LABEL, IDC_FP_WILDCARDS,
    IDC_FP_EXCLUDING_LABEL, IDC_FP_EXCLUDING, IDC_FP_SUBFOLDERS, IDC_FP_OVERWRITE_LABEL, IDC_FP_OVERWRITE};

}  // namespace

bool CFolderPropertiesDialog::Edit(HWND owner) {
    return DoModal(owner, IDD_FOLDER_PROPERTIES) == IDOK;
}

BOOL CFolderPropertiesDialog::OnInit() {
    machine_ = win::TreeView(Item(IDC_FP_MACHINE).Handle());
    Item(IDC_FP_NAME).SetText(folder_.name);
    if (folder_.parent == nullptr) {
        Item(IDC_FP_NAME).Send(EM_SETREADONLY, TRUE);
    }
    CheckDlgButton(Handle(), IDC_FP_DYNAMIC, folder_.isDynamic ? BST_CHECKED : BST_UNCHECKED);
    Item(IDC_FP_SOURCE).SetText(folder_.dynamicPath);
    Item(IDC_FP_WILDCARDS).SetText(folder_.wildCards);
    Item(IDC_FP_EXCLUDING).SetText(folder_.xWildCards);
    CheckDlgButton(Handle(), IDC_FP_SUBFOLDERS, folder_.includeSF ? BST_CHECKED : BST_UNCHECKED);
    win::ComboBox overwrite(Item(IDC_FP_OVERWRITE).Handle());
    overwrite.Fill(folder_rules::OverwriteChoices());
    overwrite.Select(
        folder_.overwriteMethod < folder_rules::OverwriteChoices().size() ? folder_.overwriteMethod : 0);
    FillDrives();
    EnableDynamic();
    return TRUE;
}

void CFolderPropertiesDialog::EnableDynamic() {
    const bool dynamic = IsDlgButtonChecked(Handle(), IDC_FP_DYNAMIC) == BST_CHECKED;
    for (int id : kDynamicControls) {
        Item(id).Enable(dynamic);
    }
}

void CFolderPropertiesDialog::FillDrives() {
    const HTREEITEM computer = machine_.Insert(TVI_ROOT, kMyComputer, 0, TVI_LAST, 0);
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            continue;
        }
        const char name[3] = {letter, ':', '\0'};
        const HTREEITEM drive = machine_.Insert(computer, name, 0, TVI_LAST, kUnread);
        machine_.Insert(drive, std::string(), 0, TVI_LAST, 0);
    }
    machine_.Expand(computer);
}

std::string CFolderPropertiesDialog::PathOf(HTREEITEM item) const {
    std::string path;
    for (; item != nullptr && machine_.Parent(item) != nullptr; item = machine_.Parent(item)) {
        path = machine_.ItemText(item) + (path.empty() ? std::string() : "\\" + path);
    }
    return path.size() == 2 ? path + "\\" : path;  // a drive alone is its root folder
}

void CFolderPropertiesDialog::FillChildren(HTREEITEM item) {
    if (machine_.ItemData(item) != kUnread) {
        return;
    }
    machine_.SetItemData(item, kRead);
    machine_.DeleteChildren(item);
    std::string path = PathOf(item);
    if (path.back() == '\\') {
        path.pop_back();
    }
    for (const platform::FoundEntry& entry : platform::FindFiles(path + "\\*")) {
        if (entry.isFolder) {
            const HTREEITEM child = machine_.Insert(item, entry.name, 0, TVI_LAST, kUnread);
            machine_.Insert(child, std::string(), 0, TVI_LAST, 0);
        }
    }
}

bool CFolderPropertiesDialog::OnCommand(int id, int code, HWND) {
    if (id == IDC_FP_DYNAMIC && code == BN_CLICKED) {
        EnableDynamic();
        return true;
    }
    return false;
}

bool CFolderPropertiesDialog::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_FP_MACHINE) {
        return false;
    }
    if (header->code == TVN_ITEMEXPANDINGA) {
        const auto* expanding = reinterpret_cast<const NMTREEVIEWA*>(header);
        if (expanding->action & TVE_EXPAND) {
            FillChildren(expanding->itemNew.hItem);
        }
        *result = FALSE;
        return true;
    }
    if (header->code == TVN_SELCHANGEDA) {
        const auto* changed = reinterpret_cast<const NMTREEVIEWA*>(header);
        if (machine_.Parent(changed->itemNew.hItem) != nullptr) {
            Item(IDC_FP_SOURCE).SetText(PathOf(changed->itemNew.hItem));
        }
        return true;
    }
    return false;
}

void CFolderPropertiesDialog::OnOK() {
    const std::string name = Item(IDC_FP_NAME).Text();
    if (folder_.parent != nullptr && name != folder_.name) {
        std::string refusal = name.empty() ? std::string("Please enter a name for this folder.")
                                           : folder_rules::RenameFolderRefusal(project_, folder_, name);
        if (!refusal.empty()) {
            MessageBoxA(Handle(), refusal.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
            Item(IDC_FP_NAME).Focus();
            return;
        }
        folder_.name = name;
    }
    folder_.isDynamic = IsDlgButtonChecked(Handle(), IDC_FP_DYNAMIC) == BST_CHECKED;
    folder_.dynamicPath = Item(IDC_FP_SOURCE).Text();
    if (!folder_.dynamicPath.empty() && folder_.dynamicPath.back() == '\\') {
        folder_.dynamicPath.pop_back();  // the model joins names to it with a backslash of its own
    }
    folder_.wildCards = Item(IDC_FP_WILDCARDS).Text();
    folder_.xWildCards = Item(IDC_FP_EXCLUDING).Text();
    folder_.includeSF = IsDlgButtonChecked(Handle(), IDC_FP_SUBFOLDERS) == BST_CHECKED;
    const int overwrite = win::ComboBox(Item(IDC_FP_OVERWRITE).Handle()).Selected();
    if (overwrite >= 0) {
        folder_.overwriteMethod = static_cast<uint8_t>(overwrite);
    }
    End(IDOK);
}
