#include "author/pages/RegistryPage.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "author/dialogs/ConfirmDelete.h"
#include "author/dialogs/RegValueDialog.h"
#include "author/resource.h"
#include "model/RegFileImport.h"
#include "model/RegItem.h"
#include "platform/File.h"
#include "platform/NoCase.h"
#include "platform/Registry.h"
#include "win/FileDialog.h"

using registry_rules::Command;

namespace {

constexpr LPARAM kNoPath = -1;  // a tree item or row being added, which no object stands for yet
const char* const kRegFileFilter = "Registration Files (*.reg)|*.reg|All Files (*.*)|*.*||";

struct MenuCommand {
    int id;
    Command command;
};

const MenuCommand kMenuCommands[] = {
    {ID_REG_NEW_KEY, Command::kNewKey},       {ID_REG_NEW_STRING, Command::kNewString},
    {ID_REG_NEW_BINARY, Command::kNewBinary}, {ID_REG_NEW_DWORD, Command::kNewDword},
    {ID_REG_DELETE, Command::kDelete},        {ID_REG_RENAME, Command::kRename},
    {ID_REG_MODIFY, Command::kModify},        {ID_REG_LAUNCH, Command::kLaunchRegedit},
    {ID_REG_PASTE, Command::kPaste},          {ID_REG_PERMANENT, Command::kPermanent},
    {ID_REG_IMPORT, Command::kImportRegFile},
};

Command CommandOfMenuItem(int id) {
    for (const MenuCommand& item : kMenuCommands) {
        if (item.id == id) {
            return item.command;
        }
    }
    return Command::kNone;
}

// The text on the clipboard, empty when there is none.
std::string ClipboardText(HWND owner) {
    std::string text;
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(owner)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text.assign(chars, strnlen(chars, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The system's hive of a key path that PastedKeyPath accepted, and the path below it.
platform::RegistryHive HiveOf(const std::string& path, std::string* subkey) {
    const platform::RegistryHive hives[] = {
        platform::RegistryHive::kClassesRoot, platform::RegistryHive::kCurrentUser,
        platform::RegistryHive::kLocalMachine, platform::RegistryHive::kUsers};
    const size_t slash = path.find('\\');
    *subkey = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    for (int i = 0; i < 4; ++i) {
        if (path.substr(0, slash) == kRootRegistryNames[i]) {
            return hives[i];
        }
    }
    return platform::RegistryHive::kNone;
}

bool EndsWithReg(const std::string& path) {
    return path.size() > 4 && nocase::Equal(path.substr(path.size() - 4), ".reg");
}

}  // namespace

CRegistryPage::CRegistryPage(CDocument& document)
    : CPage(document, IDD_PAGE_REGISTRY, "Registry"), splitter_(true, nullptr), labels_("Tessaro") {}

BOOL CRegistryPage::OnInit() {
    tree_ = win::TreeView(Item(IDC_REG_TREE).Handle());
    list_ = win::ListView(Item(IDC_REG_LIST).Handle());
    ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
    list_.AddColumn("Name", 120);
    list_.AddColumn("Type", 90);
    list_.AddColumn("Data", 200);
    const RECT tree = tree_.RectInParent();
    const RECT list = list_.RectInParent();
    splitter_ = win::Splitter(true, win::Splitter::Panes(tree_, list_));
    splitter_.Attach(Handle());
    splitter_.SetArea({tree.left, tree.top, list.right, tree.bottom});
    splitter_.SetPosition(tree.right - tree.left);
    treeKeys_ = {tree_.Handle(), ID_REG_NEW_KEY, ID_REG_DELETE, ID_REG_RENAME};
    listKeys_ = {list_.Handle(), ID_REG_NEW_KEY, ID_REG_DELETE, ID_REG_RENAME};
    labels_.SetRenameRequest([this](HWND control, LPARAM itemOrRow, win::LabelEditor::Edit* edit) {
        if (control == tree_.Handle()) {
            tree_.Select(reinterpret_cast<HTREEITEM>(itemOrRow));
            CRegItem* key = SelectedKey();
            if (key == nullptr || key->parent == nullptr) {
                return false;  // the root keys keep their names
            }
            *edit = KeyEdit(key->parent, key);
            return true;
        }
        CRegItem* key = SelectedKey();
        const LPARAM position = list_.Data(static_cast<int>(itemOrRow));
        CRegItem* value = key != nullptr && position >= 0 ? key->children.At(position) : nullptr;
        if (value == nullptr) {
            return false;
        }
        *edit = ValueEdit(key, value, value->type);
        return true;
    });
    return FALSE;
}

void CRegistryPage::Reload(int) {
    filling_ = true;
    TreeView_DeleteAllItems(tree_.Handle());
    keyPaths_.clear();
    filling_ = false;
    const CItemArray<CRegItem>& roots = document_.project.rootRegs;
    ShowKeys(roots.size() > 0 ? roots[0] : nullptr);
}

void CRegistryPage::OnUpdate(UpdateHint hint, const void* object) {
    if (hint == UpdateHint::kSettingsChanged) {
        return;
    }
    const CRegItem* item =
        hint == UpdateHint::kRegistryChanged ? static_cast<const CRegItem*>(object) : nullptr;
    if (item != nullptr && !item->IsKey()) {
        ShowKeys(item->parent);
        ShowValues(item);
    } else {
        ShowKeys(item);
    }
}

bool CRegistryPage::PreTranslate(MSG& message) {
    return drag_.PreTranslate(message) || splitter_.PreTranslate(message);
}

void CRegistryPage::OnSize(int width, int height) {
    if (tree_) {
        const RECT tree = tree_.RectInParent();
        splitter_.SetArea({tree.left, tree.top, width - tree.left, height - tree.left});
    }
}

bool CRegistryPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    return drag_.OnMessage(message, wParam, lParam) || splitter_.OnMessage(message, wParam, lParam, result);
}

void CRegistryPage::AddKeys(HTREEITEM parent, const CRegItem& key, const std::vector<std::string>& expanded) {
    std::vector<std::string>& paths = keyPaths_;
    const HTREEITEM item = tree_.Insert(parent, key.name);
    const std::string path = document_.project.IndexPathOf(&key);
    tree_.SetItemData(item, static_cast<LPARAM>(paths.size()));
    paths.push_back(path);
    for (const CRegItem* child : key.children) {
        if (child->IsKey()) {
            AddKeys(item, *child, expanded);
        }
    }
    if (std::find(expanded.begin(), expanded.end(), path) != expanded.end()) {
        tree_.Expand(item);
    }
}

void CRegistryPage::CollectShown(HTREEITEM first, std::vector<std::string>* expanded,
                                 std::string* selected) const {
    for (HTREEITEM item = first; item != nullptr; item = tree_.Next(item)) {
        const LPARAM data = tree_.ItemData(item);
        if (data >= 0 && static_cast<size_t>(data) < keyPaths_.size()) {
            if (TreeView_GetItemState(tree_.Handle(), item, TVIS_EXPANDED) & TVIS_EXPANDED) {
                expanded->push_back(keyPaths_[static_cast<size_t>(data)]);
            }
            if (item == tree_.Selection()) {
                *selected = keyPaths_[static_cast<size_t>(data)];
            }
        }
        CollectShown(tree_.Child(item), expanded, selected);
    }
}

void CRegistryPage::ShowKeys(const CRegItem* select) {
    std::vector<std::string>& paths = keyPaths_;
    std::vector<std::string> expanded;
    std::string selectPath;
    CollectShown(tree_.Root(), &expanded, &selectPath);
    if (select != nullptr) {
        selectPath = document_.project.IndexPathOf(select);
    }
    filling_ = true;
    TreeView_DeleteAllItems(tree_.Handle());
    paths.clear();
    for (const CRegItem* root : document_.project.rootRegs) {
        AddKeys(TVI_ROOT, *root, expanded);
    }
    HTREEITEM selected = nullptr;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i] == selectPath) {
            selected = tree_.FindData(static_cast<LPARAM>(i));
        }
    }
    if (selected == nullptr) {
        selected = tree_.Root();
    }
    tree_.Select(selected);
    tree_.EnsureVisible(selected);
    filling_ = false;
    ShowValues();
}

