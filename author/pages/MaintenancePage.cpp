#include "author/pages/MaintenancePage.h"

#include <commctrl.h>
#include <shellapi.h>

#include "author/SelectFileDialog.h"
#include "author/resource.h"

namespace {

const win::ToolTips::Tip kTips[] = {
    {IDC_MNT_URL, "The web site address of the product"},
    {IDC_MNT_PHONE, "The support phone number for the program"},
    {IDC_MNT_ICON_FILE, "The file containing the icon displayed in the Add/Remove Programs list."},
    {IDC_MNT_ICON_INDEX, "The index of the icon displayed in the Add/Remove Programs list"},
    {IDC_MNT_ICON_BROWSE, "Select the file containing the icon."},
    {IDC_MNT_REGISTER, "Check to register this program in the Add/Remove programs list."},
    {IDC_MNT_NO_CHANGE, "Check to diable the \"Change\" button in the Add/Remove programs list."},
    {IDC_MNT_NO_REMOVE, "Check to diable the \"Remove\" button in the Add/Remove programs list."},
    {IDC_MNT_NO_REPAIR, "Check to diable the \"Repair\" button in the Add/Remove programs list."}};

constexpr int kMaxIconIndex = 9999;

}  // namespace

CMaintenancePage::CMaintenancePage(CDocument& document) : CPage(document, IDD_PAGE_MAINTENANCE, "Maintenance") {}

BOOL CMaintenancePage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_MNT_URL, editor_rules::kGrowWidth},
                                {IDC_MNT_PHONE, editor_rules::kGrowWidth},
                                {IDC_MNT_ICON_FILE, editor_rules::kGrowWidth},
                                {IDC_MNT_ICON_BROWSE, editor_rules::kFollowRight}});
    preview_.Attach(Item(IDC_MNT_ICON_PREVIEW), Item(IDC_MNT_ICON_SPIN), kMaxIconIndex);
    tips_.CreateFor(Handle(), kTips);
    return FALSE;
}

void CMaintenancePage::Reload(int reason) {
    const CProject& p = document_.project;
    loading_ = true;
    CheckDlgButton(Handle(), IDC_MNT_REGISTER, p.noARP ? BST_UNCHECKED : BST_CHECKED);
    Item(IDC_MNT_URL).SetText(p.productURL);
    Item(IDC_MNT_PHONE).SetText(p.supportPhone);
    preview_.SetIndex(p.iconIndex);
    Item(IDC_MNT_ICON_INDEX).SetText(std::to_string(p.iconIndex));
    CheckDlgButton(Handle(), IDC_MNT_NO_REMOVE, p.noRemove ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_MNT_NO_CHANGE, p.noModify ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_MNT_NO_REPAIR, p.noRepair ? BST_CHECKED : BST_UNCHECKED);
    ShowIconFile();
    loading_ = false;
}

void CMaintenancePage::OnUpdate(UpdateHint hint, const void*) {
    // The icon file is the project's: a file deleted, renamed or moved elsewhere shows here at once.
    if (hint != UpdateHint::kSettingsChanged) {
        loading_ = true;
        ShowIconFile();
        loading_ = false;
    }
}

void CMaintenancePage::ShowIconFile() {
    const CFileItem* file = document_.project.iconFile;
    Item(IDC_MNT_ICON_FILE).SetText(file != nullptr ? file->TargetPath() : std::string());
    preview_.Show(file != nullptr ? file->sourcePath : std::string());
}

void CMaintenancePage::Store() {
    CProject& p = document_.project;
    p.noARP = IsDlgButtonChecked(Handle(), IDC_MNT_REGISTER) != BST_CHECKED;
    p.productURL = Item(IDC_MNT_URL).Text();
    p.supportPhone = Item(IDC_MNT_PHONE).Text();
    p.iconIndex = preview_.Index();
    p.noRemove = IsDlgButtonChecked(Handle(), IDC_MNT_NO_REMOVE) == BST_CHECKED;
    p.noModify = IsDlgButtonChecked(Handle(), IDC_MNT_NO_CHANGE) == BST_CHECKED;
    p.noRepair = IsDlgButtonChecked(Handle(), IDC_MNT_NO_REPAIR) == BST_CHECKED;
}

void CMaintenancePage::Changed() {
    if (loading_) {
        return;
    }
    Store();
    document_.Changed(UpdateHint::kSettingsChanged);
}

void CMaintenancePage::ChooseIconFile() {
    // The icon must be installed with the product to show in the list of installed programs, so it is
    // one of the project's files.
    CSelectFileDialog chooser(document_.project, document_.project.iconFile);
    if (chooser.Choose(Handle()) == CSelectFileDialog::kCancelled) {
        return;
    }
    document_.project.iconFile = chooser.Chosen();
    ShowIconFile();
    Changed();
}

bool CMaintenancePage::OnCommand(int id, int code, HWND control) {
    if (id == IDC_MNT_ICON_BROWSE) {
        ChooseIconFile();
        return true;
    }
    if (id == IDC_MNT_ICON_INDEX && code == EN_CHANGE) {
        if (!loading_) {
            ShowIconFile();
        }
        Changed();
        return true;
    }
    if (code == EN_CHANGE || code == BN_CLICKED) {
        Changed();
        return true;
    }
    return false;
}
