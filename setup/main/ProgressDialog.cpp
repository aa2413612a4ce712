#include "setup/main/ProgressDialog.h"

#include <commctrl.h>

#include "setup/main/SetupRes.h"
#include "setup/wizard/WizardRules.h"

BOOL CProgressDialog::OnInit() {
    SetText(caption_);
    return TRUE;
}

// The sequence runs on this thread: let the window paint between steps.
void CProgressDialog::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void CProgressDialog::SetActionText(const char* format, const char* text, int32_t number) {
    Item(IDC_PROGRESS_LINE1).SetText(wizard_rules::ActionLine(format, text, number));
    Pump();
}

void CProgressDialog::SetDetailText(const char* format, int32_t number, const char* text) {
    Item(IDC_PROGRESS_LINE2).SetText(wizard_rules::DetailLine(format, number, text));
    Pump();
}

void CProgressDialog::SetPosition(int32_t position) {
    Item(IDC_PROGRESS_BAR).Send(PBM_SETPOS, static_cast<WPARAM>(position));
    Pump();
}

void CProgressDialog::Step(int32_t delta) {
    Item(IDC_PROGRESS_BAR).Send(PBM_DELTAPOS, static_cast<WPARAM>(delta));
    Pump();
}

void CProgressDialog::SetRange(int32_t max) {
    win::Window bar = Item(IDC_PROGRESS_BAR);
    if (max == -1) {
        bar.Show(false);
    } else {
        bar.Send(PBM_SETRANGE32, 0, max);
        bar.Show(true);
    }
    Pump();
}
