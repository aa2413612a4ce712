#include "setup/wizard/ProgressLines.h"

#include <commctrl.h>

#include "setup/wizard/WizardRules.h"
#include "win/Window.h"

void ProgressLines::Pump() const {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(dialogOwner_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void ProgressLines::SetActionText(const char* format, const char* text, int32_t number) {
    win::Window(window_).Item(line1_).SetText(wizard_rules::ActionLine(format, text, number));
    Pump();
}

void ProgressLines::SetDetailText(const char* format, int32_t number, const char* text) {
    win::Window(window_).Item(line2_).SetText(wizard_rules::DetailLine(format, number, text));
    Pump();
}

void ProgressLines::SetPosition(int32_t position) {
    win::Window(window_).Item(bar_).Send(PBM_SETPOS, static_cast<WPARAM>(position));
    Pump();
}

void ProgressLines::Step(int32_t delta) {
    win::Window(window_).Item(bar_).Send(PBM_DELTAPOS, static_cast<WPARAM>(delta));
    Pump();
}

void ProgressLines::SetRange(int32_t max) {
    const win::Window bar = win::Window(window_).Item(bar_);
    if (max == -1) {
        bar.Show(false);
    } else {
        bar.Send(PBM_SETRANGE32, 0, max);
        bar.Show(true);
    }
    Pump();
}
