// The pages of the run itself: Confirmation, Working (the install sequence) and Finish.
#include <windows.h>

#include <shellapi.h>

#include "model/FileItem.h"
#include "setup/install/Sequence.h"
#include "setup/wizard/ProgressLines.h"
#include "setup/wizard/WizardPages.h"

using namespace wizard_rules;

namespace {

bool IsChecked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

// ---- Confirmation ----

void CConfirmationPage::Activate() {
    const Confirmation confirmation = ConfirmationFor(Engine());
    win::RichEdit text(Item(IDC_CONFIRM_TEXT).Handle());
    text.SetAllFormat(normal_);
    ShowRichText(IDC_CONFIRM_TEXT, confirmation.text);
    text.ScrollToTop();
    Wizard().SetButtons(confirmation.buttons);
    CWizardPage::Activate();
}

int CConfirmationPage::BackIndex() {
    if (Engine().mode == SM_CHANGE) {
        return kFeatures;
    }
    return setupType_.TypicalChosen() ? kSetupType : kFeatures;
}

// ---- Working ----

void CProgressPage::Activate() {
    Wizard().SetButtons(0);
    CWizardPage::Activate();
    UpdateWindow(Wizard().Handle());
    if (ran_) {
        return;  // the sequence runs once per run
    }
    ran_ = true;
    Wizard().SetBusy(true);
    ProgressLines lines(Handle(), Wizard().Handle(), IDC_PROG_LINE1, IDC_PROG_LINE2, IDC_PROG_BAR);
    RunSequence(Engine(), &lines, Wizard().Handle());
    Wizard().SetBusy(false);
    Wizard().Next();
}

// ---- Finish ----

void CFinishPage::Activate() {
    Wizard().SetButtons(kFinishButton);
    const SetupEngine& engine = Engine();
    const CFileItem* run = engine.project.ui.runApplication;
    content_ = FinishContentFor(engine, run != nullptr ? run->title : std::string());
    Item(IDC_FINISH_ICON)
        .Send(STM_SETICON,
              reinterpret_cast<WPARAM>(LoadIcon(nullptr, content_.success ? IDI_INFORMATION : IDI_ERROR)));
    for (int id : {IDC_FINISH_TEXT, IDC_FINISH_CLOSING}) {
        win::RichEdit(Item(id).Handle()).SetBackground(GetSysColor(COLOR_BTNFACE));
    }
    ShowRichText(IDC_FINISH_TEXT, content_.main);
    ShowRichText(IDC_FINISH_CLOSING, FinishClosingText());
    ShowBox(IDC_FINISH_BOX1, content_.first);
    ShowBox(IDC_FINISH_BOX2, content_.second);
    CWizardPage::Activate();
}

void CFinishPage::ShowBox(int id, const FinishBoxState& box) {
    win::Window control = Item(id);
    control.Show(box.kind != FinishBox::None);
    control.SetText(box.text);
    control.Send(BM_SETCHECK, box.checked ? BST_CHECKED : BST_UNCHECKED);
}

void CFinishPage::ApplyChoices() {
    SetupEngine& engine = Engine();
    const FinishAction action =
        ChosenFinishAction(engine.mode, content_, IsChecked(Item(IDC_FINISH_BOX1).Handle()),
                           IsChecked(Item(IDC_FINISH_BOX2).Handle()));
    const CUISettings& ui = engine.project.ui;
    switch (action) {
        case FinishAction::Restart:
            Restart();
            break;
        case FinishAction::OpenReadme:
            if (ui.readmeFile != nullptr) {
                ShellExecuteA(nullptr, "Open", engine.ResolvedFilePath(*ui.readmeFile).c_str(), nullptr,
                              nullptr, SW_SHOWMAXIMIZED);
            }
            break;
        case FinishAction::RunApplication:
            if (ui.runApplication != nullptr) {
                Wizard().Services().runProgram(engine.ResolvedFilePath(*ui.runApplication));
            }
            break;
        case FinishAction::None:
            break;
    }
}

void CFinishPage::Restart() {
    bool failed = false;
    if ((Engine().osCode & kOsNTFamily) != 0) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
            failed = true;
        } else {
            TOKEN_PRIVILEGES privileges{};
            LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
            failed = GetLastError() != ERROR_SUCCESS;
            CloseHandle(token);
        }
    }
    if (failed || !ExitWindowsEx(EWX_REBOOT, 0)) {
        MessageBoxA(Wizard().Handle(), "Cannot restart system!\nPlease restart your computer later.", "Error",
                    MB_OK | MB_ICONERROR);
    }
}
