// The pages before the choice of features: Welcome, License, User Information, Destination Folder and
// Setup Types.

#include "platform/Format.h"
#include "setup/wizard/FolderChooser.h"
#include "setup/wizard/WizardPages.h"

using namespace wizard_rules;

namespace {

bool IsChecked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND box, bool checked) {
    SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PrepareStaticRichText(HWND control) {
    win::RichEdit(control).SetBackground(GetSysColor(COLOR_BTNFACE));
}

}  // namespace

// ---- Welcome ----

BOOL CWelcomePage::OnInit() {
    const SetupEngine& engine = Engine();
    const CProject& project = engine.project;
    PrepareStaticRichText(Item(IDC_WELCOME_TEXT).Handle());
    PrepareStaticRichText(Item(IDC_WELCOME_WARNING).Handle());
    ShowRichText(IDC_WELCOME_TEXT, WelcomeText(engine.mode, project.productName));
    ShowRichText(IDC_WELCOME_WARNING, WarningText());
    const int ids[] = {IDC_WELCOME_CHANGE, IDC_WELCOME_REMOVE, IDC_WELCOME_REPAIR};
    if (engine.mode == SM_NEW) {
        for (int id : ids) {
            Item(id).Show(false);
        }
        return FALSE;
    }
    const MaintenanceChoices choices = MaintenanceChoicesFor(engine.mode, engine.force, project.noModify,
                                                             project.noRemove, project.noRepair);
    Item(IDC_WELCOME_CHANGE).Enable(choices.changeEnabled);
    Item(IDC_WELCOME_REMOVE).Enable(choices.removeEnabled);
    Item(IDC_WELCOME_REPAIR).Enable(choices.repairEnabled);
    const int checked = choices.checked == SM_REMOVE   ? IDC_WELCOME_REMOVE
                        : choices.checked == SM_REPAIR ? IDC_WELCOME_REPAIR
                                                       : IDC_WELCOME_CHANGE;
    CheckRadioButton(Handle(), IDC_WELCOME_CHANGE, IDC_WELCOME_REPAIR, checked);
    return FALSE;
}

// A click on a choice checks it alone, however the click arrived.
bool CWelcomePage::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED &&
        (id == IDC_WELCOME_CHANGE || id == IDC_WELCOME_REMOVE || id == IDC_WELCOME_REPAIR)) {
        CheckRadioButton(Handle(), IDC_WELCOME_CHANGE, IDC_WELCOME_REPAIR, id);
        return true;
    }
    return false;
}

void CWelcomePage::Activate() {
    Wizard().SetButtons(kNextButton | kCancelButton);
    CWizardPage::Activate();
}

int CWelcomePage::NextIndex() {
    SetupEngine& engine = Engine();
    if (engine.mode != SM_NEW) {
        if (IsChecked(Item(IDC_WELCOME_CHANGE).Handle())) {
            engine.mode = SM_CHANGE;
        } else if (IsChecked(Item(IDC_WELCOME_REMOVE).Handle())) {
            engine.mode = SM_REMOVE;
        } else if (IsChecked(Item(IDC_WELCOME_REPAIR).Handle())) {
            engine.mode = SM_REPAIR;
        }
    }
    return WelcomeNextIndex(engine.mode);
}

// ---- License ----

BOOL CLicensePage::OnInit() {
    char line[512];
    platform::FormatTo(line, sizeof line, "To install %s, you must accept this agreement.",
                       Engine().project.productName.c_str());
    Item(IDC_LICENSE_LINE).SetText(line);
    return FALSE;
}

void CLicensePage::Activate() {
    Wizard().SetButtons(kBackButton | kAgreeButton | kCancelButton);
    LoadLicense();
    CWizardPage::Activate();
}

