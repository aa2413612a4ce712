#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "author/EditorRules.h"
#include "win/ListView.h"
#include "win/TreeView.h"

namespace win {

// Label editing of tree items and list rows, driven by a name rule (editor_rules::DecideLabelEdit):
// a new item that is cancelled disappears, a cancelled rename keeps the old name, a refused name shows
// the rule's message and the edit starts again from the text typed. The page starts edits with BeginNew
// (an item it has just inserted) or BeginRename, and hands every WM_NOTIFY to OnNotify; a user's click
// on a selected label asks the RenameRequest, and without one it is refused.
//
// What the edit's end does happens just after the control's notification returns (a zero-delay timer on
// the control), so that Apply may rebuild the tree or list and the message box never runs inside the
// control's own edit handling.
class LabelEditor {
public:
    struct Edit {
        std::string defaultName;                        // a new item's name when none is typed
        editor_rules::NameRule rule;                    // refusal message, empty to allow
        std::function<void(const std::string&)> apply;  // takes the accepted name
    };
    // Whether the user may rename the item (a tree's HTREEITEM, or a list's row, as LPARAM); fills edit.
    using RenameRequest = std::function<bool(HWND control, LPARAM itemOrRow, Edit* edit)>;

    explicit LabelEditor(std::string caption = "Error") : caption_(std::move(caption)) {}
    ~LabelEditor();
    LabelEditor(const LabelEditor&) = delete;
    LabelEditor& operator=(const LabelEditor&) = delete;

    void BeginNew(TreeView tree, HTREEITEM item, Edit edit) {
        Begin(tree.Handle(), false, item, -1, true, std::move(edit));
    }
    void BeginRename(TreeView tree, HTREEITEM item, Edit edit) {
        Begin(tree.Handle(), false, item, -1, false, std::move(edit));
    }
    void BeginNew(ListView list, int row, Edit edit) {
        Begin(list.Handle(), true, nullptr, row, true, std::move(edit));
    }
    void BeginRename(ListView list, int row, Edit edit) {
        Begin(list.Handle(), true, nullptr, row, false, std::move(edit));
    }
    void SetRenameRequest(RenameRequest request) { request_ = std::move(request); }

    // Takes the label-edit notifications of the controls it edits; true when handled (*result set).
    bool OnNotify(const NMHDR* header, LRESULT* result);

    bool Editing() const { return control_ != nullptr; }
    bool EditingNew() const { return control_ != nullptr && isNew_; }
    // Whether a window is the edit box of a tree's or list's label (Enter and Escape belong to it).
    static bool IsLabelEdit(HWND window);

private:
    void Begin(HWND control, bool list, HTREEITEM item, int row, bool isNew, Edit edit);
    bool BeginNotified(HWND control, LPARAM itemOrRow, LRESULT* result);
    void EndNotified(const char* typed);
    void Finish();
    void StartEditing() const;
    std::string ItemText() const;
    void SetItemText(const std::string& text) const;
    void DeleteItem() const;
    void Clear() { control_ = nullptr; }
    static void CALLBACK Deferred(HWND control, UINT, UINT_PTR id, DWORD);

    std::string caption_;
    RenameRequest request_;
    HWND control_ = nullptr;  // the control being edited, nullptr when none
    bool list_ = false;
    HTREEITEM item_ = nullptr;
    int row_ = -1;
    bool isNew_ = false;
    std::string oldName_;
    Edit edit_;
    bool finishing_ = false;
    editor_rules::LabelDecision decision_{editor_rules::LabelAction::kKeepOldName, {}, {}};
};

}  // namespace win
