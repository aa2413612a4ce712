#include "author/dialogs/FeaturePropertiesDialog.h"

#include "author/FeatureRules.h"
#include "author/resource.h"
#include "model/Feature.h"

CFeaturePropertiesDialog::Fields CFeaturePropertiesDialog::FieldsOf(const CFeature& feature) {
    Fields fields;
    fields.name = feature.name;
    fields.description = feature.description;
    fields.required = feature.required;
    fields.visible = feature.visible;
    fields.selected = feature.selected;
    fields.expanded = feature.expanded;
    return fields;
}

void CFeaturePropertiesDialog::Apply(const Fields& fields, CFeature& feature) {
    feature.name = fields.name;
    feature.description = fields.description;
    feature.required = fields.required;
    feature.visible = fields.visible;
    feature.selected = fields.selected;
    feature.expanded = fields.expanded;
}

bool CFeaturePropertiesDialog::Ask(HWND owner) {
    return DoModal(owner, IDD_FEATURE_PROPERTIES) == IDOK;
}

BOOL CFeaturePropertiesDialog::OnInit() {
    Item(IDC_FEATP_NAME).SetText(fields_.name);
    Item(IDC_FEATP_DESCRIPTION).SetText(fields_.description);
    Item(IDC_FEATP_PARENT).SetText(feature_.parent != nullptr ? feature_.parent->name : std::string());
    CheckDlgButton(Handle(), IDC_FEATP_REQUIRED, fields_.required ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_FEATP_VISIBLE, fields_.visible ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_FEATP_SELECTED, fields_.selected ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_FEATP_EXPANDED, fields_.expanded ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CFeaturePropertiesDialog::OnOK() {
    Fields fields;
    fields.name = Item(IDC_FEATP_NAME).Text();
    fields.description = Item(IDC_FEATP_DESCRIPTION).Text();
    fields.required = IsDlgButtonChecked(Handle(), IDC_FEATP_REQUIRED) == BST_CHECKED;
    fields.visible = IsDlgButtonChecked(Handle(), IDC_FEATP_VISIBLE) == BST_CHECKED;
    fields.selected = IsDlgButtonChecked(Handle(), IDC_FEATP_SELECTED) == BST_CHECKED;
    fields.expanded = IsDlgButtonChecked(Handle(), IDC_FEATP_EXPANDED) == BST_CHECKED;
    std::string refusal;
    if (fields.name.empty()) {
        refusal = "Please enter a name for this feature.";
    } else if (feature_.parent != nullptr) {
        refusal = feature_rules::NameRefusal(*feature_.parent, fields.name, &feature_);
    }
    if (!refusal.empty()) {
        MessageBoxA(Handle(), refusal.c_str(), "Tessaro", MB_OK | MB_ICONERROR);
        Item(IDC_FEATP_NAME).Focus();
        return;
    }
    fields_ = fields;
    End(IDOK);
}
