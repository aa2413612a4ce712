#pragma once

#include <windows.h>

#include "author/DocTypeRules.h"
#include "model/Project.h"
#include "win/Dialog.h"

// "Add New Verb" or "Verb Properties": name, description, the target (a file of the project) and the
// arguments of one verb of a document type. OK checks the fields and keeps the dialog open on a failed
// check; the caller writes the accepted fields into the project.
class CVerbDialog : public win::Dialog {
public:
    // editing: the verb being changed, or nullptr for a new one of docType.
    CVerbDialog(const CProject& project, const CDocType& docType, const CVerb* editing,
                const doctype_rules::VerbFields& fields)
        : project_(project), docType_(docType), editing_(editing), fields_(fields) {}

    // True when the user accepted the fields, which Fields() then holds as checked.
    bool Ask(HWND owner);
    const doctype_rules::VerbFields& Fields() const { return fields_; }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    void ShowTarget();

    const CProject& project_;
    const CDocType& docType_;
    const CVerb* editing_;
    doctype_rules::VerbFields fields_;
};
