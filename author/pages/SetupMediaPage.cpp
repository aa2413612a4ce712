#include "author/pages/SetupMediaPage.h"

#include <commctrl.h>

#include <algorithm>

#include "author/PageRules.h"
#include "author/resource.h"
#include "setup/wizard/FolderChooser.h"
#include "win/FileDialog.h"
#include "win/ListView.h"

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

const char kIconFilter[] = "Icon Files (*.ico,*.exe)|*.ico;*.exe|All Files (*.*)|*.*||";
constexpr long kMaxNumber = 2147483647;

long NumberIn(win::Window field) {
    long value = 0;
    page_rules::ParseNumber(field.Text(), 0, kMaxNumber, &value);
    return value;
}

}  // namespace

CSetupMediaPage::CSetupMediaPage(CDocument& document) : CPage(document, IDD_PAGE_SETUPMEDIA, "Setup Media") {}

BOOL CSetupMediaPage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_SM_ICON_FILE, editor_rules::kGrowWidth},
                                {IDC_SM_ICON_BROWSE, editor_rules::kFollowRight},
                                {IDC_SM_DEST, editor_rules::kGrowWidth},
                                {IDC_SM_DEST_BROWSE, editor_rules::kFollowRight},
                                {IDC_SM_BUILD, editor_rules::kFollowRight},
                                {IDC_SM_OUTPUT, editor_rules::kGrowWidth | editor_rules::kGrowHeight}});
    for (const std::string& choice : page_rules::MediaChoices()) {
        Item(IDC_SM_MEDIA).Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
    Item(IDC_SM_ICON_SPIN).Send(UDM_SETRANGE32, 0, 9999);
    win::ListView output(Item(IDC_SM_OUTPUT).Handle());
    output.AddColumn(nullptr, output.ClientRect().right);
    // Pictures in the order of LineKind: error, warning, information.
    kindImages_.Reset(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       ILC_COLOR32 | ILC_MASK, 3, 0));
    for (LPCSTR icon : {IDI_ERROR, IDI_WARNING, IDI_INFORMATION}) {
        ImageList_AddIcon(kindImages_.Get(), LoadIconA(nullptr, icon));
    }
    ListView_SetImageList(output.Handle(), kindImages_.Get(), LVSIL_SMALL);
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
    document_.Changed(UpdateHint::kSettingsChanged);
}

void CSetupMediaPage::ChooseIconFile() {
    std::string name = Item(IDC_SM_ICON_FILE).Text();
    if (win::FileDialog(Handle(), kIconFilter).Open(&name)) {
        Item(IDC_SM_ICON_FILE).SetText(name);
    }
}

void CSetupMediaPage::ChooseDestination() {
    std::string folder = Item(IDC_SM_DEST).Text();
    if (CFolderChooser::Choose(Handle(), &folder)) {
        Item(IDC_SM_DEST).SetText(folder);
    }
}

void CSetupMediaPage::ClearOutput() {
    win::ListView(Item(IDC_SM_OUTPUT).Handle()).Clear();
    FitOutputColumn();
}

void CSetupMediaPage::AddOutput(LineKind kind, const std::string& line) {
    win::ListView output(Item(IDC_SM_OUTPUT).Handle());
    output.EnsureVisible(output.Append(line, 0, kind));
    UpdateWindow(output.Handle());
}

void CSetupMediaPage::FitOutputColumn() {
    // As wide as the longest line, and never narrower than the list, so that a scroll bar appears only for
    // a line that does not fit.
    HWND output = Item(IDC_SM_OUTPUT).Handle();
    const int visible = win::Window(output).ClientRect().right;
    int width = visible;
    if (ListView_GetItemCount(output) > 0) {
        ListView_SetColumnWidth(output, 0, LVSCW_AUTOSIZE);
        width = std::max(ListView_GetColumnWidth(output, 0), visible);
    }
    ListView_SetColumnWidth(output, 0, width);
}

void CSetupMediaPage::OnSize(int width, int height) {
    CPage::OnSize(width, height);
    FitOutputColumn();
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
