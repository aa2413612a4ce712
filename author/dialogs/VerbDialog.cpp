#include "author/dialogs/VerbDialog.h"

#include "author/SelectFileDialog.h"
#include "author/resource.h"

bool CVerbDialog::Ask(HWND owner) {
    return DoModal(owner, IDD_VERB) == IDOK;
}

BOOL CVerbDialog::OnInit() {
    SetText(editing_ != nullptr ? "Verb Properties" : "Add New Verb");
    Item(IDC_VD_NAME).SetText(fields_.name);
    Item(IDC_VD_DESCRIPTION).SetText(fields_.description);
    Item(IDC_VD_ARGUMENTS).SetText(fields_.arguments);
    ShowTarget();
    return TRUE;
}

void CVerbDialog::ShowTarget() {
    Item(IDC_VD_TARGET).SetText(fields_.target != nullptr ? fields_.target->TargetPath() : std::string());
}

bool CVerbDialog::OnCommand(int id, int code, HWND) {
    if (id != IDC_VD_TARGET_BROWSE || code != BN_CLICKED) {
        return false;
    }
    CSelectFileDialog chooser(project_, fields_.target);
    if (chooser.Choose(Handle()) != CSelectFileDialog::kCancelled) {
        fields_.target = chooser.Chosen();
        ShowTarget();
    }
    return true;
}

void CVerbDialog::OnOK() {
    doctype_rules::VerbFields fields = fields_;
    fields.name = Item(IDC_VD_NAME).Text();
    fields.description = Item(IDC_VD_DESCRIPTION).Text();
    fields.arguments = Item(IDC_VD_ARGUMENTS).Text();
    const doctype_rules::Problem problem = doctype_rules::CheckVerb(&fields, docType_, editing_);
    if (problem) {
        MessageBoxA(Handle(), problem.message.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
        Item(problem.field == doctype_rules::Field::kTarget ? IDC_VD_TARGET_BROWSE : IDC_VD_NAME).Focus();
        return;
    }
    fields_ = fields;
    End(IDOK);
}
