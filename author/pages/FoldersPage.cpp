#include "author/pages/FoldersPage.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <memory>

#include "author/PageRules.h"
#include "author/SpecialFolderDialog.h"
#include "author/dialogs/ConfirmDelete.h"
#include "author/dialogs/FolderPropertiesDialog.h"
#include "author/dialogs/ShortcutDialog.h"
#include "author/resource.h"
#include "platform/FindFiles.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"
#include "win/FileDialog.h"

using folder_rules::DropAction;
using folder_rules::DropDecision;

namespace {

const char kAllFilesFilter[] = "All Files (*.*)|*.*||";

// The positions of an item and of its ancestors among their siblings, from the root down: it names a tree
// item across a refill without reading the model object the item showed.
std::vector<int> PlaceOf(const win::TreeView& tree, HTREEITEM item) {
    std::vector<int> place;
    for (; item != nullptr; item = tree.Parent(item)) {
        int index = 0;
        for (HTREEITEM before = TreeView_GetPrevSibling(tree.Handle(), item); before != nullptr;
             before = TreeView_GetPrevSibling(tree.Handle(), before)) {
            ++index;
        }
        place.insert(place.begin(), index);
    }
    return place;
}

// The item at a place, or the nearest one left: the last sibling when the place lies past the end, the
// parent when it has no children left.
HTREEITEM ItemAtPlace(const win::TreeView& tree, const std::vector<int>& place) {
    HTREEITEM found = nullptr;
    HTREEITEM first = tree.Root();
    for (int index : place) {
        HTREEITEM item = first;
        for (int i = 0; item != nullptr && i < index && tree.Next(item) != nullptr; ++i) {
            item = tree.Next(item);
        }
        if (item == nullptr) {
            break;
        }
        found = item;
        first = tree.Child(item);
    }
    return found;
}

std::string SizeText(uint64_t size) {
    char text[64] = {};
    StrFormatByteSizeA(static_cast<DWORD>(size), text, sizeof text);
    return text;
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A dynamic folder, or a folder below one: the folder of this machine it mirrors, and the patterns.
struct DynamicSource {
    std::string directory;
    const CFolder* owner = nullptr;
};

DynamicSource SourceOf(const CFolder& folder) {
    std::string below;
    for (const CFolder* up = &folder; up != nullptr; up = up->parent) {
        if (up->isDynamic) {
            return {up->dynamicPath + below, up};
        }
        below = "\\" + up->name + below;
    }
    return {};
}

}  // namespace

CFoldersPage::CFoldersPage(CDocument& document)
    : CPage(document, IDD_PAGE_FOLDERS, "Folders"), splitter_(true, nullptr), labels_("Tessaro") {}

BOOL CFoldersPage::OnInit() {
    folders_.Attach(Item(IDC_FLD_TREE).Handle());
    tree_ = folders_.Tree();
    list_ = win::ListView(Item(IDC_FLD_LIST).Handle());
    ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
    list_.AddColumn("Name", 100);
    list_.AddColumn("Size", 70);  // wide enough for "1023 bytes" in the system font
    SHFILEINFOA info{};
    if (SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON) != 0 &&
        info.hIcon != nullptr) {
        folderIcons_.Add(info.hIcon);
        DestroyIcon(info.hIcon);
        tree_.SetImageList(folderIcons_.Handle());
    }
    shortcutIcon_ = icons_.IndexOf("shortcut.lnk");
    list_.SetImageList(icons_.Images());
    const RECT tree = tree_.RectInParent();
    const RECT list = list_.RectInParent();
    splitter_ = win::Splitter(true, win::Splitter::Panes(tree_, list_));
    splitter_.Attach(Handle());
    splitter_.SetArea({tree.left, tree.top, list.right, tree.bottom});
    splitter_.SetPosition(tree.right - tree.left);
    treeKeys_ = {tree_.Handle(), ID_FLD_ADD_FOLDER, ID_FLD_DELETE, ID_FLD_RENAME};
    listKeys_ = {list_.Handle(), ID_FLD_ITEM_ADD_FILES, ID_FLD_ITEM_DELETE, ID_FLD_ITEM_PROPERTIES};
    labels_.SetRenameRequest([this](HWND control, LPARAM item, win::LabelEditor::Edit* edit) {
        if (control != tree_.Handle()) {
            return false;
        }
        CFolder* folder = folders_.FolderOf(reinterpret_cast<HTREEITEM>(item));
        if (folder == nullptr || folder->parent == nullptr) {
            return false;  // root folders keep their names
        }
        tree_.Select(reinterpret_cast<HTREEITEM>(item));
        *edit = FolderEdit(folder->parent, folder);
        return true;
    });
    return FALSE;
}

