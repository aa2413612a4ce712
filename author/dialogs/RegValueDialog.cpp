#include "author/dialogs/RegValueDialog.h"

#include "author/RegistryRules.h"
#include "author/resource.h"
#include "platform/Registry.h"

namespace {

// Characters of a double word's field: 8 hexadecimal digits, or a sign and 10 decimal digits.
constexpr int kHexDigits = 8;
constexpr int kDecimalChars = 11;

}  // namespace

bool CRegValueDialog::Ask(HWND owner) {
    return DoModal(owner, IDD_REG_VALUE) == IDOK;
}

bool CRegValueDialog::IsDword() const {
    return fields_.type == platform::kRegDword;
}

BOOL CRegValueDialog::OnInit() {
    SetText(registry_rules::ValueDialogTitle(fields_.type));
    Item(IDC_RV_NAME).SetText(registry_rules::ShownValueName(fields_.name));
    CheckDlgButton(Handle(), IDC_RV_PERMANENT, fields_.permanent ? BST_CHECKED : BST_UNCHECKED);
    const win::Window data = Item(IDC_RV_DATA);
    for (int id : {IDC_RV_BASE, IDC_RV_HEX, IDC_RV_DECIMAL}) {
        Item(id).Show(IsDword());
    }
    if (IsDword()) {
        // The field leaves room for the "Base:" group on its right.
        RECT group = Item(IDC_RV_BASE).RectInParent();
        RECT field = data.RectInParent();
        RECT gap = {0, 0, 6, 0};
        MapDialogRect(Handle(), &gap);
        data.Move(field.left, field.top, group.left - gap.right - field.left, field.bottom - field.top);
        CheckRadioButton(Handle(), IDC_RV_HEX, IDC_RV_DECIMAL, IDC_RV_HEX);
        hexadecimal_ = true;
        data.SetText(registry_rules::DwordFieldText(fields_.text));
        data.Send(EM_LIMITTEXT, kHexDigits);
    } else {
        data.SetText(fields_.text);
    }
    data.Focus();
    data.Send(EM_SETSEL, 0, -1);
    return FALSE;  // the focus is set
}

void CRegValueDialog::SetBase(bool hexadecimal) {
    if (hexadecimal == hexadecimal_) {
        return;
    }
    const win::Window data = Item(IDC_RV_DATA);
    const std::string field = data.Text();
    // Widen the limit before the longer text goes in.
    data.Send(EM_LIMITTEXT, kDecimalChars);
    data.SetText(hexadecimal ? registry_rules::DecimalToHexField(field)
                             : registry_rules::HexToDecimalField(field));
    data.Send(EM_LIMITTEXT, hexadecimal ? kHexDigits : kDecimalChars);
    hexadecimal_ = hexadecimal;
}

bool CRegValueDialog::OnCommand(int id, int code, HWND) {
    if ((id == IDC_RV_HEX || id == IDC_RV_DECIMAL) && code == BN_CLICKED && IsDword()) {
        // The button clicked decides, whatever state a radio button was left in.
        CheckRadioButton(Handle(), IDC_RV_HEX, IDC_RV_DECIMAL, id);
        SetBase(id == IDC_RV_HEX);
        return true;
    }
    return false;
}

void CRegValueDialog::OnOK() {
    const std::string field = Item(IDC_RV_DATA).Text();
    fields_.text = IsDword() ? registry_rules::StoredDwordText(field, hexadecimal_) : field;
    fields_.permanent = IsDlgButtonChecked(Handle(), IDC_RV_PERMANENT) == BST_CHECKED;
    End(IDOK);
}
