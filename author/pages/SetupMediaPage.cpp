#include "author/pages/SetupMediaPage.h"

#include <commctrl.h>
#include <commdlg.h>

#include "author/PageRules.h"
#include "author/resource.h"
#include "win/ListView.h"
#include "setup/wizard/FolderChooser.h"

namespace {

const win::ToolTips::Tip kTips[] = {{IDC_SM_MEDIA, "Type of media (CD, Floppy, ...)"},
                     {IDC_SM_DISK_SIZE, "Size of disk for custom media type"},
                     {IDC_SM_AUTORUN, "Make \"autorun.inf\" file on the fist disk"},
                     {IDC_SM_ICON_FILE, "The icon file displayed for the disk on the target machine"},
                     {IDC_SM_ICON_BROWSE, "Select the icon file for the disk"},
                     {IDC_SM_ICON_INDEX, "The index of icon in the icon file to be used for the disk"},
                     {IDC_SM_DEST, "The destination folder to create media files"},
                     {IDC_SM_DEST_BROWSE, "Select a destination folder to create media files"},
                     {IDC_SM_RESERVED, "The amount of space reserved on the first disk"},
                     {IDC_SM_BUILD, "Click to create the media"}};

const char kIconFilter[] = "Icon Files (*.ico,*.exe)\0*.ico;*.exe\0All Files (*.*)\0*.*\0\0";
constexpr long kMaxNumber = 2147483647;

long NumberIn(win::Window field) {
    long value = 0;
    page_rules::ParseNumber(field.Text(), 0, kMaxNumber, &value);
    return value;
}

}  // namespace

CSetupMediaPage::CSetupMediaPage(CDocument& document) : CPage(document, IDD_PAGE_SETUPMEDIA, "Setup Media") {}

BOOL CSetupMediaPage::OnInit() {
    for (const std::string& choice : page_rules::MediaChoices()) {
        Item(IDC_SM_MEDIA).Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
    Item(IDC_SM_ICON_SPIN).Send(UDM_SETRANGE32, 0, 9999);
    win::ListView(Item(IDC_SM_OUTPUT).Handle()).AddColumn(nullptr, 2000);
    tips_.CreateFor(Handle(), kTips);
    return FALSE;
}

void CSetupMediaPage::Reload(int reason) {
    const CProject& p = document_.project;
    loading_ = true;
    Item(IDC_SM_MEDIA).Send(CB_SETCURSEL, static_cast<WPARAM>(p.mediaType));
    Item(IDC_SM_DISK_SIZE).SetText(std::to_string(p.mediaSize));
    CheckDlgButton(Handle(), IDC_SM_AUTORUN, p.makeAutorun ? BST_CHECKED : BST_UNCHECKED);
    Item(IDC_SM_ICON_FILE).SetText(p.cdIconFile);
    Item(IDC_SM_ICON_SPIN).Send(UDM_SETPOS32, 0, p.cdIconIndex);
    Item(IDC_SM_ICON_INDEX).SetText(std::to_string(p.cdIconIndex));
    Item(IDC_SM_DEST).SetText(p.destination);
    Item(IDC_SM_RESERVED).SetText(std::to_string(p.reservedSpace));
    ClearOutput();
    EnableControls();
    loading_ = false;
}

void CSetupMediaPage::EnableControls() {
    int media = static_cast<int>(Item(IDC_SM_MEDIA).Send(CB_GETCURSEL));
    bool userDefined = media == page_rules::kUserDefinedMedia;
    Item(IDC_SM_DISK_SIZE).Enable(userDefined);
    Item(IDC_SM_DISK_SIZE_LABEL).Enable(userDefined);
    bool autorun = page_rules::MediaTakesAutorun(media);
    Item(IDC_SM_AUTORUN).Enable(autorun);
    bool icon = autorun && IsDlgButtonChecked(Handle(), IDC_SM_AUTORUN) == BST_CHECKED;
    for (int id : {IDC_SM_ICON_FILE, IDC_SM_ICON_BROWSE, IDC_SM_ICON_INDEX, IDC_SM_ICON_SPIN}) {
        Item(id).Enable(icon);
    }
}

bool CSetupMediaPage::Validate() {
    int media = static_cast<int>(Item(IDC_SM_MEDIA).Send(CB_GETCURSEL));
    long size = 0;
    if (media == page_rules::kUserDefinedMedia &&
        (!page_rules::ParseNumber(Item(IDC_SM_DISK_SIZE).Text(), 1, kMaxNumber, &size))) {
        MessageBoxA(Handle(), "Please enter the disk size in bytes.", "Tessaro", MB_OK | MB_ICONSTOP);
        Item(IDC_SM_DISK_SIZE).Focus();
        return false;
    }
    return true;
}

void CSetupMediaPage::Store() {
    CProject& p = document_.project;
    p.mediaType = static_cast<int32_t>(Item(IDC_SM_MEDIA).Send(CB_GETCURSEL));
    p.mediaSize = static_cast<int32_t>(NumberIn(Item(IDC_SM_DISK_SIZE)));
    p.makeAutorun = IsDlgButtonChecked(Handle(), IDC_SM_AUTORUN) == BST_CHECKED;
    p.cdIconFile = Item(IDC_SM_ICON_FILE).Text();
    p.cdIconIndex = static_cast<int32_t>(NumberIn(Item(IDC_SM_ICON_INDEX)));
    p.destination = Item(IDC_SM_DEST).Text();
    p.reservedSpace = static_cast<int32_t>(NumberIn(Item(IDC_SM_RESERVED)));
}

void CSetupMediaPage::Changed() {
    if (loading_) {
        return;
    }
    EnableControls();
    Store();
    document_.SetModified();
}

void CSetupMediaPage::ChooseIconFile() {
    char name[MAX_PATH] = "";
    lstrcpynA(name, Item(IDC_SM_ICON_FILE).Text().c_str(), sizeof name);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = kIconFilter;
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (GetOpenFileNameA(&ofn)) {
        Item(IDC_SM_ICON_FILE).SetText(name);
    }
}

void CSetupMediaPage::ChooseDestination() {
    std::string folder = Item(IDC_SM_DEST).Text();
    if (CFolderChooser::Choose(Handle(), &folder)) {
        Item(IDC_SM_DEST).SetText(folder);
    }
}

void CSetupMediaPage::ClearOutput() { win::ListView(Item(IDC_SM_OUTPUT).Handle()).Clear(); }

void CSetupMediaPage::AddOutput(const std::string& line) {
    win::ListView output(Item(IDC_SM_OUTPUT).Handle());
    output.EnsureVisible(output.Append(line));
    UpdateWindow(output.Handle());
}

bool CSetupMediaPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_SM_ICON_BROWSE:
            ChooseIconFile();
            return true;
        case IDC_SM_DEST_BROWSE:
            ChooseDestination();
            return true;
        case IDC_SM_BUILD:
            PostMessageA(GetParent(Handle()), WM_COMMAND, ID_BUILD_BUILD, 0);
            return true;
        default:
            break;
    }
    if (code == EN_CHANGE || code == BN_CLICKED || code == CBN_SELCHANGE) {
        Changed();
        return true;
    }
    return false;
}