void CFoldersPage::Reload(int) {
    filling_ = true;
    TreeView_DeleteAllItems(tree_.Handle());
    filling_ = false;
    const CItemArray<CFolder>& roots = document_.project.rootFolders;
    ShowFolders(roots.size() > 0 ? roots[0] : nullptr);
}

void CFoldersPage::OnUpdate(UpdateHint hint, const void* object) {
    switch (hint) {
        case UpdateHint::kSettingsChanged:
        case UpdateHint::kRegistryChanged:
        case UpdateHint::kDocTypeChanged:
        case UpdateHint::kActionChanged:
            return;
        case UpdateHint::kFolderAdded:
        case UpdateHint::kFolderChanged:
            ShowFolders(static_cast<const CFolder*>(object));
            return;
        case UpdateHint::kFileAdded:
        case UpdateHint::kFileChanged:
        case UpdateHint::kShortcutChanged:
            ShowFolders();
            ShowItems(object);
            return;
        default:
            ShowFolders();
    }
}

bool CFoldersPage::PreTranslate(MSG& message) {
    if (drag_.Active()) {
        return drag_.PreTranslate(message);
    }
    return splitter_.PreTranslate(message);
}

void CFoldersPage::OnSize(int width, int height) {
    if (tree_) {
        const RECT tree = tree_.RectInParent();
        splitter_.SetArea({tree.left, tree.top, width - tree.left, height - tree.left});
    }
}

bool CFoldersPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    return drag_.OnMessage(message, wParam, lParam) || splitter_.OnMessage(message, wParam, lParam, result);
}

void CFoldersPage::ShowFolders(const CFolder* select) {
    const std::vector<int> place = PlaceOf(tree_, tree_.Selection());
    filling_ = true;
    SendMessageA(tree_.Handle(), WM_SETREDRAW, FALSE, 0);
    folders_.Fill(document_.project);
    HTREEITEM selected = select != nullptr ? folders_.Find(select) : nullptr;
    if (selected == nullptr) {
        selected = ItemAtPlace(tree_, place);
    }
    if (selected == nullptr) {
        selected = tree_.Root();
    }
    tree_.Select(selected);
    SendMessageA(tree_.Handle(), WM_SETREDRAW, TRUE, 0);
    tree_.EnsureVisible(selected);
    InvalidateRect(tree_.Handle(), nullptr, TRUE);
    filling_ = false;
    ShowItems();
}

CFolder* CFoldersPage::SelectedFolder() const {
    return folders_.SelectedFolder();
}

void CFoldersPage::ShowItems(const void* select) {
    const CFolder* folder = SelectedFolder();
    // The row selected before stays selected when the same folder is shown again (compared, never read).
    const int before = folder == shownFolder_ ? list_.Selected() : -1;
    shownFolder_ = folder;
    filling_ = true;
    SendMessageA(list_.Handle(), WM_SETREDRAW, FALSE, 0);
    list_.Clear();
    rows_.clear();
    int selectRow = -1;
    const bool dynamic = IsDlgButtonChecked(Handle(), IDC_FLD_SHOW_DYNAMIC) == BST_CHECKED;
    if (folder != nullptr && dynamic && SourceOf(*folder).owner != nullptr) {
        ListFoundFiles(*folder);
    } else if (folder != nullptr) {
        const CProject& project = document_.project;
        for (const CFileItem* file : project.files) {
            if (file->folder != folder) {
                continue;
            }
            rows_.push_back({Row::kFile, file->position, std::string()});
            const int row = list_.Append(file->title, static_cast<LPARAM>(rows_.size() - 1),
                                         icons_.IndexOf(file->sourcePath));
            list_.SetItemText(row, 1, SizeText(file->size));
            if (file == select) {
                selectRow = row;
            }
        }
        if (IsDlgButtonChecked(Handle(), IDC_FLD_SHOW_SHORTCUTS) == BST_CHECKED) {
            for (const CShortcut* shortcut : project.shortcuts) {
                if (shortcut->folder != folder) {
                    continue;
                }
                rows_.push_back({Row::kShortcut, shortcut->position, std::string()});
                const int row =
                    list_.Append(shortcut->name, static_cast<LPARAM>(rows_.size() - 1), shortcutIcon_);
                if (shortcut == select) {
                    selectRow = row;
                }
            }
        }
    }
    list_.ReselectAfterFill(selectRow, select != nullptr, before);
    SendMessageA(list_.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.Handle(), nullptr, TRUE);
    filling_ = false;
}

