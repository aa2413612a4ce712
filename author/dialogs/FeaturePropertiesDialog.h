#pragma once

#include <windows.h>

#include <string>

#include "win/Dialog.h"

class CFeature;

// "Feature Properties": the name, description and flags of one feature, with its parent's name shown
// read-only. OK refuses an empty name and a name that another sub-feature of the same parent has, and
// keeps the dialog open; the caller writes the accepted fields into the project.
class CFeaturePropertiesDialog : public win::Dialog {
public:
    struct Fields {
        std::string name;
        std::string description;
        bool required = false;
        bool visible = true;
        bool selected = true;
        bool expanded = false;
    };
    static Fields FieldsOf(const CFeature& feature);
    static void Apply(const Fields& fields, CFeature& feature);

    explicit CFeaturePropertiesDialog(const CFeature& feature)
        : feature_(feature), fields_(FieldsOf(feature)) {}

    bool Ask(HWND owner);
    const Fields& Result() const { return fields_; }

private:
    BOOL OnInit() override;
    void OnOK() override;

    const CFeature& feature_;
    Fields fields_;
};