CRegItem* CRegistryPage::SelectedKey() const {
    return KeyOfItem(tree_.Selection());
}

CRegItem* CRegistryPage::KeyOfItem(HTREEITEM item) const {
    const std::vector<std::string>& paths = keyPaths_;
    const LPARAM data = item != nullptr ? tree_.ItemData(item) : kNoPath;
    if (data < 0 || static_cast<size_t>(data) >= paths.size()) {
        return nullptr;
    }
    CRegItem* key = document_.project.RegItemFromIndexPath(paths[static_cast<size_t>(data)]);
    return key != nullptr && key->IsKey() ? key : nullptr;
}

CRegItem* CRegistryPage::SelectedValue() const {
    CRegItem* key = SelectedKey();
    const int row = list_.Selected();
    const LPARAM position = row >= 0 ? list_.Data(row) : kNoPath;
    CRegItem* value = key != nullptr && position >= 0 ? key->children.At(position) : nullptr;
    return value != nullptr && !value->IsKey() ? value : nullptr;
}

void CRegistryPage::ShowValues(const CRegItem* select) {
    const CRegItem* before = select != nullptr ? select : SelectedValue();
    const int beforeRow = list_.Selected();
    filling_ = true;
    list_.Clear();
    int selectRow = -1;
    if (const CRegItem* key = SelectedKey()) {
        for (const CRegItem* value : key->children) {
            if (value->IsKey()) {
                continue;
            }
            const int row = list_.Append(registry_rules::ShownValueName(value->name), value->position);
            list_.SetItemText(row, 1, registry_rules::TypeText(value->type));
            list_.SetItemText(row, 2, registry_rules::DataText(value->type, value->value));
            if (value == before) {
                selectRow = row;
            }
        }
    }
    list_.ReselectAfterFill(selectRow, select != nullptr, beforeRow);
    filling_ = false;
}