void CFoldersPage::ListFoundFiles(const CFolder& folder) {
    const DynamicSource source = SourceOf(folder);
    for (const std::string& pattern : folder_rules::Patterns(source.owner->wildCards)) {
        for (const platform::FoundEntry& entry : platform::FindFiles(source.directory + "\\" + pattern)) {
            const std::string path = source.directory + "\\" + entry.name;
            if (entry.isFolder || IsExcluded(path, source.owner->xWildCards)) {
                continue;
            }
            const bool listed = std::any_of(rows_.begin(), rows_.end(),
                                            [&](const Row& row) { return nocase::Equal(row.path, path); });
            if (listed) {
                continue;  // two patterns found the same file
            }
            rows_.push_back({Row::kFound, -1, path});
            const int row =
                list_.Append(entry.name, static_cast<LPARAM>(rows_.size() - 1), icons_.IndexOf(path));
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
                list_.SetItemText(row, 1, SizeText(data.nFileSizeLow));
            }
        }
    }
}

const CFoldersPage::Row* CFoldersPage::RowAt(int row) const {
    const LPARAM index = row >= 0 ? list_.Data(row) : -1;
    return index >= 0 && static_cast<size_t>(index) < rows_.size() ? &rows_[static_cast<size_t>(index)]
                                                                   : nullptr;
}

CFileItem* CFoldersPage::FileOfRow(int row) const {
    const Row* shown = RowAt(row);
    return shown != nullptr && shown->kind == Row::kFile ? document_.project.files.At(shown->position)
                                                         : nullptr;
}

CShortcut* CFoldersPage::ShortcutOfRow(int row) const {
    const Row* shown = RowAt(row);
    return shown != nullptr && shown->kind == Row::kShortcut ? document_.project.shortcuts.At(shown->position)
                                                             : nullptr;
}

bool CFoldersPage::ShortcutSelected() const {
    return ShortcutOfRow(list_.Selected()) != nullptr;
}

bool CFoldersPage::OnContextMenu(HWND control, POINT screen) {
    if (control != tree_.Handle() && control != list_.Handle()) {
        return false;
    }
    win::Window(control).Focus();
    const bool fromMouse = screen.x != -1 || screen.y != -1;
    POINT client = screen;
    if (fromMouse) {
        ScreenToClient(control, &client);
    }
    if (control == tree_.Handle()) {
        CFolder* folder = SelectedFolder();
        if (fromMouse) {
            HTREEITEM item = tree_.ItemAt(client);
            folder = folders_.FolderOf(item);
            if (item != nullptr) {
                tree_.Select(item);
            }
        }
        const folder_rules::FolderMenu state = folder_rules::FolderMenuOf(document_.project, folder);
        const win::Menu menu(IDR_FLD_FOLDER_MENU);
        menu.Enable(ID_FLD_ADD_FOLDER, state.addFolder);
        menu.Enable(ID_FLD_DELETE, state.remove);
        menu.Enable(ID_FLD_RENAME, state.rename);
        menu.Enable(ID_FLD_PROPERTIES, state.properties);
        menu.Enable(ID_FLD_ADD_FILES, state.addFiles);
        menu.Enable(ID_FLD_ADD_SHORTCUT, state.addShortcut);
        menu.SetDefault(ID_FLD_PROPERTIES);
        if (const int command = menu.Track(Handle(), screen)) {
            OnCommand(command, 0, nullptr);
        }
        return true;
    }
    if (fromMouse) {
        LVHITTESTINFO hit{};
        hit.pt = client;
        const int row = ListView_HitTest(list_.Handle(), &hit);
        if (row >= 0 && !list_.IsSelected(row)) {
            ListView_SetItemState(list_.Handle(), -1, 0, LVIS_SELECTED);
            list_.Select(row);
        }
    }
    const folder_rules::FolderMenu state = folder_rules::FolderMenuOf(document_.project, SelectedFolder());
    int command = 0;
    if (ShortcutSelected()) {
        const win::Menu menu(IDR_FLD_SHORTCUT_MENU);
        menu.Enable(ID_FLD_SC_ADD, state.addShortcut);
        command = menu.Track(Handle(), screen);
    } else {
        const bool file = FileOfRow(list_.Selected()) != nullptr;
        const win::Menu menu(IDR_FLD_ITEM_MENU);
        menu.Enable(ID_FLD_ITEM_ADD_FILES, state.addFiles);
        menu.Enable(ID_FLD_ITEM_ADD_SHORTCUT, state.addShortcut);
        menu.Enable(ID_FLD_ITEM_DELETE, file);
        menu.Enable(ID_FLD_ITEM_PROPERTIES, file);
        menu.Enable(ID_FLD_CHANGE_SOURCE, file);
        command = menu.Track(Handle(), screen);
    }
    if (command != 0) {
        OnCommand(command, 0, nullptr);
    }
    return true;
}

