#include "author/pages/ActionsPage.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "author/ActionRules.h"
#include "author/dialogs/ConfirmDelete.h"
#include "author/dialogs/CustomActionDialog.h"
#include "author/resource.h"
#include "win/Menu.h"

CActionsPage::CActionsPage(CDocument& document) : CPage(document, IDD_PAGE_ACTIONS, "Custom Actions") {}

BOOL CActionsPage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_CA_LIST, editor_rules::kGrowWidth | editor_rules::kGrowHeight}});
    list_ = win::ListView(Item(IDC_CA_LIST).Handle());
    ListView_SetExtendedListViewStyle(list_.Handle(), LVS_EX_FULLROWSELECT);
    for (int column = 0; column < action_rules::kColumnCount; ++column) {
        list_.AddColumn(action_rules::ColumnTitle(column), action_rules::kColumnWidth);
    }
    return FALSE;
}

void CActionsPage::Reload(int) {
    Fill(0);
}

void CActionsPage::OnUpdate(UpdateHint hint, const void*) {
    // A target deleted or renamed on another page shows at once.
    if (hint != UpdateHint::kSettingsChanged) {
        Fill(list_.Selected());
    }
}

void CActionsPage::Fill(int selected) {
    list_.Clear();
    for (const CCustomAction* action : document_.project.actions) {
        const std::vector<std::string> cells = action_rules::RowOf(*action);
        const int row = list_.Append(cells[0]);
        for (int column = 1; column < action_rules::kColumnCount; ++column) {
            ListView_SetItemText(list_.Handle(), row, column, const_cast<char*>(cells[column].c_str()));
        }
    }
    if (selected >= 0 && selected < list_.Count()) {
        list_.Reveal(selected);
    }
}

void CActionsPage::ContextMenu(POINT screen) {
    const action_rules::MenuState state = action_rules::MenuStateOf(
        document_.project.actions.size(), document_.project.actions.Capacity(), list_.Selected());
    win::Menu menu(IDR_ACTIONS_MENU);
    menu.Enable(ID_CA_ADD, state.add);
    menu.Enable(ID_CA_DELETE, state.remove);
    menu.Enable(ID_CA_CHANGE, state.change);
    menu.Enable(ID_CA_MOVE_UP, state.moveUp);
    menu.Enable(ID_CA_MOVE_DOWN, state.moveDown);
    if (state.change) {
        menu.SetDefault(ID_CA_CHANGE);
    }
    Run(menu.Track(Handle(), screen));
}

void CActionsPage::Run(int command) {
    const int row = list_.Selected();
    const action_rules::MenuState state = action_rules::MenuStateOf(
        document_.project.actions.size(), document_.project.actions.Capacity(), row);
    switch (command) {
        case ID_CA_ADD:
            if (state.add) {
                Add();
            }
            break;
        case ID_CA_DELETE:
            if (state.remove) {
                Delete(row);
            }
            break;
        case ID_CA_CHANGE:
            if (state.change) {
                Change(row);
            }
            break;
        case ID_CA_MOVE_UP:
            if (state.moveUp) {
                Move(row, -1);
            }
            break;
        case ID_CA_MOVE_DOWN:
            if (state.moveDown) {
                Move(row, 1);
            }
            break;
        default:
            break;
    }
}

void CActionsPage::Add() {
    CCustomActionDialog dialog(document_.project, CCustomAction(), true);
    if (!dialog.Edit(Handle())) {
        return;
    }
    CCustomAction* added = document_.project.actions.Add(std::make_unique<CCustomAction>(dialog.Result()));
    if (added == nullptr) {
        return;
    }
    const int row = added->position;
    document_.Changed(UpdateHint::kActionChanged, added);
    Fill(row);
}

void CActionsPage::Delete(int row) {
    CCustomAction* action = document_.project.actions.At(row);
    if (action == nullptr || ConfirmDelete(Handle(), delete_rules::Kind::kCustomAction, action->name, {}) !=
                                 delete_rules::Answer::kYes) {
        return;
    }
    document_.project.actions.RemoveAt(static_cast<size_t>(row));
    document_.Changed(UpdateHint::kActionChanged, nullptr);
    Fill(row < static_cast<int>(document_.project.actions.size()) ? row : row - 1);
}

void CActionsPage::Change(int row) {
    CCustomAction* action = document_.project.actions.At(row);
    if (action == nullptr) {
        return;
    }
    CCustomActionDialog dialog(document_.project, *action, false);
    if (!dialog.Edit(Handle()) || action_rules::SameFields(dialog.Result(), *action)) {
        return;
    }
    *action = dialog.Result();
    action->position = row;
    document_.Changed(UpdateHint::kActionChanged, action);
    Fill(row);
}

void CActionsPage::Move(int row, int by) {
    if (!document_.project.actions.Swap(static_cast<size_t>(row), static_cast<size_t>(row + by))) {
        return;
    }
    document_.Changed(UpdateHint::kActionChanged, document_.project.actions.At(row + by));
    Fill(row + by);
}

bool CActionsPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_CA_LIST) {
        return false;
    }
    switch (header->code) {
        case NM_DBLCLK: {
            const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
            if (row >= 0) {
                list_.Select(row);
                Run(ID_CA_CHANGE);
            }
            return true;
        }
        case LVN_KEYDOWN: {
            switch (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey) {
                case VK_INSERT:
                    Run(ID_CA_ADD);
                    break;
                case VK_DELETE:
                    Run(ID_CA_DELETE);
                    break;
                case VK_F2:
                    Run(ID_CA_CHANGE);
                    break;
                default:
                    break;
            }
            return true;
        }
        default:
            return false;
    }
}

bool CActionsPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (message != WM_CONTEXTMENU || reinterpret_cast<HWND>(wParam) != list_.Handle()) {
        return false;
    }
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ContextMenu(screen);
    *result = TRUE;
    return true;
}