registry_rules::Selection CRegistryPage::CurrentSelection() const {
    registry_rules::Selection selection;
    const CRegItem* key = SelectedKey();
    selection.listFocused = onList_;
    selection.key = key != nullptr;
    selection.keyIsRoot = key != nullptr && key->parent == nullptr;
    selection.value = SelectedValue() != nullptr;
    selection.clipboardHasKeyPath = !registry_rules::PastedKeyPath(ClipboardText(Handle())).empty();
    return selection;
}

bool CRegistryPage::OnContextMenu(HWND control, POINT screen) {
    if (control != tree_.Handle() && control != list_.Handle()) {
        return false;
    }
    const win::Window pane(control);
    pane.Focus();
    if (screen.x != -1 || screen.y != -1) {
        POINT client = screen;
        ScreenToClient(control, &client);
        if (control == tree_.Handle()) {
            if (HTREEITEM item = tree_.ItemAt(client)) {
                tree_.Select(item);
            }
        } else {
            LVHITTESTINFO hit{};
            hit.pt = client;
            const int row = ListView_HitTest(list_.Handle(), &hit);
            if (row >= 0) {
                list_.Select(row);
            }
        }
    }
    const win::Menu menu(IDR_REG_MENU);
    onList_ = control == list_.Handle();
    const registry_rules::Selection selection = CurrentSelection();
    for (const MenuCommand& item : kMenuCommands) {
        menu.Enable(item.id, registry_rules::IsEnabled(item.command, selection));
    }
    const CRegItem* value = SelectedValue();
    menu.Check(ID_REG_PERMANENT, selection.listFocused && value != nullptr && value->permanent);
    Run(CommandOfMenuItem(menu.Track(Handle(), screen)));
    return true;
}

bool CRegistryPage::OnCommand(int id, int, HWND) {
    const Command command = CommandOfMenuItem(id);
    if (command == Command::kNone) {
        return false;
    }
    Run(command);
    return true;
}

