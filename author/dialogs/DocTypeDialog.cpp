#include "author/dialogs/DocTypeDialog.h"

#include <commctrl.h>

#include "author/SelectFileDialog.h"
#include "author/resource.h"

namespace {
constexpr int kMaxIconIndex = 9999;
}

bool CDocTypeDialog::Ask(HWND owner) {
    return DoModal(owner, IDD_DOCTYPE) == IDOK;
}

BOOL CDocTypeDialog::OnInit() {
    SetText(editing_ != nullptr ? "Document Type Properties" : "Add New Document Type");
    loading_ = true;
    Item(IDC_DTD_NAME).SetText(fields_.name);
    Item(IDC_DTD_DESCRIPTION).SetText(fields_.description);
    Item(IDC_DTD_EXTENSION).SetText(fields_.extension);
    preview_.Attach(Item(IDC_DTD_ICON_PREVIEW), Item(IDC_DTD_ICON_SPIN), kMaxIconIndex);
    preview_.SetIndex(fields_.iconIndex);
    // The spin control leaves its field as it is when its position does not change.
    Item(IDC_DTD_ICON_INDEX).SetText(std::to_string(fields_.iconIndex));
    loading_ = false;
    ShowIcon();
    return TRUE;
}

void CDocTypeDialog::ShowIcon() {
    Item(IDC_DTD_ICON_FILE)
        .SetText(fields_.iconFile != nullptr ? fields_.iconFile->TargetPath() : std::string());
    // A file that holds no icon, or fewer than the index asks for, shows no picture and says nothing.
    preview_.Show(fields_.iconFile != nullptr ? fields_.iconFile->sourcePath : std::string(), IconIndex());
}

int CDocTypeDialog::IconIndex() const {
    // The field, which the user may type into, rather than the spin control's position.
    BOOL read = FALSE;
    const UINT index = GetDlgItemInt(Handle(), IDC_DTD_ICON_INDEX, &read, FALSE);
    return read ? static_cast<int>(index) : 0;
}

void CDocTypeDialog::ChooseIconFile() {
    CSelectFileDialog chooser(project_, fields_.iconFile);
    if (chooser.Choose(Handle()) != CSelectFileDialog::kCancelled) {
        fields_.iconFile = chooser.Chosen();
        ShowIcon();
    }
}

bool CDocTypeDialog::OnCommand(int id, int code, HWND) {
    if (id == IDC_DTD_ICON_BROWSE && code == BN_CLICKED) {
        ChooseIconFile();
        return true;
    }
    if (id == IDC_DTD_ICON_INDEX && code == EN_CHANGE) {
        if (!loading_) {
            ShowIcon();
        }
        return true;
    }
    return false;
}

void CDocTypeDialog::OnOK() {
    doctype_rules::DocTypeFields fields = fields_;
    fields.name = Item(IDC_DTD_NAME).Text();
    fields.description = Item(IDC_DTD_DESCRIPTION).Text();
    fields.extension = Item(IDC_DTD_EXTENSION).Text();
    fields.iconIndex = IconIndex();
    const doctype_rules::Problem problem = doctype_rules::CheckDocType(&fields, project_, editing_);
    if (problem) {
        MessageBoxA(Handle(), problem.message.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
        const int focus = problem.field == doctype_rules::Field::kExtension  ? IDC_DTD_EXTENSION
                          : problem.field == doctype_rules::Field::kIconFile ? IDC_DTD_ICON_BROWSE
                                                                             : IDC_DTD_NAME;
        Item(focus).Focus();
        return;
    }
    fields_ = fields;
    End(IDOK);
}