bool CFoldersPage::OnCommand(int id, int code, HWND) {
    const folder_rules::FolderMenu state = folder_rules::FolderMenuOf(document_.project, SelectedFolder());
    switch (id) {
        case IDC_FLD_SHOW_SHORTCUTS:
        case IDC_FLD_SHOW_DYNAMIC:
            if (code == BN_CLICKED) {
                ShowItems();
            }
            return true;
        case ID_FLD_ADD_SPECIAL:
            AddSpecialFolders();
            return true;
        case ID_FLD_ADD_FOLDER:
            if (state.addFolder) {
                AddFolder();
            }
            return true;
        case ID_FLD_DELETE:
            if (SelectedFolder() != nullptr) {
                DeleteFolder();
            }
            return true;
        case ID_FLD_RENAME:
            if (state.rename) {
                RenameFolder();
            }
            return true;
        case ID_FLD_PROPERTIES:
            if (state.properties) {
                FolderProperties();
            }
            return true;
        case ID_FLD_ADD_FILES:
        case ID_FLD_ITEM_ADD_FILES:
            if (id == ID_FLD_ITEM_ADD_FILES && ShortcutSelected() && code == 0 && state.addShortcut) {
                AddShortcut();  // Insert on a shortcut of the list
            } else if (state.addFiles) {
                AddFiles(SelectedFolder());
            }
            return true;
        case ID_FLD_ADD_SHORTCUT:
        case ID_FLD_ITEM_ADD_SHORTCUT:
        case ID_FLD_SC_ADD:
            if (state.addShortcut) {
                AddShortcut();
            }
            return true;
        case ID_FLD_ITEM_DELETE:
        case ID_FLD_SC_DELETE:
            DeleteItems();
            return true;
        case ID_FLD_ITEM_PROPERTIES:
        case ID_FLD_SC_EDIT:
            ItemProperties();
            return true;
        case ID_FLD_CHANGE_SOURCE:
            ChangeSource();
            return true;
        default:
            return false;
    }
}

