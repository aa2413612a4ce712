// The Select Features page: the feature tree with its state pictures and menu, and the space texts.
#include <cstring>

#include "setup/engine/Selection.h"
#include "setup/wizard/WizardPages.h"
#include "win/PictureStrip.h"

using namespace wizard_rules;

namespace {

constexpr int kPictureSize = 20;

// The item that holds the feature, among the items from first on and below them.
HTREEITEM FindItemOf(const win::TreeView& tree, HTREEITEM first, const CFeature* feature) {
    for (HTREEITEM item = first; item != nullptr && feature != nullptr; item = tree.Next(item)) {
        if (reinterpret_cast<const CFeature*>(tree.ItemData(item)) == feature) {
            return item;
        }
        if (HTREEITEM found = FindItemOf(tree, tree.Child(item), feature)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

CFeaturesPage::~CFeaturesPage() {
    if (images_ != nullptr) {
        ImageList_Destroy(images_);
    }
}

BOOL CFeaturesPage::OnInit() {
    tree_ = win::TreeView(Item(IDC_FEAT_TREE).Handle());
    // The four state pictures, in the order of the display states; white is their transparent colour.
    images_ = win::LoadPictureStrip(IDB_WZ_FEATURE_STATES, kPictureSize, RGB(255, 255, 255));
    tree_.SetImageList(images_);
    return FALSE;
}

int CFeaturesPage::BackIndex() {
    return Engine().mode == SM_CHANGE ? kWelcome : kSetupType;
}

void CFeaturesPage::Activate() {
    Wizard().SetButtons(kNextButton | kBackButton | kCancelButton);
    Rebuild();
    ShowRequiredSpace();
    CWizardPage::Activate();
    ShowAvailableSpace();
}

CFeature* CFeaturesPage::FeatureOf(HTREEITEM item) const {
    return item != nullptr ? reinterpret_cast<CFeature*>(tree_.ItemData(item)) : nullptr;
}

void CFeaturesPage::Rebuild() {
    rebuilding_ = true;
    CFeature* selected = FeatureOf(tree_.Selection());
    TreeView_DeleteAllItems(tree_.Handle());
    CFeature& root = Engine().project.rootFeature;
    DisplayState(root);
    for (CFeature* child : root.children) {
        Insert(TVI_ROOT, *child);
    }
    if (selected == nullptr && !root.children.empty()) {
        selected = root.children[0];
    }
    HTREEITEM select = FindItemOf(tree_, tree_.Root(), selected);
    if (select != nullptr) {
        tree_.Select(select);
    }
    rebuilding_ = false;
    Item(IDC_FEAT_DESCRIPTION).SetText(selected != nullptr && select != nullptr ? selected->description : "");
}

void CFeaturesPage::Insert(HTREEITEM parent, CFeature& feature) {
    if (!feature.visible) {
        return;
    }
    const int picture = PictureOf(feature, DisplayState(feature));
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(feature.name.c_str());
    insert.item.iImage = picture;
    insert.item.iSelectedImage = picture;
    insert.item.lParam = reinterpret_cast<LPARAM>(&feature);
    HTREEITEM item =
        reinterpret_cast<HTREEITEM>(tree_.Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    for (CFeature* child : feature.children) {
        Insert(item, *child);
    }
    if (feature.expanded) {
        tree_.Expand(item);
    }
}

void CFeaturesPage::ShowRequiredSpace() {
    PrepareSelection(Engine());
    Item(IDC_FEAT_REQUIRED).SetText(RequiredSpaceText(Engine().totalBytes));
}

void CFeaturesPage::ShowAvailableSpace() {
    const std::string& target = Engine().project.target;
    const std::string drive = target.substr(0, target.find('\\'));
    ULARGE_INTEGER available{}, total{}, free{};
    GetDiskFreeSpaceExA((drive + "\\").c_str(), &available, &total, &free);
    Item(IDC_FEAT_AVAILABLE).SetText(AvailableSpaceText(target, static_cast<int64_t>(free.QuadPart)));
}

HTREEITEM CFeaturesPage::ItemAt(DWORD screenPoint, UINT* where) const {
    TVHITTESTINFO hit{};
    hit.pt.x = static_cast<short>(LOWORD(screenPoint));
    hit.pt.y = static_cast<short>(HIWORD(screenPoint));
    ScreenToClient(tree_.Handle(), &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree_.Handle(), &hit);
    *where = hit.flags;
    return item;
}

bool CFeaturesPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_FEAT_TREE) {
        return false;
    }
    switch (header->code) {
        case TVN_SELCHANGEDA: {
            const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
            if (CFeature* feature = reinterpret_cast<CFeature*>(change->itemNew.lParam)) {
                Item(IDC_FEAT_DESCRIPTION).SetText(feature->description);
            }
            return false;
        }
        case TVN_ITEMEXPANDEDA: {
            const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
            if (!rebuilding_) {
                if (CFeature* feature = reinterpret_cast<CFeature*>(change->itemNew.lParam)) {
                    feature->expanded = (change->action & TVE_EXPAND) != 0;
                }
            }
            return false;
        }
        case NM_RCLICK:
        case NM_CLICK: {
            UINT where = 0;
            HTREEITEM item = ItemAt(GetMessagePos(), &where);
            if (item == nullptr || (header->code == NM_CLICK && (where & TVHT_ONITEMICON) == 0)) {
                return false;
            }
            tree_.Select(item);
            OpenMenu(item);
            *result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

bool CFeaturesPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (message != WM_CONTEXTMENU || reinterpret_cast<HWND>(wParam) != tree_.Handle() || lParam != -1) {
        return false;
    }
    if (HTREEITEM item = tree_.Selection()) {
        OpenMenu(item);
    }
    *result = TRUE;
    return true;
}

void CFeaturesPage::OpenMenu(HTREEITEM item) {
    CFeature* feature = FeatureOf(item);
    if (feature == nullptr) {
        return;
    }
    const FeatureMenu menu = MenuFor(*feature, DisplayState(*feature));
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING | (menu.doNotInstallEnabled ? 0 : MF_GRAYED), IDM_FEAT_DO_NOT_INSTALL,
                "Do not install this feature");
    AppendMenuA(popup, MF_STRING, IDM_FEAT_INSTALL, "Install this feature");
    AppendMenuA(popup, MF_STRING | (menu.withAllEnabled ? 0 : MF_GRAYED), IDM_FEAT_INSTALL_ALL,
                "Install this feature with all sub-features");
    CheckMenuRadioItem(popup, IDM_FEAT_DO_NOT_INSTALL, IDM_FEAT_INSTALL_ALL,
                       IDM_FEAT_DO_NOT_INSTALL + menu.checked, MF_BYCOMMAND);
    // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
    RECT label{};
    std::memcpy(&label, &item, sizeof item);
    tree_.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
    POINT corner{label.left, label.bottom};
    ClientToScreen(tree_.Handle(), &corner);
    const int chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                                      corner.x, corner.y, 0, Handle(), nullptr);
    DestroyMenu(popup);
    if (chosen >= IDM_FEAT_DO_NOT_INSTALL && chosen <= IDM_FEAT_INSTALL_ALL) {
        ApplyMenuChoice(*feature, chosen - IDM_FEAT_DO_NOT_INSTALL);
        Rebuild();
        ShowRequiredSpace();
    }
}
