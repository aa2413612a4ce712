#include "setup/wizard/Wizard.h"

#include <cstring>

#include "setup/wizard/WizardPages.h"
#include "setup/wizard/WizardRes.h"

using namespace wizard_rules;

namespace {

// Posted when the wizard is shown, so that the first page's focus is set after the system's own.
constexpr UINT kFocusPage = WM_APP + 10;

}  // namespace

// ---- CWizardPage ----

bool CWizardPage::CreateOn(HWND parent, const RECT& area) {
    HWND page = Create(parent, templateId_);
    if (page == nullptr) {
        return false;
    }
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
    return true;
}

SetupEngine& CWizardPage::Engine() const {
    return wizard_.Engine();
}

bool CWizardPage::IsShown() const {
    return Engine().project.ui.showPage[index_] != 0;
}

void CWizardPage::Activate() {
    Show(true);
    wizard_.SetTitle(index_);
}

void CWizardPage::OnOK() {
    wizard_.Send(WM_COMMAND, IDOK);
}

void CWizardPage::OnCancel() {
    wizard_.AskToQuit();
}

void CWizardPage::ReportFailure(const std::string& text) {
    if (!text.empty()) {
        MessageBoxA(wizard_.Handle(), text.c_str(), (Engine().project.productName + " Setup").c_str(),
                    MB_OK | MB_ICONERROR);
    }
}

void CWizardPage::ShowRichText(int controlId, const RichText& text, bool clear) const {
    win::RichEdit edit(Item(controlId).Handle());
    if (clear) {
        edit.Clear();
    }
    const CHARFORMATA boldBlue = win::RichEdit::Format("Arial", 200, true, RGB(0, 0, 255));
    for (const TextRun& run : text) {
        switch (run.style) {
            case TextStyle::Normal:
                edit.Append(run.text, normal_);
                break;
            case TextStyle::Bold:
                edit.Append(run.text, bold_);
                break;
            case TextStyle::Small:
                edit.Append(run.text, small_);
                break;
            case TextStyle::BoldBlue:
                edit.Append(run.text, boldBlue);
                break;
        }
    }
}

// ---- CWizard ----

// The page flow as the wizard's pages and custom actions answer it.
class CWizard::Flow : public PageFlow {
public:
    explicit Flow(CWizard& wizard) : wizard_(wizard) {}
    int NextIndexOf(int page) override { return wizard_.pages_[static_cast<size_t>(page)]->NextIndex(); }
    int BackIndexOf(int page) override { return wizard_.pages_[static_cast<size_t>(page)]->BackIndex(); }
    bool IsShown(int page) override {
        return page >= 0 && page < kPageCount && wizard_.pages_[static_cast<size_t>(page)]->IsShown();
    }
    bool RunActions(int first, int last) override { return wizard_.RunActions(first, last); }

private:
    CWizard& wizard_;
};

CWizard::CWizard(SetupEngine& engine, WizardServices services)
    : engine_(engine), services_(std::move(services)) {
    auto welcome = std::make_unique<CWelcomePage>(*this);
    auto setupType = std::make_unique<CSetupTypePage>(*this);
    CSetupTypePage& setupTypePage = *setupType;
    pages_[kWelcome] = std::move(welcome);
    pages_[kLicense] = std::make_unique<CLicensePage>(*this);
    pages_[kUserInformation] = std::make_unique<CUserInfoPage>(*this);
    pages_[kDestination] = std::make_unique<CDestinationPage>(*this);
    pages_[kSetupType] = std::move(setupType);
    pages_[kFeatures] = std::make_unique<CFeaturesPage>(*this);
    pages_[kConfirmation] = std::make_unique<CConfirmationPage>(*this, setupTypePage);
    pages_[kWorking] = std::make_unique<CProgressPage>(*this);
    pages_[kFinish] = std::make_unique<CFinishPage>(*this);
}

CWizard::~CWizard() {
    for (size_t i = 0; i < banners_.size(); ++i) {
        if (banners_[i] != nullptr) {
            DeleteObject(banners_[i]);
        }
        if (backgrounds_[i] != nullptr) {
            DeleteObject(backgrounds_[i]);
        }
    }
    if (memoryDC_ != nullptr) {
        DeleteDC(memoryDC_);
    }
}

INT_PTR CWizard::Run(HWND owner) {
    return DoModal(owner, IDD_WIZARD);
}

BOOL CWizard::OnInit() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    bigIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 32, 32, 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 16, 16, 0));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    if (HMENU system = GetSystemMenu(Handle(), FALSE)) {
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, IDM_ABOUT_SETUP, "&About Setup...");
    }
    launcher_ = services_.makeLauncher(Handle());

    const RECT area = Item(IDC_WZ_PAGE_AREA).RectInParent();
    for (auto& page : pages_) {
        page->CreateOn(Handle(), area);
    }
    BuildBanners();
    GoToPage(RunActions(kPointBeforeWelcome, kPointAlone) ? kWelcome : kFinish);
    return FALSE;
}

bool CWizard::RunActions(int first, int last) {
    return RunCustomActions(engine_, first, last, *launcher_);
}

void CWizard::SetTitle(int page) {
    SetText(WindowTitle(engine_.project.productName, page, engine_.test));
}