void CRegistryPage::Run(Command command) {
    if (!registry_rules::IsEnabled(command, CurrentSelection())) {
        return;
    }
    switch (command) {
        case Command::kNewKey:
            NewKey();
            break;
        case Command::kNewString:
            NewValue(platform::kRegString);
            break;
        case Command::kNewBinary:
            NewValue(platform::kRegBinary);
            break;
        case Command::kNewDword:
            NewValue(platform::kRegDword);
            break;
        case Command::kDelete:
            Delete();
            break;
        case Command::kRename:
            Rename();
            break;
        case Command::kModify:
            Modify();
            break;
        case Command::kLaunchRegedit:
            LaunchRegedit();
            break;
        case Command::kPaste:
            Paste();
            break;
        case Command::kPermanent:
            TogglePermanent();
            break;
        case Command::kImportRegFile:
            ChooseRegFile();
            break;
        case Command::kNone:
            break;
    }
}

void CRegistryPage::Refuse(const std::string& message) {
    MessageBoxA(Handle(), message.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
}

win::LabelEditor::Edit CRegistryPage::KeyEdit(CRegItem* parent, CRegItem* renaming) {
    const std::string parentPath = document_.project.IndexPathOf(parent);
    const std::string keyPath = renaming != nullptr ? document_.project.IndexPathOf(renaming) : std::string();
    win::LabelEditor::Edit edit;
    edit.defaultName = registry_rules::kNewKeyName;
    edit.rule = [this, parentPath, keyPath](const std::string& name) {
        const CRegItem* parentKey = document_.project.RegItemFromIndexPath(parentPath);
        const CRegItem* key = keyPath.empty() ? nullptr : document_.project.RegItemFromIndexPath(keyPath);
        return parentKey != nullptr ? registry_rules::KeyNameRefusal(*parentKey, name, key) : std::string();
    };
    edit.apply = [this, parentPath, keyPath](const std::string& name) {
        CRegItem* parentKey = document_.project.RegItemFromIndexPath(parentPath);
        if (parentKey == nullptr) {
            return;
        }
        if (!keyPath.empty()) {
            if (CRegItem* key = document_.project.RegItemFromIndexPath(keyPath)) {
                key->name = name;
                document_.Changed(UpdateHint::kRegistryChanged, key);
            }
            return;
        }
        CRegItem* added = parentKey->AddChild(std::make_unique<CRegItem>(name, 0));
        if (added == nullptr) {
            Refuse("Cannot add the key. The key " + parentKey->FullPath() + " cannot hold more items.");
            ShowKeys(parentKey);
            return;
        }
        document_.Changed(UpdateHint::kRegistryChanged, added);
    };
    return edit;
}

win::LabelEditor::Edit CRegistryPage::ValueEdit(CRegItem* key, CRegItem* value, uint32_t type) {
    const std::string keyPath = document_.project.IndexPathOf(key);
    const long position = value != nullptr ? value->position : -1;
    win::LabelEditor::Edit edit;
    edit.defaultName = registry_rules::kNewValueName;
    edit.rule = [this, keyPath, position](const std::string& name) {
        const CRegItem* owner = document_.project.RegItemFromIndexPath(keyPath);
        if (owner == nullptr) {
            return std::string();
        }
        return registry_rules::ValueNameRefusal(*owner, name,
                                                position >= 0 ? owner->children.At(position) : nullptr);
    };
    edit.apply = [this, keyPath, position, type](const std::string& typed) {
        CRegItem* owner = document_.project.RegItemFromIndexPath(keyPath);
        if (owner == nullptr) {
            return;
        }
        const std::string name = registry_rules::StoredValueName(typed);
        if (position >= 0) {
            if (CRegItem* renamed = owner->children.At(position)) {
                renamed->name = name;
                document_.Changed(UpdateHint::kRegistryChanged, renamed);
            }
            return;
        }
        CRegItem* added = owner->AddChild(std::make_unique<CRegItem>(name, type));
        if (added == nullptr) {
            Refuse("Cannot add the item. The key " + owner->FullPath() + " cannot hold more items.");
            ShowValues();
            return;
        }
        document_.Changed(UpdateHint::kRegistryChanged, added);
    };
    return edit;
}

void CRegistryPage::NewKey() {
    CRegItem* key = SelectedKey();
    const HTREEITEM parent = tree_.Selection();
    tree_.Expand(parent);
    const HTREEITEM item = tree_.Insert(parent, registry_rules::kNewKeyName);
    tree_.SetItemData(item, kNoPath);
    tree_.EnsureVisible(item);
    tree_.Focus();
    labels_.BeginNew(tree_, item, KeyEdit(key, nullptr));
}

void CRegistryPage::NewValue(uint32_t type) {
    CRegItem* key = SelectedKey();
    filling_ = true;
    const int row = list_.Append(registry_rules::kNewValueName, kNoPath);
    list_.SetItemText(row, 1, registry_rules::TypeText(type));
    list_.Reveal(row);
    filling_ = false;
    list_.Focus();
    labels_.BeginNew(list_, row, ValueEdit(key, nullptr, type));
}

void CRegistryPage::Rename() {
    if (onList_) {
        CRegItem* value = SelectedValue();
        labels_.BeginRename(list_, list_.Selected(), ValueEdit(value->parent, value, value->type));
    } else {
        CRegItem* key = SelectedKey();
        labels_.BeginRename(tree_, tree_.Selection(), KeyEdit(key->parent, key));
    }
}

void CRegistryPage::Modify() {
    CRegItem* value = SelectedValue();
    CRegValueDialog::Fields fields;
    fields.name = value->name;
    fields.type = value->type;
    fields.text = value->value;
    fields.permanent = value->permanent;
    CRegValueDialog dialog(fields);
    if (!dialog.Ask(Handle())) {
        return;
    }
    value = SelectedValue();  // the dialog's time changed nothing, but the page takes no chances
    if (value != nullptr &&
        (dialog.Result().text != value->value || dialog.Result().permanent != value->permanent)) {
        value->value = dialog.Result().text;
        value->permanent = dialog.Result().permanent;
        document_.Changed(UpdateHint::kRegistryChanged, value);
    }
}

void CRegistryPage::Delete() {
    CRegItem* item = onList_ ? SelectedValue() : SelectedKey();
    if (item == nullptr || item->parent == nullptr) {
        return;
    }
    if (ConfirmDelete(Handle(), document_.project, item) != delete_rules::Answer::kYes) {
        return;
    }
    CRegItem* parent = item->parent;
    const bool wasKey = item->IsKey();
    document_.project.RemoveRegItem(item);
    document_.Changed(UpdateHint::kRegistryChanged, wasKey ? parent : nullptr);
}

void CRegistryPage::LaunchRegedit() {
    WinExec("Regedit.exe", SW_SHOWNORMAL);
}

void CRegistryPage::Paste() {
    const std::string path = registry_rules::PastedKeyPath(ClipboardText(Handle()));
    if (path.empty()) {
        return;
    }
    std::string subkey;
    const platform::RegistryHive hive = HiveOf(path, &subkey);
    if (!platform::SystemRegistry().OpenKey(hive, subkey)) {
        Refuse("Cannot open the registry key \"" + path + "\". Nothing was imported.");
        return;
    }
    CRegItem* imported = CRegItem::ImportFromSystem(document_.project.rootRegs, path);
    if (imported == nullptr) {
        Refuse("Cannot import the registry key \"" + path + "\": a key on the way cannot hold more items.");
        return;
    }
    document_.Changed(UpdateHint::kRegistryChanged, imported);
    tree_.Expand(tree_.Selection());
}

void CRegistryPage::TogglePermanent() {
    CRegItem* value = SelectedValue();
    value->permanent = !value->permanent;
    document_.Changed(UpdateHint::kRegistryChanged, value);
}

void CRegistryPage::ChooseRegFile() {
    std::string path;
    win::FileDialog dialog(Handle(), kRegFileFilter);
    dialog.SetDefaultExtension("reg");
    if (dialog.Open(&path)) {
        ImportRegFile(path);
    }
}

void CRegistryPage::ImportRegFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(path, &bytes)) {
        Refuse("Cannot read the file \"" + path + "\".");
        return;
    }
    const regfile::ImportResult result = regfile::ImportRegFile(document_.project.rootRegs, bytes);
    if (result.keys > 0 || result.values > 0) {
        document_.Changed(UpdateHint::kRegistryChanged);
    }
    const std::string skipped = regfile::SkippedMessage(result);
    if (!result.recognized) {
        Refuse("\"" + path + "\" is not a file of the registry editor. Nothing was imported.");
    } else if (!skipped.empty()) {
        MessageBoxA(Handle(), skipped.c_str(), "Tessaro", MB_OK | MB_ICONWARNING);
    }
}

