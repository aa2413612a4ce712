#include "author/pages/FeaturesPage.h"

#include <commctrl.h>

#include <cstdlib>
#include <memory>

#include "author/dialogs/ConfirmDelete.h"
#include "author/dialogs/FeaturePropertiesDialog.h"
#include "author/dialogs/ItemChooser.h"
#include "author/resource.h"
#include "model/FeatureInclusion.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"

using feature_rules::Command;
using feature_rules::SourceMode;
namespace inclusion = feature_inclusion;

namespace {

constexpr LPARAM kNoPath = -1;  // a feature item being added, which no feature stands for yet
// The resource tree's three top items.
constexpr LPARAM kResourceRoot = -1;
constexpr LPARAM kFileSystemBranch = -2;
constexpr LPARAM kRegistryBranch = -3;

struct MenuCommand {
    int id;
    Command command;
};

const MenuCommand kMenuCommands[] = {
    {ID_FEAT_ADD, Command::kAddFeature},
    {ID_FEAT_DELETE, Command::kDeleteFeature},
    {ID_FEAT_RENAME, Command::kRename},
    {ID_FEAT_PROPERTIES, Command::kProperties},
    {ID_FEAT_SHOW_FILES, Command::kShowFileSystem},
    {ID_FEAT_SHOW_REGISTRY, Command::kShowRegistry},
    {ID_FEAT_ADD_WITH_ITEMS, Command::kAddWithItems},
    {ID_FEAT_ADD_WITH_SUBTREE, Command::kAddWithSubtree},
    {ID_FEAT_ADD_SELECTED, Command::kAddSelected},
    {ID_FEAT_ADD_FOLDER, Command::kAddFolder},
    {ID_FEAT_ADD_REGKEY, Command::kAddRegKey},
    {ID_FEAT_ADD_FILE, Command::kAddFile},
    {ID_FEAT_ADD_REGVALUE, Command::kAddRegValue},
    {ID_FEAT_REMOVE, Command::kRemove},
};

Command CommandOfMenuItem(int id) {
    for (const MenuCommand& item : kMenuCommands) {
        if (item.id == id) {
            return item.command;
        }
    }
    return Command::kNone;
}

const int kToolbarCommands[] = {ID_FEAT_ADD_WITH_ITEMS, ID_FEAT_ADD_WITH_SUBTREE, ID_FEAT_ADD_SELECTED};

bool IsExpanded(const win::TreeView& tree, HTREEITEM item) {
    return item != nullptr &&
           (TreeView_GetItemState(tree.Handle(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void MakeBold(const win::TreeView& tree, HTREEITEM item) {
    TVITEMA bold{};
    bold.mask = TVIF_STATE;
    bold.hItem = item;
    bold.state = TVIS_BOLD;
    bold.stateMask = TVIS_BOLD;
    TreeView_SetItem(tree.Handle(), &bold);
}

}  // namespace

CFeaturesPage::CFeaturesPage(CDocument& document)
    : CPage(document, IDD_PAGE_FEATURES, "Features"),
      rows_(false, nullptr),
      sourceBar_(true, nullptr),
      lowerBar_(true, nullptr),
      labels_("Tessaro") {}

BOOL CFeaturesPage::OnInit() {
    folders_.Attach(Item(IDC_FEAT_SRC_FOLDERS).Handle(), Item(IDC_FEAT_SRC_FILES).Handle());
    registry_.Attach(Item(IDC_FEAT_SRC_KEYS).Handle(), Item(IDC_FEAT_SRC_VALUES).Handle());
    features_ = win::TreeView(Item(IDC_FEAT_TREE).Handle());
    resources_ = win::TreeView(Item(IDC_FEAT_RES_TREE).Handle());
    resourceList_ = win::ListView(Item(IDC_FEAT_RES_LIST).Handle());
    ListView_SetExtendedListViewStyle(resourceList_.Handle(), LVS_EX_FULLROWSELECT);
    resourceList_.AddColumn("Name", 150);
    CreateToolbar();

    sourceBar_ = win::Splitter(true, [this](const RECT& tree, const RECT& list) {
        for (const win::Window& pane : {folders_.Tree(), registry_.Tree()}) {
            MoveWindow(pane.Handle(), tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top,
                       TRUE);
        }
        for (const win::Window& pane : {folders_.List(), registry_.List()}) {
            MoveWindow(pane.Handle(), list.left, list.top, list.right - list.left, list.bottom - list.top,
                       TRUE);
        }
    });
    lowerBar_ = win::Splitter(true, [this](const RECT& tree, const RECT& rest) {
        MoveWindow(features_.Handle(), tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top,
                   TRUE);
        const int half = (rest.right - rest.left) / 2;
        MoveWindow(resources_.Handle(), rest.left, rest.top, half - 2, rest.bottom - rest.top, TRUE);
        MoveWindow(resourceList_.Handle(), rest.left + half + 2, rest.top, rest.right - rest.left - half - 2,
                   rest.bottom - rest.top, TRUE);
    });
    rows_ = win::Splitter(false, [this](const RECT& top, const RECT& bottom) {
        sourceBar_.SetArea(top);
        lowerBar_.SetArea(bottom);
    });
    for (win::Splitter* splitter : {&rows_, &sourceBar_, &lowerBar_}) {
        splitter->Attach(Handle());
    }
    const RECT source = folders_.Tree().RectInParent();
    const RECT tree = features_.RectInParent();
    const RECT list = resourceList_.RectInParent();
    rows_.SetArea({source.left, source.top, list.right, list.bottom});
    rows_.SetPosition(tree.top - source.top - 3);
    sourceBar_.SetPosition(source.right - source.left);
    lowerBar_.SetPosition(tree.right - tree.left);

    featureKeys_ = {features_.Handle(), ID_FEAT_ADD, ID_FEAT_DELETE, ID_FEAT_RENAME};
    resourceTreeKeys_ = {resources_.Handle(), 0, ID_FEAT_REMOVE, 0};
    resourceListKeys_ = {resourceList_.Handle(), 0, ID_FEAT_REMOVE, 0};
    labels_.SetRenameRequest([this](HWND control, LPARAM itemOrRow, win::LabelEditor::Edit* edit) {
        if (control != features_.Handle()) {
            return false;
        }
        features_.Select(reinterpret_cast<HTREEITEM>(itemOrRow));
        const CFeature* feature = SelectedFeature();
        if (feature == nullptr || feature->parent == nullptr) {
            return false;
        }
        *edit = FeatureEdit(PathOf(feature->parent), PathOf(feature));
        return true;
    });
    SetMode(SourceMode::kFileSystem);
    return FALSE;
}

void CFeaturesPage::CreateToolbar() {
    const RECT source = folders_.Tree().RectInParent();
    toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN,
                               source.left, 2, 90, source.top - 4, Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FEAT_TOOLBAR)),
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmaps{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageA(toolbar_, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmaps));
    const int images[] = {STD_FILEOPEN, STD_COPY, STD_FILENEW};
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = images[i];
        buttons[i].idCommand = kToolbarCommands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageA(toolbar_, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
}

void CFeaturesPage::UpdateToolbar() {
    const feature_rules::Selection selection = CurrentSelection();
    for (int id : kToolbarCommands) {
        SendMessageA(
            toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(id),
            MAKELPARAM(feature_rules::IsEnabled(CommandOfMenuItem(id), selection) ? TRUE : FALSE, 0));
    }
}

void CFeaturesPage::SetMode(SourceMode mode) {
    mode_ = mode;
    const bool files = mode == SourceMode::kFileSystem;
    ShowWindow(folders_.Tree().Handle(), files ? SW_SHOW : SW_HIDE);
    ShowWindow(folders_.List().Handle(), files ? SW_SHOW : SW_HIDE);
    ShowWindow(registry_.Tree().Handle(), files ? SW_HIDE : SW_SHOW);
    ShowWindow(registry_.List().Handle(), files ? SW_HIDE : SW_SHOW);
    ShowSource();
}

void CFeaturesPage::Reload(int) {
    sourceFolderPath_.clear();
    sourceKeyPath_.clear();
    selectedResource_ = {false, std::string()};
    filling_ = true;
    TreeView_DeleteAllItems(features_.Handle());
    featurePaths_.clear();
    filling_ = false;
    ShowSource();
    const CItemArray<CFeature>& top = document_.project.rootFeature.children;
    ShowFeatures(top.size() > 0 ? top[0] : nullptr);
}

void CFeaturesPage::OnUpdate(UpdateHint hint, const void* object) {
    if (hint == UpdateHint::kSettingsChanged) {
        return;
    }
    ShowSource();
    ShowFeatures(hint == UpdateHint::kFeatureChanged ? static_cast<const CFeature*>(object) : nullptr);
}

bool CFeaturesPage::PreTranslate(MSG& message) {
    if (drag_.Active()) {
        return drag_.PreTranslate(message);
    }
    return rows_.PreTranslate(message) || sourceBar_.PreTranslate(message) || lowerBar_.PreTranslate(message);
}

void CFeaturesPage::OnSize(int width, int height) {
    if (features_) {
        const RECT source = folders_.Tree().RectInParent();
        rows_.SetArea({source.left, source.top, width - source.left, height - source.left});
    }
}

bool CFeaturesPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (drag_.Active() && drag_.OnMessage(message, wParam, lParam)) {
        *result = 0;
        return true;
    }
    for (win::Splitter* splitter : {&rows_, &sourceBar_, &lowerBar_}) {
        if (splitter->OnMessage(message, wParam, lParam, result)) {
            return true;
        }
    }
    return false;
}

// The source view, filled again with the selection it had (by index path).
void CFeaturesPage::ShowSource() {
    const CProject& project = document_.project;
    filling_ = true;
    if (mode_ == SourceMode::kFileSystem) {
        folders_.Fill(project);
        CFolder* folder = project.FolderFromIndexPath(sourceFolderPath_);
        if (folder == nullptr || !folders_.Select(folder)) {
            folders_.SelectFirst();
        }
        folders_.ListFiles(project, folders_.SelectedFolder());
        sourceFolderPath_ = folders_.SelectedFolder() ? project.IndexPathOf(folders_.SelectedFolder()) : "";
    } else {
        registry_.Fill(project);
        CRegItem* key = project.RegItemFromIndexPath(sourceKeyPath_);
        if (key == nullptr || !registry_.Select(key)) {
            registry_.SelectFirst();
        }
        registry_.ListValues(registry_.SelectedKey());
        sourceKeyPath_ = registry_.SelectedKey() ? project.IndexPathOf(registry_.SelectedKey()) : "";
    }
    filling_ = false;
    UpdateToolbar();
}

std::string CFeaturesPage::PathOf(const CFeature* feature) const {
    std::string path;
    for (; feature != nullptr && feature->parent != nullptr; feature = feature->parent) {
        path = "/" + std::to_string(feature->position) + path;
    }
    return path;
}

CFeature* CFeaturesPage::FeatureAt(const std::string& path) const {
    CFeature* feature = &document_.project.rootFeature;
    for (size_t at = 0; feature != nullptr && at < path.size();) {
        const size_t next = path.find('/', at + 1);
        const std::string step =
            path.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        feature = feature->children.At(std::atol(step.c_str()));
        at = next == std::string::npos ? path.size() : next;
    }
    return feature;
}

CFeature* CFeaturesPage::FeatureOf(HTREEITEM item) const {
    const LPARAM data = item != nullptr ? features_.ItemData(item) : kNoPath;
    if (data < 0 || static_cast<size_t>(data) >= featurePaths_.size()) {
        return nullptr;
    }
    return FeatureAt(featurePaths_[static_cast<size_t>(data)]);
}

CFeature* CFeaturesPage::SelectedFeature() const {
    return FeatureOf(features_.Selection());
}

void CFeaturesPage::AddFeatureItems(HTREEITEM parent, const CFeature& feature,
                                    const std::vector<std::string>& expanded) {
    const std::string path = PathOf(&feature);
    const HTREEITEM item =
        features_.Insert(parent, feature.name, 0, TVI_LAST, static_cast<LPARAM>(featurePaths_.size()));
    featurePaths_.push_back(path);
    for (const CFeature* child : feature.children) {
        AddFeatureItems(item, *child, expanded);
    }
    for (const std::string& open : expanded) {
        if (open == path) {
            features_.Expand(item);
        }
    }
}

void CFeaturesPage::ShowFeatures(const CFeature* select) {
    std::vector<std::string> expanded;
    std::string selectPath;
    for (size_t i = 0; i < featurePaths_.size(); ++i) {
        const HTREEITEM item = features_.FindData(static_cast<LPARAM>(i));
        if (IsExpanded(features_, item)) {
            expanded.push_back(featurePaths_[i]);
        }
        if (item != nullptr && item == features_.Selection()) {
            selectPath = featurePaths_[i];
        }
    }
    if (select != nullptr) {
        selectPath = PathOf(select);
        for (const CFeature* up = select->parent; up != nullptr && up->parent != nullptr; up = up->parent) {
            expanded.push_back(PathOf(up));
        }
    }
    filling_ = true;
    TreeView_DeleteAllItems(features_.Handle());
    featurePaths_.clear();
    for (const CFeature* top : document_.project.rootFeature.children) {
        AddFeatureItems(TVI_ROOT, *top, expanded);
    }
    HTREEITEM selected = nullptr;
    for (size_t i = 0; i < featurePaths_.size(); ++i) {
        if (featurePaths_[i] == selectPath) {
            selected = features_.FindData(static_cast<LPARAM>(i));
        }
    }
    if (selected == nullptr) {
        selected = features_.Root();
    }
    if (selected != nullptr) {
        features_.Select(selected);
        features_.EnsureVisible(selected);
    }
    filling_ = false;
    ShowResources();
}

void CFeaturesPage::AddFolderResources(HTREEITEM parent, CFolder* folder, const CFeature& feature) {
    if (feature.FolderState(folder, false) == kNotIncluded) {
        return;
    }
    const HTREEITEM item =
        resources_.Insert(parent, folder->name, 0, TVI_LAST, static_cast<LPARAM>(resourceItems_.size()));
    resourceItems_.push_back({false, document_.project.IndexPathOf(folder)});
    for (CFolder* child : folder->children) {
        AddFolderResources(item, child, feature);
    }
    resources_.Expand(item);
}

void CFeaturesPage::AddKeyResources(HTREEITEM parent, CRegItem* key, const CFeature& feature) {
    if (feature.RegItemState(key, false) == kNotIncluded) {
        return;
    }
    const HTREEITEM item =
        resources_.Insert(parent, key->name, 0, TVI_LAST, static_cast<LPARAM>(resourceItems_.size()));
    resourceItems_.push_back({true, document_.project.IndexPathOf(key)});
    for (CRegItem* child : key->children) {
        if (child->IsKey()) {
            AddKeyResources(item, child, feature);
        }
    }
    resources_.Expand(item);
}

void CFeaturesPage::ShowResources() {
    HTREEITEM top = resources_.Root();
    // A branch without items cannot be expanded: its state is kept from before until it has some.
    const HTREEITEM branches[] = {top, top != nullptr ? resources_.Child(top) : nullptr,
                                  top != nullptr ? resources_.Next(resources_.Child(top)) : nullptr};
    for (int i = 0; i < 3; ++i) {
        if (branches[i] != nullptr && resources_.Child(branches[i]) != nullptr) {
            topExpanded_[i] = IsExpanded(resources_, branches[i]);
        }
    }
    filling_ = true;
    TreeView_DeleteAllItems(resources_.Handle());
    resourceItems_.clear();
    const CFeature* feature = SelectedFeature();
    if (feature != nullptr) {
        top = resources_.Insert(TVI_ROOT, feature->name + " Resources", 0, TVI_LAST, kResourceRoot);
        MakeBold(resources_, top);
        const HTREEITEM files = resources_.Insert(top, "File System", 0, TVI_LAST, kFileSystemBranch);
        const HTREEITEM registry = resources_.Insert(top, "Registry", 0, TVI_LAST, kRegistryBranch);
        for (CFolder* root : document_.project.rootFolders) {
            AddFolderResources(files, root, *feature);
        }
        for (CRegItem* root : document_.project.rootRegs) {
            AddKeyResources(registry, root, *feature);
        }
        const HTREEITEM tops[] = {top, files, registry};
        for (int i = 2; i >= 0; --i) {
            resources_.Expand(tops[i], topExpanded_[i] ? TVE_EXPAND : TVE_COLLAPSE);
        }
        HTREEITEM selected = top;
        for (size_t i = 0; i < resourceItems_.size(); ++i) {
            if (resourceItems_[i].isKey == selectedResource_.isKey &&
                resourceItems_[i].path == selectedResource_.path) {
                selected = resources_.FindData(static_cast<LPARAM>(i));
            }
        }
        resources_.Select(selected);
        resources_.EnsureVisible(selected);
    }
    filling_ = false;
    ShowResourceItems();
    UpdateToolbar();
}

// The list beside the resource tree: the feature's files of the selected folder, or its values of the
// selected key.
void CFeaturesPage::ShowResourceItems() {
    resourceList_.Clear();
    const CFeature* feature = SelectedFeature();
    const HTREEITEM item = resources_.Selection();
    const LPARAM data = item != nullptr ? resources_.ItemData(item) : kResourceRoot;
    if (feature == nullptr || data < 0 || static_cast<size_t>(data) >= resourceItems_.size()) {
        return;
    }
    const Resource& resource = resourceItems_[static_cast<size_t>(data)];
    listShowsValues_ = resource.isKey;
    if (resource.isKey) {
        const CRegItem* key = document_.project.RegItemFromIndexPath(resource.path);
        if (key == nullptr) {
            return;
        }
        for (const CRegItem* value : key->children) {
            if (!value->IsKey() && feature->RegItemState(value, false) != kNotIncluded) {
                resourceList_.Append(value->DisplayName(), value->position);
            }
        }
        return;
    }
    const CFolder* folder = document_.project.FolderFromIndexPath(resource.path);
    for (const CFileItem* file : document_.project.files) {
        if (file->folder == folder && feature->ContainsFile(file, false) != kNotIncluded) {
            resourceList_.Append(file->title, file->position);
        }
    }
}

CFolder* CFeaturesPage::SourceFolder() const {
    return mode_ == SourceMode::kFileSystem ? document_.project.FolderFromIndexPath(sourceFolderPath_)
                                            : nullptr;
}

CRegItem* CFeaturesPage::SourceKey() const {
    return mode_ == SourceMode::kRegistry ? document_.project.RegItemFromIndexPath(sourceKeyPath_) : nullptr;
}

// The data of the source list's selected rows: files or values, by the mode.
std::vector<LPARAM> CFeaturesPage::SourceRows() const {
    const win::ListView& list = mode_ == SourceMode::kFileSystem ? folders_.List() : registry_.List();
    std::vector<LPARAM> rows;
    for (int row : list.SelectedRows()) {
        rows.push_back(list.Data(row));
    }
    return rows;
}

feature_rules::Selection CFeaturesPage::CurrentSelection() const {
    feature_rules::Selection selection;
    selection.feature = SelectedFeature() != nullptr;
    selection.sourceNode = SourceFolder() != nullptr || SourceKey() != nullptr;
    selection.sourceItem = !SourceRows().empty();
    if (onList_) {
        selection.resource = resourceList_.Selected() >= 0;
    } else {
        const HTREEITEM item = resources_.Selection();
        selection.resource = item != nullptr && resources_.ItemData(item) >= 0;
    }
    return selection;
}

bool CFeaturesPage::OnContextMenu(HWND control, POINT screen) {
    const bool sourceTree = control == folders_.Tree().Handle() || control == registry_.Tree().Handle();
    const bool sourceList = control == folders_.List().Handle() || control == registry_.List().Handle();
    const bool featureTree = control == features_.Handle();
    const bool resourceTree = control == resources_.Handle();
    const bool resourceList = control == resourceList_.Handle();
    if (!sourceTree && !sourceList && !featureTree && !resourceTree && !resourceList) {
        return false;
    }
    win::Window(control).Focus();
    if ((screen.x != -1 || screen.y != -1) && (sourceTree || featureTree || resourceTree)) {
        POINT client = screen;
        ScreenToClient(control, &client);
        const win::TreeView tree(control);
        if (HTREEITEM item = tree.ItemAt(client)) {
            tree.Select(item);
        }
    }
    onList_ = resourceList;
    const int menuId = featureTree                    ? IDR_FEAT_MENU
                       : resourceTree || resourceList ? IDR_FEAT_RESOURCE_MENU
                                                      : IDR_FEAT_SOURCE_MENU;
    const win::Menu menu(menuId);
    const feature_rules::Selection selection = CurrentSelection();
    for (const MenuCommand& item : kMenuCommands) {
        menu.Enable(item.id, feature_rules::IsEnabled(item.command, selection));
    }
    if (menuId == IDR_FEAT_SOURCE_MENU) {
        menu.CheckRadio(ID_FEAT_SHOW_FILES, ID_FEAT_SHOW_REGISTRY,
                        mode_ == SourceMode::kFileSystem ? ID_FEAT_SHOW_FILES : ID_FEAT_SHOW_REGISTRY);
        for (int id : kToolbarCommands) {
            menu.SetText(id, feature_rules::MenuText(CommandOfMenuItem(id), mode_));
        }
        if (!sourceList) {
            menu.Remove(ID_FEAT_ADD_SELECTED);
        }
    }
    if (resourceList) {
        for (int id : {ID_FEAT_ADD_FOLDER, ID_FEAT_ADD_REGKEY, ID_FEAT_ADD_FILE, ID_FEAT_ADD_REGVALUE}) {
            menu.Remove(id);
        }
    }
    Run(CommandOfMenuItem(menu.Track(Handle(), screen)));
    return true;
}

bool CFeaturesPage::OnCommand(int id, int, HWND control) {
    const Command command = CommandOfMenuItem(id);
    if (command == Command::kNone) {
        return false;
    }
    if (control == toolbar_) {
        onList_ = false;
    }
    Run(command);
    return true;
}

void CFeaturesPage::Run(Command command) {
    if (!feature_rules::IsEnabled(command, CurrentSelection())) {
        return;
    }
    switch (command) {
        case Command::kAddFeature:
            AddFeature();
            break;
        case Command::kDeleteFeature:
            DeleteFeature();
            break;
        case Command::kRename:
            RenameFeature();
            break;
        case Command::kProperties:
            ShowProperties();
            break;
        case Command::kShowFileSystem:
            SetMode(SourceMode::kFileSystem);
            break;
        case Command::kShowRegistry:
            SetMode(SourceMode::kRegistry);
            break;
        case Command::kAddWithItems:
        case Command::kAddWithSubtree:
        case Command::kAddSelected:
            AddFromSource(command);
            break;
        case Command::kAddFolder:
        case Command::kAddRegKey:
        case Command::kAddFile:
        case Command::kAddRegValue:
            AddChosen(command);
            break;
        case Command::kRemove:
            RemoveResources();
            break;
        case Command::kNone:
            break;
    }
}

void CFeaturesPage::Refuse(const std::string& message) {
    MessageBoxA(Handle(), message.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
}

void CFeaturesPage::Changed(CFeature* feature) {
    document_.Changed(UpdateHint::kFeatureChanged, feature);
}

bool CFeaturesPage::Report(int outcome) {
    if (outcome == static_cast<int>(inclusion::Outcome::kListFull)) {
        Refuse("The feature cannot hold more entries of this kind. Nothing was changed.");
    }
    return outcome == static_cast<int>(inclusion::Outcome::kChanged);
}

win::LabelEditor::Edit CFeaturesPage::FeatureEdit(const std::string& parentPath,
                                                  const std::string& renamingPath) {
    win::LabelEditor::Edit edit;
    edit.defaultName = feature_rules::kNewFeatureName;
    edit.rule = [this, parentPath, renamingPath](const std::string& name) {
        const CFeature* parent = FeatureAt(parentPath);
        const CFeature* renaming = renamingPath.empty() ? nullptr : FeatureAt(renamingPath);
        return parent != nullptr ? feature_rules::NameRefusal(*parent, name, renaming) : std::string();
    };
    edit.apply = [this, parentPath, renamingPath](const std::string& name) {
        CFeature* parent = FeatureAt(parentPath);
        if (parent == nullptr) {
            return;
        }
        if (!renamingPath.empty()) {
            if (CFeature* feature = FeatureAt(renamingPath)) {
                feature->name = name;
                Changed(feature);
            }
            return;
        }
        Changed(parent->AddChild(std::make_unique<CFeature>(name, std::string())));
    };
    return edit;
}

void CFeaturesPage::AddFeature() {
    const CFeature* parent = SelectedFeature();
    const HTREEITEM parentItem = features_.Selection();
    features_.Expand(parentItem);
    const HTREEITEM item = features_.Insert(parentItem, feature_rules::kNewFeatureName, 0, TVI_LAST, kNoPath);
    features_.EnsureVisible(item);
    features_.Focus();
    labels_.BeginNew(features_, item, FeatureEdit(PathOf(parent), std::string()));
}

void CFeaturesPage::RenameFeature() {
    const CFeature* feature = SelectedFeature();
    labels_.BeginRename(features_, features_.Selection(),
                        FeatureEdit(PathOf(feature->parent), PathOf(feature)));
}

void CFeaturesPage::DeleteFeature() {
    CFeature* feature = SelectedFeature();
    if (ConfirmDelete(Handle(), delete_rules::Kind::kFeature, feature->name, {}) !=
        delete_rules::Answer::kYes) {
        return;
    }
    CFeature* parent = feature->parent;
    parent->RemoveChild(feature);
    Changed(parent->parent != nullptr ? parent : nullptr);
}

void CFeaturesPage::ShowProperties() {
    CFeature* feature = SelectedFeature();
    CFeaturePropertiesDialog dialog(*feature);
    if (!dialog.Ask(Handle())) {
        return;
    }
    feature = SelectedFeature();
    if (feature != nullptr) {
        CFeaturePropertiesDialog::Apply(dialog.Result(), *feature);
        Changed(feature);
    }
}

void CFeaturesPage::AddFromSource(Command command) {
    CFeature* feature = SelectedFeature();
    bool changed = false;
    if (command == Command::kAddSelected) {
        for (LPARAM data : SourceRows()) {
            const auto outcome = mode_ == SourceMode::kFileSystem
                                     ? inclusion::AddFile(*feature, reinterpret_cast<CFileItem*>(data))
                                     : inclusion::AddRegValue(*feature, reinterpret_cast<CRegItem*>(data));
            changed = Report(static_cast<int>(outcome)) || changed;
        }
    } else {
        const bool subtree = command == Command::kAddWithSubtree;
        inclusion::Outcome outcome;
        if (mode_ == SourceMode::kFileSystem) {
            outcome = subtree ? inclusion::AddFolderWithSubfolders(*feature, SourceFolder())
                              : inclusion::AddFolderWithFiles(*feature, SourceFolder());
        } else {
            outcome = subtree ? inclusion::AddKeyWithSubkeys(*feature, SourceKey())
                              : inclusion::AddKeyWithValues(*feature, SourceKey());
        }
        changed = Report(static_cast<int>(outcome));
    }
    if (changed) {
        Changed(feature);
    }
}

void CFeaturesPage::AddChosen(Command command) {
    const CItemChooser::Kind kind = command == Command::kAddFolder   ? CItemChooser::kFolder
                                    : command == Command::kAddRegKey ? CItemChooser::kKey
                                    : command == Command::kAddFile   ? CItemChooser::kFile
                                                                     : CItemChooser::kValue;
    CItemChooser chooser(document_.project, kind);
    chooser.SetIncludeSubItems(true);
    if (chooser.Choose(Handle()) != CItemChooser::kChosen) {
        return;
    }
    CFeature* feature = SelectedFeature();
    if (feature == nullptr) {
        return;
    }
    const bool all = chooser.IncludeSubItems();
    inclusion::Outcome outcome = inclusion::Outcome::kUnchanged;
    if (kind == CItemChooser::kFolder && chooser.ChosenFolder() != nullptr) {
        outcome = all ? inclusion::AddFolderWithSubfolders(*feature, chooser.ChosenFolder())
                      : inclusion::AddFolderWithFiles(*feature, chooser.ChosenFolder());
    } else if (kind == CItemChooser::kKey && chooser.ChosenRegItem() != nullptr) {
        outcome = all ? inclusion::AddKeyWithSubkeys(*feature, chooser.ChosenRegItem())
                      : inclusion::AddKeyWithValues(*feature, chooser.ChosenRegItem());
    } else if (kind == CItemChooser::kFile && chooser.ChosenFile() != nullptr) {
        outcome = inclusion::AddFile(*feature, chooser.ChosenFile());
    } else if (kind == CItemChooser::kValue && chooser.ChosenRegItem() != nullptr) {
        outcome = inclusion::AddRegValue(*feature, chooser.ChosenRegItem());
    }
    if (Report(static_cast<int>(outcome))) {
        Changed(feature);
    }
}

void CFeaturesPage::RemoveResources() {
    CFeature* feature = SelectedFeature();
    bool changed = false;
    if (onList_) {
        const HTREEITEM item = resources_.Selection();
        const LPARAM data = item != nullptr ? resources_.ItemData(item) : kResourceRoot;
        if (data < 0 || static_cast<size_t>(data) >= resourceItems_.size()) {
            return;
        }
        const Resource resource = resourceItems_[static_cast<size_t>(data)];
        CRegItem* key = resource.isKey ? document_.project.RegItemFromIndexPath(resource.path) : nullptr;
        for (int row : resourceList_.SelectedRows()) {
            const LPARAM position = resourceList_.Data(row);
            inclusion::Outcome outcome = inclusion::Outcome::kUnchanged;
            if (key != nullptr) {
                if (CRegItem* value = key->children.At(position)) {
                    outcome = inclusion::RemoveRegItem(*feature, value);
                }
            } else if (CFileItem* file = document_.project.files.At(position)) {
                outcome = inclusion::RemoveFile(*feature, file, document_.project.files);
            }
            changed = Report(static_cast<int>(outcome)) || changed;
        }
    } else {
        const LPARAM data = resources_.ItemData(resources_.Selection());
        const Resource resource = resourceItems_[static_cast<size_t>(data)];
        inclusion::Outcome outcome = inclusion::Outcome::kUnchanged;
        if (resource.isKey) {
            if (CRegItem* key = document_.project.RegItemFromIndexPath(resource.path)) {
                outcome = inclusion::RemoveRegItem(*feature, key);
            }
        } else if (CFolder* folder = document_.project.FolderFromIndexPath(resource.path)) {
            outcome = inclusion::RemoveFolder(*feature, folder);
        }
        changed = Report(static_cast<int>(outcome));
    }
    if (changed) {
        Changed(feature);
    }
}

bool CFeaturesPage::CanDrop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) {
    const CFeature* onto = FeatureOf(target);
    if (onto == nullptr) {
        return false;
    }
    if (items.source != features_.Handle()) {
        return true;
    }
    const CFeature* dragged = FeatureOf(items.treeItems.empty() ? nullptr : items.treeItems[0]);
    if (dragged == nullptr) {
        return false;
    }
    const feature_rules::DropDecision decision = feature_rules::DecideDrop(*dragged, *onto, effect);
    return decision.allowed || !decision.message.empty();
}

void CFeaturesPage::Drop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) {
    CFeature* onto = FeatureOf(target);
    if (onto == nullptr) {
        return;
    }
    if (items.source == features_.Handle()) {
        CFeature* dragged = FeatureOf(items.treeItems.empty() ? nullptr : items.treeItems[0]);
        if (dragged == nullptr) {
            return;
        }
        const feature_rules::DropDecision decision = feature_rules::DecideDrop(*dragged, *onto, effect);
        if (!decision.allowed) {
            if (!decision.message.empty()) {
                Refuse(decision.message);
            }
            return;
        }
        std::unique_ptr<CFeature> moving =
            effect == editor_rules::DropEffect::kCopy ? dragged->Copy() : dragged->parent->TakeChild(dragged);
        Changed(onto->AddChild(std::move(moving)));
        return;
    }
    const bool files = items.source == folders_.List().Handle();
    if (!files && items.source != registry_.List().Handle()) {
        return;
    }
    bool changed = false;
    for (LPARAM data : items.data) {
        const auto outcome = files ? inclusion::AddFile(*onto, reinterpret_cast<CFileItem*>(data))
                                   : inclusion::AddRegValue(*onto, reinterpret_cast<CRegItem*>(data));
        changed = Report(static_cast<int>(outcome)) || changed;
    }
    if (changed) {
        features_.Select(target);
        Changed(onto);
    }
}

bool CFeaturesPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (labels_.OnNotify(header, result)) {
        return true;
    }
    if (header->code == TTN_GETDISPINFOA) {
        const Command command = CommandOfMenuItem(static_cast<int>(header->idFrom));
        const char* tip = feature_rules::Tooltip(command, mode_);
        if (*tip == '\0') {
            return false;
        }
        reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = const_cast<char*>(tip);
        return true;
    }
    for (const win::KeyCommands& keys : {featureKeys_, resourceTreeKeys_, resourceListKeys_}) {
        if (const int command = keys.CommandOf(header)) {
            onList_ = header->hwndFrom == resourceList_.Handle();
            Run(CommandOfMenuItem(command));
            *result = TRUE;
            return true;
        }
    }
    if (filling_) {
        return false;
    }
    const CProject& project = document_.project;
    if (header->code == TVN_SELCHANGEDA) {
        if (header->hwndFrom == folders_.Tree().Handle()) {
            CFolder* folder = folders_.SelectedFolder();
            sourceFolderPath_ = folder != nullptr ? project.IndexPathOf(folder) : "";
            folders_.ListFiles(project, folder);
        } else if (header->hwndFrom == registry_.Tree().Handle()) {
            CRegItem* key = registry_.SelectedKey();
            sourceKeyPath_ = key != nullptr ? project.IndexPathOf(key) : "";
            registry_.ListValues(key);
        } else if (header->hwndFrom == features_.Handle()) {
            ShowResources();
        } else if (header->hwndFrom == resources_.Handle()) {
            const LPARAM data = resources_.ItemData(resources_.Selection());
            selectedResource_ = data >= 0 && static_cast<size_t>(data) < resourceItems_.size()
                                    ? resourceItems_[static_cast<size_t>(data)]
                                    : Resource{false, std::string()};
            ShowResourceItems();
        }
        UpdateToolbar();
        return false;
    }
    if (header->code == LVN_ITEMCHANGED) {
        UpdateToolbar();
        return false;
    }
    if (header->code == TVN_BEGINDRAGA && header->hwndFrom == features_.Handle()) {
        const auto* drag = reinterpret_cast<const NMTREEVIEWA*>(header);
        const CFeature* feature = FeatureOf(drag->itemNew.hItem);
        if (feature != nullptr && feature_rules::CanDrag(*feature)) {
            drag_.Begin(Handle(), header, features_, this);
        }
        return true;
    }
    if (header->code == LVN_BEGINDRAG &&
        (header->hwndFrom == folders_.List().Handle() || header->hwndFrom == registry_.List().Handle())) {
        drag_.Begin(Handle(), header, features_, this);
        return true;
    }
    return false;
}
