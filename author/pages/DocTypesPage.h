#pragma once

#include "author/DocTypeRules.h"
#include "author/Page.h"
#include "win/ListView.h"

// "Doc Types": the document types that the setup program registers, and the verbs of the selected one.
// Each list has its menu (right click or the menu key) and its keys (Insert, Delete, F2, while it has the
// focus); a double click changes a row. The rows stand in the order of the project's lists, so a row's
// number is its object's position: the page keeps no model pointer across an edit.
class CDocTypesPage : public CPage {
public:
    explicit CDocTypesPage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;

private:
    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    // Fills the lists from the project, keeping the selected rows where they still exist.
    void ShowDocTypes();
    void ShowVerbs();
    void SelectRow(const win::ListView& list, int row);
    CDocType* SelectedDocType() const;
    CVerb* SelectedVerb() const;
    doctype_rules::Selection CurrentSelection() const;

    void ShowMenu(doctype_rules::List list, POINT screen);
    void Run(doctype_rules::Command command);
    void AddDocType();
    void ChangeDocType();
    void DeleteDocType();
    void AddVerb();
    void ChangeVerb();
    void DeleteVerb();
    void Refuse(const char* message);

    win::ListView types_;
    win::ListView verbs_;
    bool filling_ = false;
};