void CFoldersPage::Refuse(const std::string& message) {
    MessageBoxA(Handle(), message.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
}

win::LabelEditor::Edit CFoldersPage::FolderEdit(CFolder* parent, CFolder* renaming) {
    const std::string parentPath = document_.project.IndexPathOf(parent);
    const std::string folderPath =
        renaming != nullptr ? document_.project.IndexPathOf(renaming) : std::string();
    win::LabelEditor::Edit edit;
    edit.defaultName = folder_rules::kNewFolderName;
    edit.rule = [this, parentPath, folderPath](const std::string& name) {
        const CFolder* owner = document_.project.FolderFromIndexPath(parentPath);
        if (owner == nullptr) {
            return std::string();
        }
        if (folderPath.empty()) {
            return folder_rules::AddFolderRefusal(document_.project, owner, name);
        }
        const CFolder* folder = document_.project.FolderFromIndexPath(folderPath);
        return folder != nullptr ? folder_rules::RenameFolderRefusal(document_.project, *folder, name)
                                 : std::string();
    };
    edit.apply = [this, parentPath, folderPath](const std::string& name) {
        CFolder* owner = document_.project.FolderFromIndexPath(parentPath);
        if (owner == nullptr) {
            return;
        }
        if (!folderPath.empty()) {
            if (CFolder* folder = document_.project.FolderFromIndexPath(folderPath)) {
                folder->name = name;
                document_.Changed(UpdateHint::kFolderChanged, folder);
            }
            return;
        }
        CFolder* added = owner->AddChild(std::make_unique<CFolder>(name));
        if (added == nullptr) {
            Refuse("Cannot add \"" + name + "\". The folder " + owner->TargetPath() +
                   " cannot hold more folders.");
            ShowFolders(owner);
            return;
        }
        document_.Changed(UpdateHint::kFolderAdded, added);
    };
    return edit;
}

void CFoldersPage::AddSpecialFolders() {
    CProject& project = document_.project;
    std::vector<std::string> rootNames;
    for (const CFolder* root : project.rootFolders) {
        rootNames.push_back(root->name);
    }
    CSpecialFolderDialog dialog(page_rules::OfferedSpecialFolders(rootNames, true), true);
    CFolder* last = nullptr;
    for (const std::string& name : dialog.Choose(Handle())) {
        bool taken = false;
        for (const CFolder* root : project.rootFolders) {
            taken = taken || nocase::Equal(root->name, name);
        }
        if (!taken) {
            if (CFolder* added = project.AddRootFolder(name)) {
                last = added;
            }
        }
    }
    if (last != nullptr) {
        document_.Changed(UpdateHint::kFolderAdded, last);
    }
}

void CFoldersPage::AddFolder() {
    CFolder* parent = SelectedFolder();
    const HTREEITEM parentItem = tree_.Selection();
    tree_.Expand(parentItem);
    const HTREEITEM item = tree_.Insert(parentItem, folder_rules::kNewFolderName, 0, TVI_LAST, 0);
    tree_.EnsureVisible(item);
    tree_.Focus();
    labels_.BeginNew(tree_, item, FolderEdit(parent, nullptr));
}

void CFoldersPage::RenameFolder() {
    CFolder* folder = SelectedFolder();
    tree_.Focus();
    labels_.BeginRename(tree_, tree_.Selection(), FolderEdit(folder->parent, folder));
}

void CFoldersPage::DeleteFolder() {
    CFolder* folder = SelectedFolder();
    CProject& project = document_.project;
    if (!folder_rules::CanDeleteFolder(project, *folder)) {
        Refuse(folder_rules::kFolderNotEmpty);
        return;
    }
    if (ConfirmDelete(Handle(), project, folder) != delete_rules::Answer::kYes) {
        return;
    }
    CFolder* parent = folder->parent;
    project.RemoveFolder(folder);
    document_.Changed(UpdateHint::kFolderDeleted, parent);
}

void CFoldersPage::FolderProperties() {
    CFolder* folder = SelectedFolder();
    CFolderPropertiesDialog dialog(document_.project, *folder);
    if (dialog.Edit(Handle())) {
        document_.Changed(UpdateHint::kFolderChanged, folder);
    }
}

void CFoldersPage::AddFiles(CFolder* folder) {
    if (folder == nullptr) {
        return;
    }
    std::vector<std::string> paths;
    if (win::FileDialog(Handle(), kAllFilesFilter).OpenMany(&paths)) {
        AddPaths(folder, paths);
    }
}

void CFoldersPage::AddPaths(CFolder* folder, const std::vector<std::string>& paths) {
    CFileItem* last = nullptr;
    // Namesakes are looked up in an index while the batch is open: many files added at once take time in
    // step with their number.
    CProject::FileBatch batch(document_.project);
    for (const std::string& path : paths) {
        if (IsDirectory(path)) {
            AddDynamicFolder(folder, path);
            continue;
        }
        // A name taken for every release is skipped without a word, as the model refuses it.
        if (CFileItem* added = document_.project.AddFile(path, folder)) {
            last = added;
        }
    }
    if (last != nullptr) {
        document_.Changed(UpdateHint::kFileAdded, last);
    }
}

void CFoldersPage::AddDynamicFolder(CFolder* folder, const std::string& directory) {
    const DropDecision decision = folder_rules::DirectoryDrop(document_.project, *folder, directory);
    if (decision.action == DropAction::kRefuse) {
        Refuse(decision.message);
        return;
    }
    if (decision.action != DropAction::kCopy) {
        return;
    }
    auto dynamic = std::make_unique<CFolder>(folder_rules::DirectoryName(directory));
    dynamic->dynamicPath = directory;
    while (dynamic->dynamicPath.size() > 3 && dynamic->dynamicPath.back() == '\\') {
        dynamic->dynamicPath.pop_back();
    }
    dynamic->isDynamic = true;
    if (CFolder* added = folder->AddChild(std::move(dynamic))) {
        document_.Changed(UpdateHint::kFolderAdded, added);
    }
}

void CFoldersPage::AddShortcut() {
    CFolder* folder = SelectedFolder();
    if (folder == nullptr) {
        return;
    }
    CShortcut shortcut;
    shortcut.folder = folder;
    shortcut.target = FileOfRow(list_.Selected());
    CShortcutDialog dialog(document_.project, shortcut);
    if (!dialog.Edit(Handle())) {
        return;
    }
    if (CShortcut* added = document_.project.shortcuts.Add(std::make_unique<CShortcut>(shortcut))) {
        document_.Changed(UpdateHint::kShortcutChanged, added);
    }
}

void CFoldersPage::DeleteItems() {
    std::vector<CFileItem*> files;
    std::vector<CShortcut*> shortcuts;
    for (int row : list_.SelectedRows()) {
        if (CFileItem* file = FileOfRow(row)) {
            files.push_back(file);
        } else if (CShortcut* shortcut = ShortcutOfRow(row)) {
            shortcuts.push_back(shortcut);
        }
    }
    const bool several = files.size() + shortcuts.size() > 1;
    delete_rules::Run run;
    CProject& project = document_.project;
    bool changed = false;
    for (CFileItem* file : files) {
        if (run.MustAsk() ? run.Deletes(ConfirmDelete(Handle(), project, file, several)) : run.Deletes()) {
            project.RemoveFile(file);
            changed = true;
        }
    }
    for (CShortcut* shortcut : shortcuts) {
        const bool deletes = run.MustAsk()
                                 ? run.Deletes(ConfirmDelete(Handle(), delete_rules::Kind::kShortcut,
                                                             shortcut->name, {}, several))
                                 : run.Deletes();
        if (deletes) {
            project.shortcuts.Remove(shortcut);
            changed = true;
        }
    }
    if (changed) {
        document_.Changed(files.empty() ? UpdateHint::kShortcutChanged : UpdateHint::kFileDeleted);
    }
}

void CFoldersPage::ChangeSource() {
    CFileItem* file = nullptr;
    for (int row : list_.SelectedRows()) {
        if ((file = FileOfRow(row)) != nullptr) {
            break;
        }
    }
    if (file == nullptr) {
        return;
    }
    std::string path = file->sourcePath;
    if (!win::FileDialog(Handle(), kAllFilesFilter).Open(&path)) {
        return;
    }
    file->sourcePath = path;
    file->title = platform::FileTitle(path);
    file->Refresh();
    document_.Changed(UpdateHint::kFileChanged, file);
}

void CFoldersPage::OnDropFiles(const std::vector<std::string>& paths, POINT client) {
    POINT inTree = client;
    MapWindowPoints(Handle(), tree_.Handle(), &inTree, 1);
    const RECT area = tree_.ClientRect();
    CFolder* folder = PtInRect(&area, inTree) ? folders_.FolderOf(tree_.ItemAt(inTree)) : SelectedFolder();
    if (folder != nullptr) {
        AddPaths(folder, paths);
    }
}

bool CFoldersPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (labels_.OnNotify(header, result)) {
        return true;
    }
    if (header->hwndFrom != tree_.Handle() && header->hwndFrom != list_.Handle()) {
        return false;
    }
    int command = treeKeys_.CommandOf(header);
    if (command == 0) {
        command = listKeys_.CommandOf(header);
    }
    if (command != 0) {
        OnCommand(command, 0, nullptr);
        *result = TRUE;
        return true;
    }
    switch (header->code) {
        case TVN_SELCHANGEDA:
            if (!filling_) {
                ShowItems();
            }
            return true;
        case TVN_BEGINDRAGA:
        case TVN_BEGINDRAGW:
        case LVN_BEGINDRAG:
            if (!labels_.Editing()) {
                drag_.Begin(Handle(), header, tree_, this, true);
            }
            return true;
        case NM_DBLCLK:
            if (header->hwndFrom == list_.Handle() &&
                reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem >= 0) {
                ItemProperties();
                return true;
            }
            return false;
        default:
            return false;
    }
}