void CLicensePage::LoadLicense() {
    win::RichEdit text(Item(IDC_LICENSE_TEXT).Handle());
    text.Clear();
    const std::string& folder = Engine().tstempFolder;
    char rtf[MAX_PATH + 32];
    char txt[MAX_PATH + 32];
    platform::FormatTo(rtf, sizeof rtf, "%s\\License%d.rtf", folder.c_str(), shown_);
    platform::FormatTo(txt, sizeof txt, "%s\\License%d.txt", folder.c_str(), shown_);
    if (!text.StreamInFile(rtf, SF_RTF)) {
        text.SetPlainParagraphs();
        text.SetAllFormat(win::RichEdit::Format("Courier New", 200, false, -1));
        if (!text.StreamInFile(txt, SF_TEXT)) {
            text.SetText(std::string("Cannot open the file \"") + txt + "\"!");
        }
    }
    text.ScrollToTop();
}

int CLicensePage::NextIndex() {
    return LicenseNextIndex(&shown_, Engine().project.ui.noOfLicenseFiles);
}

int CLicensePage::BackIndex() {
    return LicenseBackIndex(&shown_);
}

// ---- User Information ----

BOOL CUserInfoPage::OnInit() {
    const CUISettings& ui = Engine().project.ui;
    Item(IDC_USER_PROMPT).SetText(UserInfoPrompt(ui.askUserName, ui.askOrganization, ui.askEMail));
    const struct {
        bool asked;
        int label, field;
    } fields[] = {{ui.askUserName, IDC_USER_NAME_LABEL, IDC_USER_NAME},
                  {ui.askOrganization, IDC_USER_COMPANY_LABEL, IDC_USER_COMPANY},
                  {ui.askEMail, IDC_USER_EMAIL_LABEL, IDC_USER_EMAIL}};
    for (const auto& field : fields) {
        Item(field.label).Show(field.asked);
        Item(field.field).Show(field.asked);
    }
    Fill();
    return FALSE;
}

void CUserInfoPage::Fill() {
    const SetupEngine& engine = Engine();
    Item(IDC_USER_NAME).SetText(engine.userName);
    Item(IDC_USER_COMPANY).SetText(engine.companyName);
    Item(IDC_USER_EMAIL).SetText(engine.userEmail);
}

void CUserInfoPage::Activate() {
    Fill();
    Wizard().SetButtons(kNextButton | kBackButton | kCancelButton);
    CWizardPage::Activate();
}

HWND CUserInfoPage::FirstField() const {
    for (int id : {IDC_USER_NAME, IDC_USER_COMPANY, IDC_USER_EMAIL}) {
        if (IsWindowVisible(Item(id).Handle())) {
            return Item(id).Handle();
        }
    }
    return nullptr;
}

bool CUserInfoPage::Refuse(const char* message) {
    MessageBoxA(Wizard().Handle(), message, (Engine().project.productName + " Setup").c_str(),
                MB_OK | MB_ICONERROR);
    return false;
}

int CUserInfoPage::NextIndex() {
    // A hidden page is only asked where it leads: nobody could fill or correct its fields.
    if (!IsShown()) {
        return kDestination;
    }
    SetupEngine& engine = Engine();
    const CUISettings& ui = engine.project.ui;
    if (ui.askUserName) {
        engine.userName = Item(IDC_USER_NAME).Text();
        if (engine.userName.empty()) {
            Refuse("You must enter a User Name before setup can continue.");
            return -1;
        }
    }
    if (ui.askOrganization) {
        engine.companyName = Item(IDC_USER_COMPANY).Text();
        if (engine.companyName.empty()) {
            Refuse("You must enter a Company Name before setup can continue.");
            return -1;
        }
    }
    if (ui.askEMail) {
        engine.userEmail = Item(IDC_USER_EMAIL).Text();
    }
    return kDestination;
}

// ---- Destination Folder ----

BOOL CDestinationPage::OnInit() {
    const CUISettings& ui = Engine().project.ui;
    Item(IDC_DEST_DESKTOP).Show(ui.askDesktop);
    Item(IDC_DEST_MENU).Show(ui.askStartMenu);
    Item(IDC_DEST_FOR_ALL).Show(ui.askInstallForAll);
    Fill();
    return FALSE;
}

