#pragma once

#include "author/Page.h"
#include "win/ListView.h"

// "Custom Actions": the project's custom actions in the order the setup program runs those of one point,
// with a context menu (and the keys Insert, Delete, F2) to add, delete and change them and to move one
// up or down that order. A row is its action's place in the list; the page keeps no pointer to an action.
class CActionsPage : public CPage {
public:
    explicit CActionsPage(CDocument& document);

    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;

private:
    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    // Shows every action, with the row selected (when there is such a row).
    void Fill(int selected);
    void ContextMenu(POINT screen);
    // Runs a command of the menu, when the menu's state allows it.
    void Run(int command);
    void Add();
    void Delete(int row);
    void Change(int row);
    void Move(int row, int by);

    win::ListView list_;
};
