#pragma once

#include <windows.h>

#include "author/ActionRules.h"
#include "model/Project.h"
#include "win/Dialog.h"

// "Add New Custom Action" or "Custom Action Properties": edits a copy of one custom action. OK checks the
// controls in the rules' order and keeps the dialog open with a message while one fails; the caller
// takes the accepted copy. The project is only read (to choose the target among its files).
class CCustomActionDialog : public win::Dialog {
public:
    CCustomActionDialog(const CProject& project, const CCustomAction& action, bool adding)
        : project_(project), action_(action), target_(action.target), adding_(adding) {}

    // True when OK accepted the controls; Result() then holds the action as edited.
    bool Edit(HWND owner);
    const CCustomAction& Result() const { return action_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    void ChooseTarget();
    // Enables the controls that suit the target and the wait boxes (a library's wait box is cleared).
    void UpdateEnabling();
    bool Checked(int id) const;
    void SetCheck(int id, bool checked) const;
    action_rules::DialogInput Input() const;

    const CProject& project_;
    CCustomAction action_;
    CFileItem* target_;
    bool adding_;
};