void CWizard::SetButtons(unsigned mask) {
    Item(IDC_WZ_NEXT).Show((mask & kNextButton) != 0);
    Item(IDC_WZ_BACK).Show((mask & kBackButton) != 0);
    Item(IDC_WZ_AGREE).Show((mask & kAgreeButton) != 0);
    Item(IDC_WZ_FINISH).Show((mask & kFinishButton) != 0);
    Item(IDCANCEL).Show((mask & kCancelButton) != 0);
}

void CWizard::GoToPage(int index) {
    if (current_ >= 0) {
        pages_[static_cast<size_t>(current_)]->Deactivate();
    }
    current_ = index;
    DrawHeader(index);
    pages_[static_cast<size_t>(index)]->Activate();
    // The first page gets its focus once the window is shown (WM_SHOWWINDOW).
    if (IsWindowVisible(Handle())) {
        FocusPage();
    }
}

void CWizard::FocusPage() {
    if (current_ < 0) {
        return;
    }
    HWND target = pages_[static_cast<size_t>(current_)]->FirstField();
    if (target == nullptr || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        switch (ForwardButton(ButtonsShown())) {
            case kNextButton:
                target = Item(IDC_WZ_NEXT).Handle();
                break;
            case kAgreeButton:
                target = Item(IDC_WZ_AGREE).Handle();
                break;
            case kFinishButton:
                target = Item(IDC_WZ_FINISH).Handle();
                break;
            default:
                return;
        }
    }
    // A long installation may have let another program's window become active (one that it started and
    // waited for, say); the page that follows it is where the user goes on.
    if (GetForegroundWindow() != Handle()) {
        SetForegroundWindow(Handle());
    }
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

unsigned CWizard::ButtonsShown() const {
    const struct {
        int id;
        unsigned bit;
    } buttons[] = {{IDC_WZ_NEXT, kNextButton},
                   {IDC_WZ_BACK, kBackButton},
                   {IDC_WZ_AGREE, kAgreeButton},
                   {IDC_WZ_FINISH, kFinishButton},
                   {IDCANCEL, kCancelButton}};
    unsigned mask = 0;
    for (const auto& button : buttons) {
        if (GetWindowLongA(Item(button.id).Handle(), GWL_STYLE) & WS_VISIBLE) {
            mask |= button.bit;
        }
    }
    return mask;
}

void CWizard::Next() {
    if (current_ < 0 || busy_) {
        return;
    }
    Flow flow(*this);
    const int target = NextTarget(current_, flow);
    if (target >= 0) {
        GoToPage(target);
    }
}

void CWizard::Back() {
    if (current_ < 0 || busy_) {
        return;
    }
    Flow flow(*this);
    const int target = BackTarget(current_, flow);
    if (target >= 0) {
        GoToPage(target);
    }
}

void CWizard::Finish() {
    static_cast<CFinishPage&>(*pages_[kFinish]).ApplyChoices();
    Show(false);
    RunActions(kPointAfterFinish, kPointAlone);
    End(IDOK);
}

void CWizard::AskToQuit() {
    if (busy_) {
        return;
    }
    const std::string title = engine_.project.productName + " Setup";
    if (MessageBoxA(Handle(), "Are you sure you want to quit setup?", title.c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        End(IDCANCEL);
    }
}

void CWizard::OnOK() {
    if (IsWindowVisible(Item(IDC_WZ_NEXT).Handle()) || IsWindowVisible(Item(IDC_WZ_AGREE).Handle())) {
        Next();
    } else if (IsWindowVisible(Item(IDC_WZ_FINISH).Handle())) {
        Finish();
    }
}

bool CWizard::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_WZ_NEXT:
        case IDC_WZ_AGREE:
            Next();
            return true;
        case IDC_WZ_BACK:
            Back();
            return true;
        case IDC_WZ_FINISH:
            Finish();
            return true;
        default:
            return false;
    }
}

bool CWizard::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT_SETUP) {
                ShowAbout();
                *result = TRUE;
                return true;
            }
            return false;
        case WM_SHOWWINDOW:
            // After the showing, which activates the window and gives the focus to its first control.
            if (wParam) {
                PostMessageA(Handle(), kFocusPage, 0, 0);
            }
            return false;
        case kFocusPage:
            FocusPage();
            *result = TRUE;
            return true;
        case WM_SETUP_EXPAND: {
            const std::string expanded = engine_.ExpandVariables(reinterpret_cast<const char*>(wParam));
            std::memcpy(reinterpret_cast<char*>(lParam), expanded.c_str(), expanded.size() + 1);
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, 1);
            *result = TRUE;
            return true;
        }
        case WM_SETUP_SETVALUE: {
            const bool known = SetRunValue(engine_, reinterpret_cast<const char*>(wParam),
                                           reinterpret_cast<const char*>(lParam));
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, known ? 1 : 0);
            *result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

namespace {

class AboutBox : public win::Dialog {};

}  // namespace

void CWizard::ShowAbout() {
    AboutBox about;
    about.DoModal(Handle(), IDD_WZ_ABOUT);
}

INT_PTR RunWizard(SetupEngine& engine, WizardServices services) {
    win::RichEdit::LoadRichEditLibrary();
    CSplash splash(engine.tstempFolder + "\\Splash.bmp");
    if (engine.mode == SM_NEW && engine.project.ui.showSplash) {
        splash.Open();
    }
    CWizard wizard(engine, std::move(services));
    const INT_PTR result = wizard.Run(nullptr);
    splash.Close();
    return result;
}
