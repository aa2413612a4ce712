#include "setup/wizard/FolderChooser.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/NoCase.h"
#include "setup/wizard/SharedDialogsRes.h"
#include "win/SystemError.h"

namespace {

// Item data: what an item stands for besides an ordinary folder.
constexpr LPARAM kFolder = 0;
constexpr LPARAM kPlaceholder = 1;
constexpr LPARAM kNewFolder = 2;
constexpr LPARAM kComputer = 3;

constexpr UINT kDeleteItemLater = WM_APP + 1;

enum Image { kImageComputer, kImageRemovable, kImageFixed, kImageCdRom, kImageFolder, kImageCount };

HIMAGELIST MakeImages() {
    // Icons of the system's own shell library: computer, removable, fixed, CD-ROM (the folder's is asked).
    const int shellIndex[kImageCount] = {15, 6, 8, 11, 0};
    HIMAGELIST list = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       ILC_COLOR32 | ILC_MASK, kImageCount, 0);
    for (int image = 0; image < kImageCount; ++image) {
        HICON icon = nullptr;
        if (image == kImageFolder) {
            // The system's own folder icon, asked by attributes so that no disk is touched.
            SHFILEINFOA info{};
            SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                           SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
            icon = info.hIcon;
        } else {
            ExtractIconExA("shell32.dll", shellIndex[image], nullptr, &icon, 1);
        }
        if (icon == nullptr) {
            icon = LoadIconA(nullptr, IDI_APPLICATION);
        }
        ImageList_AddIcon(list, icon);
        DestroyIcon(icon);
    }
    return list;
}

bool IsSubfolder(const WIN32_FIND_DATAA& found) {
    const std::string name = found.cFileName;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != "..";
}

// The subfolders of a folder, sorted without regard to case; at most one when only asked whether any exist.
std::vector<std::string> Subfolders(const std::string& folder, bool firstOnly) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (IsSubfolder(found)) {
            names.push_back(found.cFileName);
        }
    } while ((!firstOnly || names.empty()) && FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return nocase::Compare(a, b) < 0; });
    return names;
}

}  // namespace

bool CFolderChooser::Choose(HWND owner, std::string* path) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CFolderChooser chooser(*path);
    if (chooser.DoModal(owner, IDD_FOLDER_CHOOSER) != IDOK) {
        return false;
    }
    *path = dialog_rules::ChosenOrKept(chooser.path_, *path);
    return true;
}

BOOL CFolderChooser::OnInit() {
    tree_ = win::TreeView(Item(IDC_FC_TREE).Handle());
    RECT pathBox = Item(IDC_FC_PATH).RectInParent();
    pathLeft_ = pathBox.left;
    pathTop_ = pathBox.top;
    pathHeight_ = pathBox.bottom - pathBox.top;
    treeTop_ = tree_.RectInParent().top;
    Layout();

    images_ = MakeImages();
    tree_.SetImageList(images_);
    HTREEITEM root = tree_.Insert(TVI_ROOT, "My Computer", kImageComputer, TVI_LAST, kComputer);
    AddDrives(root);
    tree_.Expand(root);
    const std::string start = path_;
    // Focus first: some tree controls select an item of their own when they get the focus empty.
    tree_.Focus();
    // A folder that does not exist yet (the usual destination of a first installation) opens on its
    // nearest existing parent, and the path stays as typed until another folder is chosen.
    if (HTREEITEM nearest = WalkTo(start)) {
        tree_.Select(nearest);
        tree_.EnsureVisible(nearest);
    } else {
        tree_.Select(nullptr);
    }
    ShowPath(start);
    return FALSE;
}

void CFolderChooser::AddDrives(HTREEITEM root) {
    DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((drives & (1u << letter)) == 0) {
            continue;
        }
        const char name[3] = {static_cast<char>('A' + letter), ':', '\0'};
        const std::string rootPath = std::string(name) + "\\";
        UINT type = GetDriveTypeA(rootPath.c_str());
        bool removable = type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
        int image = type == DRIVE_REMOVABLE ? kImageRemovable : type == DRIVE_CDROM ? kImageCdRom : kImageFixed;
        HTREEITEM drive = tree_.Insert(root, name, image);
        // Removable media are never read just to show the tree.
        if (removable || !Subfolders(name, true).empty()) {
            AddPlaceholder(drive);
        }
    }
}

void CFolderChooser::AddPlaceholder(HTREEITEM item) { tree_.Insert(item, "Dummy", kImageFolder, TVI_LAST, kPlaceholder); }

void CFolderChooser::Fill(HTREEITEM item) {
    HTREEITEM first = tree_.Child(item);
    if (first == nullptr || tree_.ItemData(first) != kPlaceholder) {
        return;
    }
    tree_.Delete(first);
    const std::string folder = PathOf(item);
    for (const std::string& name : Subfolders(folder, false)) {
        HTREEITEM child = tree_.Insert(item, name, kImageFolder);
        if (!Subfolders(folder + "\\" + name, true).empty()) {
            AddPlaceholder(child);
        }
    }
}

void CFolderChooser::Collapse(HTREEITEM item) {
    if (tree_.ItemData(item) == kComputer || tree_.Child(item) == nullptr) {
        return;
    }
    tree_.DeleteChildren(item);
    AddPlaceholder(item);
}

