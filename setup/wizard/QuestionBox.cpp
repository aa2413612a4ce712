#include "setup/wizard/QuestionBox.h"

#include "setup/wizard/SharedDialogsRes.h"

namespace {
constexpr int kButtonIds[4] = {IDC_QB_BUTTON1, IDC_QB_BUTTON2, IDC_QB_BUTTON3, IDC_QB_BUTTON4};
}

CQuestionBox::CQuestionBox(const std::string& message, unsigned style)
    : message_(message), layout_(dialog_rules::QuestionBoxLayout(style)) {}

int CQuestionBox::Ask(HWND owner, const std::string& message, unsigned style) {
    CQuestionBox box(message, style);
    return static_cast<int>(box.DoModal(owner, IDD_QUESTION_BOX));
}

BOOL CQuestionBox::OnInit() {
    Item(IDC_QB_MESSAGE).SetText(message_);
    for (size_t i = 0; i < layout_.buttons.size(); ++i) {
        const auto& button = layout_.buttons[i];
        win::Window control = Item(kButtonIds[i]);
        control.SetText(button.text);
        control.Show(button.visible);
        control.Enable(button.visible);
    }
    if (layout_.escapeResult == 0) {
        // No button answers Escape: the close box would be a way round the question.
        EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    win::Window defaultButton = Item(kButtonIds[layout_.defaultPosition]);
    Send(DM_SETDEFID, static_cast<WPARAM>(kButtonIds[layout_.defaultPosition]));
    defaultButton.Send(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    defaultButton.Focus();
    return FALSE;  // the focus is set
}

bool CQuestionBox::OnCommand(int id, int code, HWND control) {
    for (size_t i = 0; i < layout_.buttons.size(); ++i) {
        if (id == kButtonIds[i] && layout_.buttons[i].visible) {
            End(layout_.buttons[i].result);
            return true;
        }
    }
    return false;
}

void CQuestionBox::OnCancel() {
    if (layout_.escapeResult != 0) {
        End(layout_.escapeResult);
    }
}
