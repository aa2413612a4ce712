#pragma once

#include <string>

#include "author/Page.h"
#include "win/ListView.h"

// "User Interface": how the setup program presents itself, edited by category: "General" (splash, the
// user-interface type, the global banner) and one category per wizard page (whether it is shown, its
// banner, and the page's own settings). Every control writes the project's user-interface settings as
// the user acts; showing the page or a category changes nothing.
class CUserInterfacePage : public CPage {
public:
    explicit CUserInterfacePage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    // Shows exactly the controls of the category, with the values of its wizard page.
    void ShowCategory(int category);
    void ShowUIType();
    // The run and readme files, read from the project each time: another page may delete them.
    void ShowFinishFiles();
    void SetField(int id, const std::string& text);
    void SetCheck(int id, bool checked);

    // The setting that a control edits, in the project (for the banner: of the current category's page);
    // nullptr for another control. Never kept: the project may change under the page.
    std::string* PathOf(int editId);
    bool* FlagOf(int checkId);

    void PathTyped(int editId);
    void ChoosePath(int editId);
    void ChooseProjectFile(CFileItem* CUISettings::*file);
    void UITypeClicked(bool silent);
    void ChoiceMade(int comboId);
    // Every edit of the page ends here: the pages the wizard always shows stay shown, and the document
    // hears of the change.
    void Edited();

    win::ListView categories_;
    int category_ = 0;
    bool loading_ = false;
};
