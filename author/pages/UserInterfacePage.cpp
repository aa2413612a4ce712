#include "author/pages/UserInterfacePage.h"

#include <commctrl.h>

#include <vector>

#include "author/SelectFileDialog.h"
#include "author/UserInterfaceRules.h"
#include "author/resource.h"
#include "platform/File.h"
#include "win/ComboBox.h"
#include "win/FileDialog.h"

namespace {

const char kPictureFilter[] = "Picture Files (*.bmp,*.jpg,*.gif)|*.bmp;*.jpg;*.gif|All Files (*.*)|*.*||";
const char kLicenseFilter[] = "Text files (*.txt,*.rtf)|*.txt;*rtf|All Files (*.*)|*.*||";

// Shown after the edit that refused a path has returned, so that the refusal never waits inside it.
constexpr UINT kPathRefused = WM_APP + 1;

struct ControlGroup {
    unsigned group;
    std::vector<int> ids;
};

const ControlGroup kGroups[] = {
    {ui_rules::kBannerControls,
     {IDC_UI_BANNER_LABEL, IDC_UI_BANNER_NOTE, IDC_UI_BANNER, IDC_UI_BANNER_BROWSE}},
    {ui_rules::kShowPageBox, {IDC_UI_SHOW_PAGE}},
    {ui_rules::kGeneralControls,
     {IDC_UI_SHOW_SPLASH, IDC_UI_SPLASH_LABEL, IDC_UI_SPLASH, IDC_UI_SPLASH_BROWSE, IDC_UI_SILENT,
      IDC_UI_UNATTENDED, IDC_UI_GLOBAL_BANNER_LABEL, IDC_UI_GLOBAL_BANNER_NOTE, IDC_UI_GLOBAL_BANNER,
      IDC_UI_GLOBAL_BANNER_BROWSE}},
    {ui_rules::kLicenseControls,
     {IDC_UI_LICENSE_LABEL1, IDC_UI_LICENSE1, IDC_UI_LICENSE_BROWSE1, IDC_UI_LICENSE_LABEL2, IDC_UI_LICENSE2,
      IDC_UI_LICENSE_BROWSE2, IDC_UI_LICENSE_LABEL3, IDC_UI_LICENSE3, IDC_UI_LICENSE_BROWSE3}},
    {ui_rules::kUserQuestions, {IDC_UI_ASK_USER_NAME, IDC_UI_ASK_ORGANIZATION, IDC_UI_ASK_EMAIL}},
    {ui_rules::kDestinationQuestions, {IDC_UI_ASK_DESKTOP, IDC_UI_ASK_START_MENU, IDC_UI_ASK_ALL_USERS}},
    {ui_rules::kFinishControls,
     {IDC_UI_RUN_LABEL, IDC_UI_RUN_FILE, IDC_UI_RUN_BROWSE, IDC_UI_README_LABEL, IDC_UI_README_FILE,
      IDC_UI_README_BROWSE, IDC_UI_RUN_OPTION_LABEL, IDC_UI_RUN_OPTION, IDC_UI_README_OPTION_LABEL,
      IDC_UI_README_OPTION, IDC_UI_RESTART_LABEL, IDC_UI_RESTART}},
};

// The path fields with their "..." buttons; the licence files take text files, the others pictures.
struct PathField {
    int edit;
    int browse;
    const char* filter;
};

const PathField kPathFields[] = {
    {IDC_UI_BANNER, IDC_UI_BANNER_BROWSE, kPictureFilter},
    {IDC_UI_SPLASH, IDC_UI_SPLASH_BROWSE, kPictureFilter},
    {IDC_UI_GLOBAL_BANNER, IDC_UI_GLOBAL_BANNER_BROWSE, kPictureFilter},
    {IDC_UI_LICENSE1, IDC_UI_LICENSE_BROWSE1, kLicenseFilter},
    {IDC_UI_LICENSE2, IDC_UI_LICENSE_BROWSE2, kLicenseFilter},
    {IDC_UI_LICENSE3, IDC_UI_LICENSE_BROWSE3, kLicenseFilter},
};

const PathField* PathFieldOf(int id) {
    for (const PathField& field : kPathFields) {
        if (field.edit == id || field.browse == id) {
            return &field;
        }
    }
    return nullptr;
}

// A radio button that gets the focus from the keyboard (Tab or an arrow key) while it is clear reports a
// click of its own; that one is no choice of the user's.
bool FocusMovedByKeyboard() {
    for (int key : {VK_TAB, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
        if (GetKeyState(key) < 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

CUserInterfacePage::CUserInterfacePage(CDocument& document)
    : CPage(document, IDD_PAGE_USERINTERFACE, "User Interface") {}

BOOL CUserInterfacePage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_UI_CATEGORIES, editor_rules::kGrowHeight},
                                {IDC_UI_SHOW_PAGE, editor_rules::kGrowWidth},
                                {IDC_UI_BANNER, editor_rules::kGrowWidth},
                                {IDC_UI_BANNER_BROWSE, editor_rules::kFollowRight},
                                {IDC_UI_BANNER_NOTE, editor_rules::kFollowRight},
                                {IDC_UI_SHOW_SPLASH, editor_rules::kGrowWidth},
                                {IDC_UI_SPLASH, editor_rules::kGrowWidth},
                                {IDC_UI_SPLASH_BROWSE, editor_rules::kFollowRight},
                                {IDC_UI_GLOBAL_BANNER, editor_rules::kGrowWidth},
                                {IDC_UI_GLOBAL_BANNER_BROWSE, editor_rules::kFollowRight},
                                {IDC_UI_GLOBAL_BANNER_NOTE, editor_rules::kFollowRight},
                                {IDC_UI_LICENSE1, editor_rules::kGrowWidth},
                                {IDC_UI_LICENSE_BROWSE1, editor_rules::kFollowRight},
                                {IDC_UI_LICENSE2, editor_rules::kGrowWidth},
                                {IDC_UI_LICENSE_BROWSE2, editor_rules::kFollowRight},
                                {IDC_UI_LICENSE3, editor_rules::kGrowWidth},
                                {IDC_UI_LICENSE_BROWSE3, editor_rules::kFollowRight},
                                {IDC_UI_RUN_FILE, editor_rules::kGrowWidth},
                                {IDC_UI_RUN_BROWSE, editor_rules::kFollowRight},
                                {IDC_UI_README_FILE, editor_rules::kGrowWidth},
                                {IDC_UI_README_BROWSE, editor_rules::kFollowRight}});
    categories_ = win::ListView(Item(IDC_UI_CATEGORIES).Handle());
    ListView_SetExtendedListViewStyle(categories_.Handle(), LVS_EX_FULLROWSELECT);
    RECT box = categories_.ClientRect();
    categories_.AddColumn("Category", box.right - box.left);
    for (int category = 0; category < ui_rules::kCategoryCount; ++category) {
        categories_.Append(ui_rules::CategoryName(category), category);
    }
    win::ComboBox(Item(IDC_UI_RUN_OPTION).Handle()).Fill(ui_rules::RunOptionChoices());
    win::ComboBox(Item(IDC_UI_README_OPTION).Handle()).Fill(ui_rules::ReadmeOptionChoices());
    win::ComboBox(Item(IDC_UI_RESTART).Handle()).Fill(ui_rules::RestartChoices());
    loading_ = true;
    categories_.Select(category_);
    loading_ = false;
    ShowCategory(category_);
    return FALSE;
}

void CUserInterfacePage::Reload(int reason) {
    const CUISettings& ui = document_.project.ui;
    loading_ = true;
    SetCheck(IDC_UI_SHOW_SPLASH, ui.showSplash);
    SetField(IDC_UI_SPLASH, ui.splashFile);
    ShowUIType();
    SetField(IDC_UI_GLOBAL_BANNER, ui.bannerForAll);
    SetField(IDC_UI_LICENSE1, ui.licenseFiles[0]);
    SetField(IDC_UI_LICENSE2, ui.licenseFiles[1]);
    SetField(IDC_UI_LICENSE3, ui.licenseFiles[2]);
    for (int id : {IDC_UI_ASK_USER_NAME, IDC_UI_ASK_ORGANIZATION, IDC_UI_ASK_EMAIL, IDC_UI_ASK_DESKTOP,
                   IDC_UI_ASK_START_MENU, IDC_UI_ASK_ALL_USERS}) {
        SetCheck(id, *FlagOf(id));
    }
    ShowFinishFiles();
    win::ComboBox(Item(IDC_UI_RUN_OPTION).Handle()).Select(ui_rules::FinishOptionChoice(ui.runOption));
    win::ComboBox(Item(IDC_UI_README_OPTION).Handle()).Select(ui_rules::FinishOptionChoice(ui.readmeOption));
    win::ComboBox(Item(IDC_UI_RESTART).Handle()).Select(ui_rules::RestartChoice(ui.showRestart));
    loading_ = false;
    ShowCategory(category_);
}

void CUserInterfacePage::OnUpdate(UpdateHint hint, const void*) {
    // The run and readme files are the project's: a file deleted, renamed or moved on another page shows
    // here at once.
    if (hint != UpdateHint::kSettingsChanged) {
        ShowFinishFiles();
    }
}

void CUserInterfacePage::ShowCategory(int category) {
    category_ = category;
    const unsigned shown = ui_rules::ControlsOf(category);
    for (const ControlGroup& group : kGroups) {
        for (int id : group.ids) {
            Item(id).Show((shown & group.group) != 0);
        }
    }
    const int page = ui_rules::PageOfCategory(category);
    if (page < 0) {
        return;
    }
    const char* showText = ui_rules::ShowPageText(page);
    Item(IDC_UI_SHOW_PAGE).SetText(showText != nullptr ? showText : "");
    SetCheck(IDC_UI_SHOW_PAGE, document_.project.ui.showPage[page] != 0);
    SetField(IDC_UI_BANNER, document_.project.ui.pageBanner[page]);
}

void CUserInterfacePage::ShowUIType() {
    const ui_rules::UITypeButtons buttons = ui_rules::ButtonsOf(document_.project.ui.uiType);
    SetCheck(IDC_UI_SILENT, buttons.silent);
    SetCheck(IDC_UI_UNATTENDED, buttons.unattended);
}

void CUserInterfacePage::ShowFinishFiles() {
    const CUISettings& ui = document_.project.ui;
    SetField(IDC_UI_RUN_FILE, ui.runApplication != nullptr ? ui.runApplication->TargetPath() : std::string());
    SetField(IDC_UI_README_FILE, ui.readmeFile != nullptr ? ui.readmeFile->TargetPath() : std::string());
}

void CUserInterfacePage::SetField(int id, const std::string& text) {
    // The control's change notification is the page's own doing here, not the user's.
    const bool wasLoading = loading_;
    loading_ = true;
    if (Item(id).Text() != text) {
        Item(id).SetText(text);
    }
    loading_ = wasLoading;
}

void CUserInterfacePage::SetCheck(int id, bool checked) {
    CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string* CUserInterfacePage::PathOf(int editId) {
    CUISettings& ui = document_.project.ui;
    switch (editId) {
        case IDC_UI_BANNER: {
            const int page = ui_rules::PageOfCategory(category_);
            return page >= 0 ? &ui.pageBanner[page] : nullptr;
        }
        case IDC_UI_SPLASH:
            return &ui.splashFile;
        case IDC_UI_GLOBAL_BANNER:
            return &ui.bannerForAll;
        case IDC_UI_LICENSE1:
            return &ui.licenseFiles[0];
        case IDC_UI_LICENSE2:
            return &ui.licenseFiles[1];
        case IDC_UI_LICENSE3:
            return &ui.licenseFiles[2];
        default:
            return nullptr;
    }
}

bool* CUserInterfacePage::FlagOf(int checkId) {
    CUISettings& ui = document_.project.ui;
    switch (checkId) {
        case IDC_UI_SHOW_SPLASH:
            return &ui.showSplash;
        case IDC_UI_ASK_USER_NAME:
            return &ui.askUserName;
        case IDC_UI_ASK_ORGANIZATION:
            return &ui.askOrganization;
        case IDC_UI_ASK_EMAIL:
            return &ui.askEMail;
        case IDC_UI_ASK_DESKTOP:
            return &ui.askDesktop;
        case IDC_UI_ASK_START_MENU:
            return &ui.askStartMenu;
        case IDC_UI_ASK_ALL_USERS:
            return &ui.askInstallForAll;
        default:
            return nullptr;
    }
}

void CUserInterfacePage::PathTyped(int editId) {
    std::string* path = PathOf(editId);
    if (path == nullptr) {
        return;
    }
    const std::string text = Item(editId).Text();
    if (!ui_rules::PathFits(text)) {
        SetField(editId, *path);
        PostMessageA(Handle(), kPathRefused, static_cast<WPARAM>(editId), 0);
        return;
    }
    if (text != *path) {
        *path = text;
        Edited();
    }
}

void CUserInterfacePage::ChoosePath(int editId) {
    const PathField* field = PathFieldOf(editId);
    std::string* current = PathOf(editId);
    if (field == nullptr || current == nullptr) {
        return;
    }
    std::string path = *current;
    if (!win::FileDialog(Handle(), field->filter).Open(&path)) {
        return;
    }
    // The dialog lets only existing files through; one that cannot be read is no choice either.
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        ReportFailure("Cannot open the file \"" + path + "\"!");
        return;
    }
    *PathOf(editId) = path;
    SetField(editId, path);
    Edited();
}

void CUserInterfacePage::ChooseProjectFile(CFileItem* CUISettings::*file) {
    CUISettings& ui = document_.project.ui;
    CSelectFileDialog chooser(document_.project, ui.*file);
    if (chooser.Choose(Handle()) == CSelectFileDialog::kCancelled || chooser.Chosen() == ui.*file) {
        return;
    }
    ui.*file = chooser.Chosen();
    ShowFinishFiles();
    Edited();
}

void CUserInterfacePage::UITypeClicked(bool silent) {
    CUISettings& ui = document_.project.ui;
    if (!FocusMovedByKeyboard()) {
        ui.uiType = ui_rules::UITypeAfterClick(ui.uiType, silent);
        Edited();
    }
    ShowUIType();
}

void CUserInterfacePage::ChoiceMade(int comboId) {
    CUISettings& ui = document_.project.ui;
    const int choice = win::ComboBox(Item(comboId).Handle()).Selected();
    if (comboId == IDC_UI_RESTART) {
        ui.showRestart = ui_rules::ShowRestartOf(choice);
    } else if (!ui_rules::FinishOptionOf(choice,
                                         comboId == IDC_UI_RUN_OPTION ? &ui.runOption : &ui.readmeOption)) {
        return;
    }
    Edited();
}

void CUserInterfacePage::Edited() {
    CUISettings& ui = document_.project.ui;
    for (int page = 0; page < kWizardPageCount; ++page) {
        if (ui_rules::IsAlwaysShown(page)) {
            ui.showPage[page] = 1;
        }
    }
    document_.Changed(UpdateHint::kSettingsChanged);
}

bool CUserInterfacePage::OnCommand(int id, int code, HWND control) {
    if (loading_) {
        return code == EN_CHANGE || code == BN_CLICKED || code == CBN_SELCHANGE;
    }
    if (const PathField* field = PathFieldOf(id)) {
        if (id == field->browse && code == BN_CLICKED) {
            ChoosePath(field->edit);
        } else if (id == field->edit && code == EN_CHANGE) {
            PathTyped(id);
        }
        return true;
    }
    switch (id) {
        case IDC_UI_RUN_BROWSE:
            ChooseProjectFile(&CUISettings::runApplication);
            return true;
        case IDC_UI_README_BROWSE:
            ChooseProjectFile(&CUISettings::readmeFile);
            return true;
        case IDC_UI_SILENT:
        case IDC_UI_UNATTENDED:
            if (code == BN_CLICKED) {
                UITypeClicked(id == IDC_UI_SILENT);
            }
            return true;
        case IDC_UI_RUN_OPTION:
        case IDC_UI_README_OPTION:
        case IDC_UI_RESTART:
            if (code == CBN_SELCHANGE) {
                ChoiceMade(id);
            }
            return true;
        case IDC_UI_SHOW_PAGE: {
            const int page = ui_rules::PageOfCategory(category_);
            if (code == BN_CLICKED && page >= 0) {
                document_.project.ui.showPage[page] = IsDlgButtonChecked(Handle(), id) == BST_CHECKED ? 1 : 0;
                Edited();
            }
            return true;
        }
        default:
            break;
    }
    if (bool* flag = FlagOf(id); flag != nullptr && code == BN_CLICKED) {
        *flag = IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
        Edited();
        return true;
    }
    return false;
}

bool CUserInterfacePage::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_UI_CATEGORIES || header->code != LVN_ITEMCHANGED) {
        return false;
    }
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!loading_ && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
        ShowCategory(change->iItem);
    }
    return true;
}

bool CUserInterfacePage::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
    if (message != kPathRefused) {
        return false;
    }
    MessageBoxA(Handle(), ui_rules::PathTooLongMessage(), "Tessaro", MB_OK | MB_ICONSTOP);
    Item(static_cast<int>(wParam)).Focus();
    *result = TRUE;
    return true;
}