void CDestinationPage::Fill() {
    const SetupEngine& engine = Engine();
    Item(IDC_DEST_FOLDER).SetText(engine.project.target);
    SetChecked(Item(IDC_DEST_DESKTOP).Handle(), engine.desktopShortcuts);
    SetChecked(Item(IDC_DEST_MENU).Handle(), engine.menuShortcuts);
    SetChecked(Item(IDC_DEST_FOR_ALL).Handle(), engine.installForAll);
}

void CDestinationPage::Activate() {
    Fill();
    Wizard().SetButtons(kNextButton | kBackButton | kCancelButton);
    CWizardPage::Activate();
}

bool CDestinationPage::OnCommand(int id, int code, HWND) {
    if (id == IDC_DEST_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return false;
}

void CDestinationPage::Browse() {
    // The chooser opens on what is typed, which Next has not taken yet.
    std::string path = TrimmedFolder(Item(IDC_DEST_FOLDER).Text());
    if (!IsFullFolderPath(path)) {
        path = Engine().project.target;
    }
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool chosen = CFolderChooser::Choose(Wizard().Handle(), &path);
    SetCursor(old);
    if (chosen && !path.empty()) {
        Engine().project.target = path;
        Item(IDC_DEST_FOLDER).SetText(path);
    }
}

int CDestinationPage::NextIndex() {
    // A hidden page keeps the values as they are (a custom action may have set the target folder since the
    // page was filled).
    if (!IsShown()) {
        return kSetupType;
    }
    SetupEngine& engine = Engine();
    const CUISettings& ui = engine.project.ui;
    const std::string folder = TrimmedFolder(Item(IDC_DEST_FOLDER).Text());
    if (!IsFullFolderPath(folder)) {
        MessageBoxA(Wizard().Handle(), FolderRefusal(engine.project.productName).c_str(),
                    (engine.project.productName + " Setup").c_str(), MB_OK | MB_ICONERROR);
        SetFocus(Item(IDC_DEST_FOLDER).Handle());
        return -1;
    }
    engine.project.target = folder;
    if (ui.askDesktop) {
        engine.desktopShortcuts = IsChecked(Item(IDC_DEST_DESKTOP).Handle());
    }
    if (ui.askStartMenu) {
        engine.menuShortcuts = IsChecked(Item(IDC_DEST_MENU).Handle());
    }
    if (ui.askInstallForAll) {
        engine.installForAll = IsChecked(Item(IDC_DEST_FOR_ALL).Handle());
    }
    return kSetupType;
}

// ---- Setup Types ----

BOOL CSetupTypePage::OnInit() {
    HINSTANCE program = GetModuleHandleA(nullptr);
    Item(IDC_TYPE_TYPICAL_ICON)
        .Send(STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(program, MAKEINTRESOURCEA(IDI_WZ_TYPICAL))));
    Item(IDC_TYPE_CUSTOM_ICON)
        .Send(STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(program, MAKEINTRESOURCEA(IDI_WZ_CUSTOM))));
    CheckRadioButton(Handle(), IDC_TYPE_TYPICAL, IDC_TYPE_CUSTOM, IDC_TYPE_TYPICAL);
    return FALSE;
}

bool CSetupTypePage::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED && (id == IDC_TYPE_TYPICAL || id == IDC_TYPE_CUSTOM)) {
        CheckRadioButton(Handle(), IDC_TYPE_TYPICAL, IDC_TYPE_CUSTOM, id);
        return true;
    }
    return false;
}

void CSetupTypePage::Activate() {
    Wizard().SetButtons(kNextButton | kBackButton | kCancelButton);
    CWizardPage::Activate();
}

bool CSetupTypePage::TypicalChosen() const {
    return IsChecked(Item(IDC_TYPE_TYPICAL).Handle());
}

int CSetupTypePage::NextIndex() {
    return TypicalChosen() ? kConfirmation : kFeatures;
}
