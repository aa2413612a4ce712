#include "author/dialogs/ConfirmDelete.h"

#include <commctrl.h>

#include "author/dialogs/ConfirmDeleteRes.h"
#include "win/Dialog.h"
#include "win/ListView.h"

namespace {

using delete_rules::Answer;

class ConfirmDeleteDialog : public win::Dialog {
public:
    ConfirmDeleteDialog(const std::string& question, const std::vector<Dependent>& dependents, bool several)
        : question_(question), dependents_(dependents), several_(several) {}

    Answer Ask(HWND owner) {
        switch (DoModal(owner, IDD_CONFIRM_DELETE)) {
            case IDYES: return Answer::kYes;
            case IDC_CD_YES_TO_ALL: return Answer::kYesToAll;
            case IDC_CD_NO_TO_ALL: return Answer::kNoToAll;
            default: return Answer::kNo;
        }
    }

private:
    BOOL OnInit() override {
        Item(IDC_CD_ICON).Send(STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_WARNING)));
        Item(IDC_CD_TEXT).SetText(question_);
        win::ListView list(Item(IDC_CD_LIST).Handle());
        ListView_SetExtendedListViewStyle(list.Handle(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        list.AddColumn("Object Name", 150);
        list.AddColumn("Object Type", 80);
        for (const Dependent& dependent : dependents_) {
            const int row = list.Append(dependent.objectName);
            ListView_SetItemText(list.Handle(), row, 1, const_cast<char*>(dependent.objectType.c_str()));
        }
        Item(IDC_CD_NO_TO_ALL).Show(several_);
        Item(IDC_CD_YES_TO_ALL).Show(several_);
        return TRUE;
    }

    bool OnCommand(int id, int code, HWND) override {
        if (code == BN_CLICKED && (id == IDYES || id == IDNO || id == IDC_CD_YES_TO_ALL || id == IDC_CD_NO_TO_ALL)) {
            End(id);
            return true;
        }
        return false;
    }
    void OnOK() override { End(IDYES); }
    void OnCancel() override { End(IDNO); }

    std::string question_;
    const std::vector<Dependent>& dependents_;
    bool several_;
};

}  // namespace

Answer ConfirmDelete(HWND owner, delete_rules::Kind kind, const std::string& name,
                     const std::vector<Dependent>& dependents, bool several) {
    ConfirmDeleteDialog dialog(delete_rules::Question(kind, name, !dependents.empty()), dependents, several);
    return dialog.Ask(owner);
}

Answer ConfirmDelete(HWND owner, CProject& project, const CFileItem* file, bool several) {
    return ConfirmDelete(owner, delete_rules::Kind::kFile, file->title, project.FileDependents(file), several);
}

Answer ConfirmDelete(HWND owner, CProject& project, const CFolder* folder, bool several) {
    return ConfirmDelete(owner, delete_rules::Kind::kFolder, folder->name, project.FolderDependents(folder), several);
}

Answer ConfirmDelete(HWND owner, CProject& project, const CRegItem* item, bool several) {
    return ConfirmDelete(owner, delete_rules::Kind::kRegistryItem, item->DisplayName(), project.RegItemDependents(item),
                         several);
}
