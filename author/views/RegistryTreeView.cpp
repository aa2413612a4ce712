#include "author/views/RegistryTreeView.h"

#include "author/views/RegistryText.h"
#include "author/views/TreeItems.h"
#include "model/RegItem.h"

namespace {
constexpr int kTypeWidth = 90;
}  // namespace

void CRegistryTreeView::Attach(HWND tree, HWND valueList) {
    tree_ = win::TreeView(tree);
    list_ = win::ListView(valueList);
    if (list_) {
        ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
        RECT client = list_.ClientRect();
        const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
        const int type = width * 3 / 10 > kTypeWidth ? width * 3 / 10 : kTypeWidth;  // "REG_BINARY" fits
        list_.AddColumn("Name", (width - type) * 2 / 5);
        list_.AddColumn("Type", type);
        list_.AddColumn("Data", width - type - (width - type) * 2 / 5);
    }
}

void CRegistryTreeView::Fill(const CProject& project) {
    TreeView_DeleteAllItems(tree_.Handle());
    if (list_) {
        list_.Clear();
    }
    for (CRegItem* root : project.rootRegs) {
        Add(TVI_ROOT, root, true);
    }
}

void CRegistryTreeView::Add(HTREEITEM parent, CRegItem* key, bool expand) {
    HTREEITEM item = tree_.Insert(parent, key->name, 0, TVI_LAST, reinterpret_cast<LPARAM>(key));
    for (CRegItem* child : key->children) {
        if (child->IsKey()) {
            Add(item, child, false);
        }
    }
    if (expand) {
        tree_.Expand(item);
    }
}

HTREEITEM CRegistryTreeView::Find(const CRegItem* key) const {
    return tree_items::Find(tree_, key);
}

CRegItem* CRegistryTreeView::KeyOf(HTREEITEM item) const {
    return item == nullptr ? nullptr : reinterpret_cast<CRegItem*>(tree_.ItemData(item));
}

CRegItem* CRegistryTreeView::SelectedKey() const {
    return KeyOf(tree_.Selection());
}

bool CRegistryTreeView::Select(const CRegItem* key) const {
    HTREEITEM item = Find(key);
    if (item == nullptr) {
        return false;
    }
    TreeView_EnsureVisible(tree_.Handle(), item);
    return tree_.Select(item);
}

void CRegistryTreeView::SelectFirst() const {
    if (tree_.Root() != nullptr) {
        tree_.Select(tree_.Root());
    }
}

void CRegistryTreeView::ListValues(const CRegItem* key) const {
    list_.Clear();
    if (key == nullptr) {
        return;
    }
    for (CRegItem* value : key->children) {
        if (value->IsKey()) {
            continue;
        }
        int row = list_.Append(value->DisplayName(), reinterpret_cast<LPARAM>(value));
        std::string type = registry_text::TypeText(value->type);
        std::string data = registry_text::DataText(value->type, value->value);
        ListView_SetItemText(list_.Handle(), row, 1, const_cast<char*>(type.c_str()));
        ListView_SetItemText(list_.Handle(), row, 2, const_cast<char*>(data.c_str()));
    }
}

CRegItem* CRegistryTreeView::SelectedValue() const {
    int row = list_ ? list_.Selected() : -1;
    return row < 0 ? nullptr : reinterpret_cast<CRegItem*>(list_.Data(row));
}

bool CRegistryTreeView::SelectValue(const CRegItem* value) const {
    int row = tree_items::FindRow(list_, value);
    if (row < 0) {
        return false;
    }
    list_.Select(row);
    list_.EnsureVisible(row);
    return true;
}
