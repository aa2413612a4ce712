#include "author/dialogs/CustomActionDialog.h"

#include "author/SelectFileDialog.h"
#include "author/dialogs/CustomActionDialogRes.h"
#include "platform/File.h"
#include "win/ComboBox.h"

namespace {

// The control that a failed check of OK sends the user back to.
int ControlOf(action_rules::Field field) {
    switch (field) {
        case action_rules::Field::kRunDuring:
            return IDC_CAD_INSTALLATION;
        case action_rules::Field::kTarget:
            return IDC_CAD_TARGET_BROWSE;
        case action_rules::Field::kFunction:
            return IDC_CAD_FUNCTION;
        case action_rules::Field::kTimeout:
            return IDC_CAD_TIMEOUT;
        case action_rules::Field::kNone:
            break;
    }
    return IDOK;
}

}  // namespace

bool CCustomActionDialog::Edit(HWND owner) {
    return DoModal(owner, IDD_CUSTOM_ACTION) == IDOK;
}

BOOL CCustomActionDialog::OnInit() {
    SetText(adding_ ? "Add New Custom Action" : "Custom Action Properties");
    Item(IDC_CAD_NAME).SetText(action_.name);
    Item(IDC_CAD_DESCRIPTION).SetText(action_.description);
    Item(IDC_CAD_TARGET).SetText(target_ != nullptr ? target_->TargetPath() : std::string());
    Item(IDC_CAD_ARGUMENTS).SetText(action_.arguments);
    Item(IDC_CAD_FUNCTION).SetText(action_.function);
    win::ComboBox invoke(Item(IDC_CAD_INVOKE).Handle());
    invoke.Fill(action_rules::InvokeChoices());
    invoke.Select(action_rules::InvokeChoice(action_.invokeAfter));
    const action_rules::RunDuringBoxes boxes = action_rules::BoxesOf(action_.runDuring);
    SetCheck(IDC_CAD_INSTALLATION, boxes.installation);
    SetCheck(IDC_CAD_UNINSTALLATION, boxes.uninstallation);
    SetCheck(IDC_CAD_MODIFICATION, boxes.modification);
    SetCheck(IDC_CAD_REPAIR, boxes.repair);
    const action_rules::WaitControls wait = action_rules::WaitControlsOf(action_.waitTime);
    SetCheck(IDC_CAD_WAIT, wait.wait);
    SetCheck(IDC_CAD_INFINITE, wait.infinite);
    Item(IDC_CAD_TIMEOUT).SetText(wait.timeout);
    SetCheck(IDC_CAD_IGNORE_RETURN, action_.ignoreReturnValue);
    SetCheck(IDC_CAD_RUN_ONCE, action_.runOnce);
    UpdateEnabling();
    return TRUE;
}

bool CCustomActionDialog::Checked(int id) const {
    return IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
}

void CCustomActionDialog::SetCheck(int id, bool checked) const {
    CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CCustomActionDialog::UpdateEnabling() {
    const action_rules::Enabling enabling =
        action_rules::EnablingOf(target_, Checked(IDC_CAD_WAIT), Checked(IDC_CAD_INFINITE));
    if (enabling.waitCleared) {
        SetCheck(IDC_CAD_WAIT, false);
    }
    Item(IDC_CAD_ARGUMENTS_LABEL).Enable(enabling.arguments);
    Item(IDC_CAD_ARGUMENTS).Enable(enabling.arguments);
    Item(IDC_CAD_FUNCTION_LABEL).Enable(enabling.function);
    Item(IDC_CAD_FUNCTION).Enable(enabling.function);
    Item(IDC_CAD_WAIT).Enable(enabling.wait);
    Item(IDC_CAD_TIMEOUT_LABEL).Enable(enabling.timeout);
    Item(IDC_CAD_TIMEOUT).Enable(enabling.timeout);
    Item(IDC_CAD_MSEC).Enable(enabling.timeout);
    Item(IDC_CAD_INFINITE).Enable(enabling.infinite);
}

void CCustomActionDialog::ChooseTarget() {
    CSelectFileDialog chooser(project_, target_);
    if (chooser.Choose(Handle()) == CSelectFileDialog::kCancelled) {
        return;
    }
    CFileItem* chosen = chooser.Chosen();
    // The program or library must be there to go onto the media: a file that cannot be read is no choice.
    platform::File file;
    if (chosen != nullptr && !file.Open(chosen->sourcePath, platform::File::Mode::Read)) {
        MessageBoxA(Handle(), ("Cannot open the file \"" + chosen->sourcePath + "\"!").c_str(), "Tessaro",
                    MB_OK | MB_ICONERROR);
        return;
    }
    target_ = chosen;
    Item(IDC_CAD_TARGET).SetText(target_ != nullptr ? target_->TargetPath() : std::string());
    UpdateEnabling();
}

action_rules::DialogInput CCustomActionDialog::Input() const {
    action_rules::DialogInput input;
    input.name = Item(IDC_CAD_NAME).Text();
    input.description = Item(IDC_CAD_DESCRIPTION).Text();
    input.target = target_;
    input.arguments = Item(IDC_CAD_ARGUMENTS).Text();
    input.function = Item(IDC_CAD_FUNCTION).Text();
    input.invokeChoice = win::ComboBox(Item(IDC_CAD_INVOKE).Handle()).Selected();
    input.runDuring = {Checked(IDC_CAD_INSTALLATION), Checked(IDC_CAD_UNINSTALLATION),
                       Checked(IDC_CAD_MODIFICATION), Checked(IDC_CAD_REPAIR)};
    input.wait = Checked(IDC_CAD_WAIT);
    input.infinite = Checked(IDC_CAD_INFINITE);
    input.timeout = Item(IDC_CAD_TIMEOUT).Text();
    input.ignoreReturnValue = Checked(IDC_CAD_IGNORE_RETURN);
    input.runOnce = Checked(IDC_CAD_RUN_ONCE);
    return input;
}

void CCustomActionDialog::OnOK() {
    const action_rules::CheckResult result = action_rules::Accept(Input(), &action_);
    if (result.message == nullptr) {
        End(IDOK);
        return;
    }
    MessageBoxA(Handle(), result.message, "Tessaro", MB_OK | MB_ICONERROR);
    const int control = ControlOf(result.field);
    Item(control).Focus();
    if (control == IDC_CAD_TIMEOUT) {
        Item(control).Send(EM_SETSEL, 0, -1);
    }
}

bool CCustomActionDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
        case IDC_CAD_TARGET_BROWSE:
            if (code == BN_CLICKED) {
                ChooseTarget();
            }
            return true;
        case IDC_CAD_WAIT:
        case IDC_CAD_INFINITE:
            if (code == BN_CLICKED) {
                UpdateEnabling();
            }
            return true;
        default:
            return false;
    }
}
