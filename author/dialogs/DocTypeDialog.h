#pragma once

#include <windows.h>

#include "author/DocTypeRules.h"
#include "model/Project.h"
#include "win/Dialog.h"
#include "win/IconPreview.h"

// "Add New Document Type" or "Document Type Properties": name, description, extension and the icon (a file
// of the project and an index, with a preview). OK checks the fields and keeps the dialog open on a
// failed check; the caller writes the accepted fields into the project.
class CDocTypeDialog : public win::Dialog {
public:
    // editing: the document type being changed (its extension is its own), or nullptr for a new one.
    CDocTypeDialog(const CProject& project, const CDocType* editing,
                   const doctype_rules::DocTypeFields& fields)
        : project_(project), editing_(editing), fields_(fields) {}

    // True when the user accepted the fields, which Fields() then holds as checked.
    bool Ask(HWND owner);
    const doctype_rules::DocTypeFields& Fields() const { return fields_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    void ChooseIconFile();
    void ShowIcon();
    int IconIndex() const;

    const CProject& project_;
    const CDocType* editing_;
    doctype_rules::DocTypeFields fields_;
    win::IconPreview preview_;
    bool loading_ = false;
};
