#include "win/LabelEditor.h"

#include <exception>

#include "platform/NoCase.h"
#include "platform/TSException.h"

namespace win {

namespace {

constexpr UINT_PTR kFinishTimer = 0x4C45;  // "LE"
const char kEditorProperty[] = "Tessaro.LabelEditor";

}  // namespace

LabelEditor::~LabelEditor() {
    if (control_ != nullptr && finishing_) {
        KillTimer(control_, kFinishTimer);
        RemovePropA(control_, kEditorProperty);
    }
}

bool LabelEditor::IsLabelEdit(HWND window) {
    char name[32] = "";
    char parent[32] = "";
    GetClassNameA(window, name, sizeof name);
    GetClassNameA(GetParent(window), parent, sizeof parent);
    return nocase::Equal(name, "Edit") &&
           (nocase::Equal(parent, WC_TREEVIEWA) || nocase::Equal(parent, WC_LISTVIEWA));
}

void LabelEditor::Begin(HWND control, bool list, HTREEITEM item, int row, bool isNew, Edit edit) {
    control_ = control;
    list_ = list;
    item_ = item;
    row_ = row;
    isNew_ = isNew;
    edit_ = std::move(edit);
    finishing_ = false;
    oldName_ = ItemText();
    StartEditing();
}

void LabelEditor::StartEditing() const {
    SetFocus(control_);
    if (list_) {
        ListView list(control_);
        list.Select(row_);
        list.EnsureVisible(row_);
        list.EditLabel(row_);
    } else {
        TreeView tree(control_);
        tree.EnsureVisible(item_);
        tree.Select(item_);
        tree.EditLabel(item_);
    }
}

std::string LabelEditor::ItemText() const {
    return list_ ? ListView(control_).ItemText(row_) : TreeView(control_).ItemText(item_);
}

void LabelEditor::SetItemText(const std::string& text) const {
    if (list_) {
        ListView(control_).SetItemText(row_, 0, text);
    } else {
        TreeView(control_).SetItemText(item_, text);
    }
}

void LabelEditor::DeleteItem() const {
    if (list_) {
        ListView(control_).Delete(row_);
    } else {
        TreeView(control_).Delete(item_);
    }
}

bool LabelEditor::OnNotify(const NMHDR* header, LRESULT* result) {
    switch (header->code) {
        case TVN_BEGINLABELEDITA:
            return BeginNotified(
                header->hwndFrom,
                reinterpret_cast<LPARAM>(reinterpret_cast<const NMTVDISPINFOA*>(header)->item.hItem), result);
        case LVN_BEGINLABELEDITA:
            return BeginNotified(header->hwndFrom, reinterpret_cast<const NMLVDISPINFOA*>(header)->item.iItem,
                                 result);
        case TVN_ENDLABELEDITA:
        case LVN_ENDLABELEDITA:
            if (header->hwndFrom != control_ || finishing_) {
                return false;
            }
            EndNotified(header->code == TVN_ENDLABELEDITA
                            ? reinterpret_cast<const NMTVDISPINFOA*>(header)->item.pszText
                            : reinterpret_cast<const NMLVDISPINFOA*>(header)->item.pszText);
            *result = FALSE;  // the text is set by the decision, never by the control
            return true;
        default:
            return false;
    }
}

bool LabelEditor::BeginNotified(HWND control, LPARAM itemOrRow, LRESULT* result) {
    const bool ours =
        control == control_ && (list_ ? itemOrRow == row_ : itemOrRow == reinterpret_cast<LPARAM>(item_));
    if (ours && !finishing_) {
        *result = FALSE;
        return true;
    }
    Edit edit;
    if (control_ != nullptr || !request_ || !request_(control, itemOrRow, &edit)) {
        *result = TRUE;  // refused: another edit is under way, or the user may not rename this item
        return true;
    }
    control_ = control;
    char name[32] = "";
    GetClassNameA(control, name, sizeof name);
    list_ = nocase::Equal(name, WC_LISTVIEWA);
    item_ = list_ ? nullptr : reinterpret_cast<HTREEITEM>(itemOrRow);
    row_ = list_ ? static_cast<int>(itemOrRow) : -1;
    isNew_ = false;
    edit_ = std::move(edit);
    oldName_ = ItemText();
    *result = FALSE;
    return true;
}

void LabelEditor::EndNotified(const char* typed) {
    decision_ = editor_rules::DecideLabelEdit(isNew_, typed, oldName_, edit_.defaultName, edit_.rule);
    finishing_ = true;
    SetPropA(control_, kEditorProperty, this);
    SetTimer(control_, kFinishTimer, 0, &LabelEditor::Deferred);
}

void CALLBACK LabelEditor::Deferred(HWND control, UINT, UINT_PTR id, DWORD) {
    KillTimer(control, id);
    auto* self = static_cast<LabelEditor*>(RemovePropA(control, kEditorProperty));
    if (self == nullptr || self->control_ != control || !self->finishing_) {
        return;
    }
    // A timer procedure is called by the system's dispatch: nothing may leave it.
    try {
        self->Finish();
    } catch (const CTSException& e) {
        MessageBoxA(GetParent(control), e.Message().c_str(), self->caption_.c_str(), MB_OK | MB_ICONERROR);
    } catch (const std::exception& e) {
        MessageBoxA(GetParent(control), e.what(), self->caption_.c_str(), MB_OK | MB_ICONERROR);
    }
}

void LabelEditor::Finish() {
    finishing_ = false;
    using editor_rules::LabelAction;
    switch (decision_.action) {
        case LabelAction::kAccept: {
            SetItemText(decision_.name);
            auto apply = edit_.apply;
            Clear();
            if (apply) {
                apply(decision_.name);
            }
            break;
        }
        case LabelAction::kDeleteNew:
            DeleteItem();
            Clear();
            break;
        case LabelAction::kKeepOldName:
            SetItemText(oldName_);
            Clear();
            break;
        case LabelAction::kRestart:
            MessageBoxA(GetParent(control_), decision_.message.c_str(), caption_.c_str(),
                        MB_OK | MB_ICONERROR);
            SetItemText(decision_.name);
            StartEditing();
            break;
    }
}

}  // namespace win
