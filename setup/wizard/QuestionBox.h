#pragma once

#include <windows.h>

#include <string>

#include "setup/wizard/DialogRules.h"
#include "win/Dialog.h"

// The setup program's own message box with up to four buttons (Yes, No, Yes to all, No to all for the
// shared-file question).
class CQuestionBox : public win::Dialog {
public:
    // Shows the message with the buttons the style chooses; returns the pressed button's result.
    static int Ask(HWND owner, const std::string& message, unsigned style);

private:
    CQuestionBox(const std::string& message, unsigned style);

    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override {}
    void OnCancel() override;

    std::string message_;
    dialog_rules::QuestionLayout layout_;
};