void CFolderChooser::ExpandItem(HTREEITEM item) {
    Fill(item);
    tree_.Expand(item);
}

HTREEITEM CFolderChooser::WalkTo(const std::string& path) {
    HTREEITEM reached = nullptr;
    HTREEITEM item = tree_.Root();
    for (const std::string& part : dialog_rules::SplitFolderPath(path)) {
        item = tree_.FindChild(item, part);
        if (item == nullptr) {
            break;
        }
        reached = item;
        ExpandItem(item);
    }
    return reached;
}

std::string CFolderChooser::PathOf(HTREEITEM item) const {
    std::vector<std::string> parts;
    for (; item != nullptr && tree_.ItemData(item) != kComputer; item = tree_.Parent(item)) {
        parts.insert(parts.begin(), tree_.ItemText(item));
    }
    return dialog_rules::JoinFolderPath(parts);
}

void CFolderChooser::ShowPath(const std::string& path) {
    path_ = path;
    Item(IDC_FC_PATH).SetText(path);
}

void CFolderChooser::NewFolder() {
    HTREEITEM parent = tree_.Selection();
    if (parent == nullptr || tree_.ItemData(parent) == kComputer || tree_.ItemData(parent) == kNewFolder) {
        return;
    }
    ExpandItem(parent);
    HTREEITEM item = tree_.Insert(parent, "New Folder", kImageFolder, TVI_LAST, kNewFolder);
    tree_.Expand(parent);
    tree_.Select(item);
    tree_.Focus();
    tree_.EditLabel(item);
}

bool CFolderChooser::EndNewFolderEdit(const NMTVDISPINFOA& info) {
    HTREEITEM item = info.item.hItem;
    if (tree_.ItemData(item) != kNewFolder) {
        return false;
    }
    // Settled once: the edit control losing the focus (to the message box, say) may end the edit again.
    tree_.SetItemData(item, kFolder);
    const std::string name = info.item.pszText != nullptr ? info.item.pszText : "";
    if (name.empty()) {
        PostMessageA(Handle(), kDeleteItemLater, 0, reinterpret_cast<LPARAM>(item));
        return false;
    }
    const std::string folder = PathOf(tree_.Parent(item)) + "\\" + name;
    if (!CreateDirectoryA(folder.c_str(), nullptr)) {
        const std::string error = win::SystemErrorText(GetLastError());
        MessageBoxA(Handle(), error.c_str(), "Error", MB_OK | MB_ICONERROR);
        PostMessageA(Handle(), kDeleteItemLater, 0, reinterpret_cast<LPARAM>(item));
        return false;
    }
    ShowPath(folder);
    return true;
}

bool CFolderChooser::OnCommand(int id, int code, HWND control) {
    if (id == IDC_FC_NEW_FOLDER && code == BN_CLICKED) {
        NewFolder();
        return true;
    }
    return false;
}

void CFolderChooser::OnOK() {
    if (TreeView_GetEditControl(tree_.Handle()) != nullptr) {
        tree_.EndEditLabel(false);
        tree_.Focus();
        return;
    }
    End(IDOK);
}

bool CFolderChooser::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_FC_TREE) {
        return false;
    }
    switch (header->code) {
        case TVN_ITEMEXPANDINGA: {
            auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
            if (view->action & TVE_EXPAND) {
                Fill(view->itemNew.hItem);
            }
            *result = FALSE;
            return true;
        }
        case TVN_ITEMEXPANDEDA: {
            auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
            if (view->action & TVE_COLLAPSE) {
                Collapse(view->itemNew.hItem);
            }
            return true;
        }
        case TVN_SELCHANGEDA: {
            auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
            ShowPath(PathOf(view->itemNew.hItem));
            return true;
        }
        case TVN_BEGINLABELEDITA: {
            auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
            *result = tree_.ItemData(info->item.hItem) == kNewFolder ? FALSE : TRUE;  // TRUE refuses
            return true;
        }
        case TVN_ENDLABELEDITA: {
            auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
            *result = EndNewFolderEdit(*info) ? TRUE : FALSE;
            return true;
        }
        default:
            return false;
    }
}

void CFolderChooser::Layout() {
    RECT client = ClientRect();
    auto boxes = dialog_rules::FolderChooserLayout(client.right, client.bottom, pathLeft_, pathTop_, pathHeight_,
                                                   treeTop_);
    auto place = [this](int id, const dialog_rules::Box& box) { Item(id).Move(box.x, box.y, box.width, box.height); };
    place(IDC_FC_PATH, boxes.path);
    place(IDC_FC_TREE, boxes.tree);
    place(IDC_FC_NEW_FOLDER, boxes.newFolder);
    place(IDOK, boxes.ok);
    place(IDCANCEL, boxes.cancel);
    InvalidateRect(Handle(), nullptr, TRUE);
}

bool CFolderChooser::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_SIZE:
            Layout();
            return true;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = dialog_rules::kChooserMinWidth;
            info->ptMinTrackSize.y = dialog_rules::kChooserMinHeight;
            return true;
        }
        case kDeleteItemLater:
            tree_.Delete(reinterpret_cast<HTREEITEM>(lParam));
            return true;
        case WM_DESTROY:
            if (images_ != nullptr) {
                ImageList_Destroy(images_);
                images_ = nullptr;
            }
            return false;
        default:
            return false;
    }
}
