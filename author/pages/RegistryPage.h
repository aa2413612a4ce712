#pragma once

#include <string>
#include <vector>

#include "author/Page.h"
#include "author/RegistryRules.h"
#include "win/DragTracker.h"
#include "win/LabelEditor.h"
#include "win/ListView.h"
#include "win/Menu.h"
#include "win/Splitter.h"
#include "win/TreeView.h"

class CRegItem;

// "Registry": the keys that the setup writes (the project's root keys at the top) and the values of the
// selected key, with the "Reg Menu" (right click or the menu key) and its keys (Insert, Delete, F2 on the
// focused control); a double click on a value modifies it. The tree and the list are filled again from
// the project after every edit, and items are found again by their index paths: the page keeps no model
// pointer across an edit. Keys of the tree and values of the list are dragged onto keys of the tree: they
// move, or are copied with Ctrl held.
class CRegistryPage : public CPage, public win::DropTarget {
public:
    explicit CRegistryPage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;
    bool PreTranslate(MSG& message) override;

    bool CanDrop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;
    void Drop(const win::DragItems& items, HTREEITEM target, editor_rules::DropEffect effect) override;

private:
    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnContextMenu(HWND control, POINT screen) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnSize(int width, int height) override;
    void OnDropFiles(const std::vector<std::string>& paths, POINT client) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    // Fills the tree from the project, keeping the expanded keys and selecting the item given (or the
    // one selected before).
    void ShowKeys(const CRegItem* select = nullptr);
    void ShowValues(const CRegItem* select = nullptr);
    void AddKeys(HTREEITEM parent, const CRegItem& key, const std::vector<std::string>& expanded);
    // The paths of the expanded keys and of the selected one, as the tree was filled.
    void CollectShown(HTREEITEM first, std::vector<std::string>* expanded, std::string* selected) const;
    CRegItem* KeyOfItem(HTREEITEM item) const;
    CRegItem* SelectedKey() const;
    // Starts a drag of the key or value a TVN_BEGINDRAG or LVN_BEGINDRAG notification names.
    void BeginDrag(const NMHDR* header);
    // The items being dragged, found again by their index paths; nullptr for one that is gone.
    std::vector<CRegItem*> DraggedItems() const;
    CRegItem* SelectedValue() const;
    registry_rules::Selection CurrentSelection() const;
    void Run(registry_rules::Command command);

    void NewKey();
    void NewValue(uint32_t type);
    void Rename();
    void Modify();
    void Delete();
    void LaunchRegedit();
    void Paste();
    void TogglePermanent();
    void ChooseRegFile();
    void ImportRegFile(const std::string& path);

    // The edit of a key's name below parent: a new key, or renaming when given.
    win::LabelEditor::Edit KeyEdit(CRegItem* parent, CRegItem* renaming);
    win::LabelEditor::Edit ValueEdit(CRegItem* key, CRegItem* value, uint32_t type);
    void Refuse(const std::string& message);

    win::TreeView tree_;
    win::ListView list_;
    win::Splitter splitter_;
    win::LabelEditor labels_;
    win::DragTracker drag_;
    // The index paths of the items being dragged, as they were when the drag began.
    std::vector<std::string> dragPaths_;
    win::KeyCommands treeKeys_;
    win::KeyCommands listKeys_;
    // The index paths of the keys of the tree's items (an item's data is its index here), as they were when
    // the tree was filled.
    std::vector<std::string> keyPaths_;
    bool filling_ = false;
    // Whether the command at hand came from the value list (its menu, keys or a double click) rather than
    // from the tree: Delete, Rename, Modify and Permanent act on the value then, else on the key.
    bool onList_ = false;
};