void CRegistryPage::OnDropFiles(const std::vector<std::string>& paths, POINT) {
    for (const std::string& path : paths) {
        if (EndsWithReg(path)) {
            ImportRegFile(path);
        }
    }
}

bool CRegistryPage::OnNotify(NMHDR* header, LRESULT* result) {
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
        onList_ = header->hwndFrom == list_.Handle();
        Run(CommandOfMenuItem(command));
        *result = TRUE;
        return true;
    }
    if (header->code == TVN_BEGINDRAGA || header->code == LVN_BEGINDRAG) {
        BeginDrag(header);
        return true;
    }
    if (header->code == TVN_SELCHANGEDA && !filling_) {
        ShowValues();
        return true;
    }
    if (header->code == NM_DBLCLK && header->hwndFrom == list_.Handle() &&
        reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem >= 0) {
        onList_ = true;
        Run(Command::kModify);
        return true;
    }
    return false;
}

void CRegistryPage::BeginDrag(const NMHDR* header) {
    if (labels_.Editing()) {
        return;
    }
    dragPaths_.clear();
    if (header->code == TVN_BEGINDRAGA) {
        const CRegItem* key = KeyOfItem(reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem);
        if (key == nullptr || key->parent == nullptr) {
            return;  // the root keys stay where they are
        }
        dragPaths_.push_back(document_.project.IndexPathOf(key));
    } else {
        const CRegItem* key = SelectedKey();
        for (int row : list_.SelectedRows()) {
            const CRegItem* value = key != nullptr ? key->children.At(list_.Data(row)) : nullptr;
            if (value != nullptr) {
                dragPaths_.push_back(document_.project.IndexPathOf(value));
            }
        }
    }
    if (!dragPaths_.empty()) {
        drag_.Begin(Handle(), header, tree_, this);
    }
}

std::vector<CRegItem*> CRegistryPage::DraggedItems() const {
    std::vector<CRegItem*> items;
    for (const std::string& path : dragPaths_) {
        items.push_back(document_.project.RegItemFromIndexPath(path));
    }
    return items;
}

bool CRegistryPage::CanDrop(const win::DragItems&, HTREEITEM target, editor_rules::DropEffect effect) {
    const CRegItem* key = KeyOfItem(target);
    if (key == nullptr) {
        return false;
    }
    // A clash is let through to be explained at the drop; a drop that would do nothing is not.
    for (const CRegItem* item : DraggedItems()) {
        const registry_rules::DropDecision decision =
            item != nullptr ? registry_rules::DecideDrop(*item, *key, effect)
                            : registry_rules::DropDecision{false, std::string()};
        if (decision.allowed || !decision.message.empty()) {
            return true;
        }
    }
    return false;
}

void CRegistryPage::Drop(const win::DragItems&, HTREEITEM target, editor_rules::DropEffect effect) {
    // Every item is found before the first one moves: the index paths change with a move, the items do
    // not.
    const std::vector<CRegItem*> items = DraggedItems();
    CRegItem* key = KeyOfItem(target);
    dragPaths_.clear();
    if (key == nullptr) {
        return;
    }
    const bool copy = effect == editor_rules::DropEffect::kCopy;
    const CRegItem* last = nullptr;  // the last item placed
    for (CRegItem* item : items) {
        if (item == nullptr) {
            continue;
        }
        const registry_rules::DropDecision decision = registry_rules::DecideDrop(*item, *key, effect);
        if (!decision.allowed) {
            if (!decision.message.empty()) {
                Refuse(decision.message);
            }
            continue;
        }
        const CRegItem* placed = copy ? item->CopyTo(key) : (item->MoveTo(key) ? item : nullptr);
        if (placed == nullptr) {
            Refuse("Cannot " + std::string(editor_rules::EffectVerb(effect)) + " \"" + item->DisplayName() +
                   "\": the key " + key->FullPath() + " cannot hold more items.");
            continue;
        }
        last = placed;
    }
    if (last != nullptr) {
        // The target key is selected, and a value dropped there is selected in its list.
        document_.Changed(UpdateHint::kRegistryChanged, last);
    }
}
