#include "author/pages/DocTypesPage.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "author/dialogs/ConfirmDelete.h"
#include "author/dialogs/DocTypeDialog.h"
#include "author/dialogs/VerbDialog.h"
#include "author/resource.h"
#include "win/Menu.h"

using doctype_rules::Command;
using doctype_rules::List;

namespace {

constexpr int kColumnWidth = 100;

struct MenuCommand {
    int id;
    Command command;
};

const MenuCommand kMenuCommands[] = {
    {ID_DT_ADD_TYPE, Command::kAddDocType},       {ID_DT_DELETE_TYPE, Command::kDeleteDocType},
    {ID_DT_CHANGE_TYPE, Command::kChangeDocType}, {ID_DT_ADD_VERB, Command::kAddVerb},
    {ID_DT_DELETE_VERB, Command::kDeleteVerb},    {ID_DT_CHANGE_VERB, Command::kChangeVerb},
};

Command CommandOfMenuItem(int id) {
    for (const MenuCommand& item : kMenuCommands) {
        if (item.id == id) {
            return item.command;
        }
    }
    return Command::kNone;
}

void SetRow(const win::ListView& list, int row, const std::vector<std::string>& cells) {
    if (row >= list.Count()) {
        list.Append(cells[0]);
    } else {
        ListView_SetItemText(list.Handle(), row, 0, const_cast<char*>(cells[0].c_str()));
    }
    for (size_t column = 1; column < cells.size(); ++column) {
        ListView_SetItemText(list.Handle(), row, static_cast<int>(column),
                             const_cast<char*>(cells[column].c_str()));
    }
}

// Shows the rows of a list: rows that are there keep their selection, rows beyond the count go.
void ShowRows(const win::ListView& list, const std::vector<std::vector<std::string>>& rows) {
    for (size_t row = 0; row < rows.size(); ++row) {
        SetRow(list, static_cast<int>(row), rows[row]);
    }
    while (list.Count() > static_cast<int>(rows.size())) {
        ListView_DeleteItem(list.Handle(), list.Count() - 1);
    }
}

}  // namespace

CDocTypesPage::CDocTypesPage(CDocument& document) : CPage(document, IDD_PAGE_DOCTYPES, "Doc Types") {}

BOOL CDocTypesPage::OnInit() {
    anchors_.Capture(Handle(), {{IDC_DT_TYPES, editor_rules::kGrowWidth},
                                {IDC_DT_VERBS, editor_rules::kGrowWidth | editor_rules::kGrowHeight}});
    types_ = win::ListView(Item(IDC_DT_TYPES).Handle());
    verbs_ = win::ListView(Item(IDC_DT_VERBS).Handle());
    for (const win::ListView* list : {&types_, &verbs_}) {
        ListView_SetExtendedListViewStyle(list->Handle(), LVS_EX_FULLROWSELECT);
    }
    for (const char* title : {"Name", "Extension", "Description"}) {
        types_.AddColumn(title, kColumnWidth);
    }
    for (const char* title : {"Name", "Target", "Arguments"}) {
        verbs_.AddColumn(title, kColumnWidth);
    }
    return FALSE;
}

void CDocTypesPage::Reload(int) {
    filling_ = true;
    types_.Clear();
    verbs_.Clear();
    filling_ = false;
    ShowDocTypes();
    if (types_.Count() > 0) {
        types_.Reveal(0);
    }
}

void CDocTypesPage::OnUpdate(UpdateHint hint, const void*) {
    // Verbs show their target files: a file renamed, moved or deleted on another page shows here at once.
    if (hint != UpdateHint::kSettingsChanged) {
        ShowDocTypes();
    }
}

void CDocTypesPage::ShowDocTypes() {
    std::vector<std::vector<std::string>> rows;
    for (const CDocType* type : document_.project.docTypes) {
        rows.push_back({type->name, type->extension, type->description});
    }
    filling_ = true;
    ShowRows(types_, rows);
    filling_ = false;
    ShowVerbs();
}

void CDocTypesPage::ShowVerbs() {
    std::vector<std::vector<std::string>> rows;
    if (const CDocType* type = SelectedDocType()) {
        for (const CVerb* verb : type->verbs) {
            rows.push_back({verb->name, verb->target != nullptr ? verb->target->TargetPath() : std::string(),
                            verb->arguments});
        }
    }
    filling_ = true;
    ShowRows(verbs_, rows);
    filling_ = false;
}

CDocType* CDocTypesPage::SelectedDocType() const {
    const int row = types_.Selected();
    return row >= 0 ? document_.project.docTypes.At(row) : nullptr;
}

CVerb* CDocTypesPage::SelectedVerb() const {
    const CDocType* type = SelectedDocType();
    const int row = verbs_.Selected();
    return type != nullptr && row >= 0 ? type->verbs.At(row) : nullptr;
}

doctype_rules::Selection CDocTypesPage::CurrentSelection() const {
    return {SelectedDocType() != nullptr, SelectedVerb() != nullptr};
}

void CDocTypesPage::ShowMenu(List list, POINT screen) {
    const win::ListView& control = list == List::kDocTypes ? types_ : verbs_;
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: below the selected row, or at the list's top.
        RECT box{};
        const int row = control.Selected();
        if (row < 0 || !ListView_GetItemRect(control.Handle(), row, &box, LVIR_LABEL)) {
            box = control.ClientRect();
        }
        screen = {box.left + 8, box.top + 8};
        ClientToScreen(control.Handle(), &screen);
    }
    const win::Menu menu(list == List::kDocTypes ? IDR_DT_TYPE_MENU : IDR_DT_VERB_MENU);
    const doctype_rules::Selection selection = CurrentSelection();
    for (const MenuCommand& item : kMenuCommands) {
        menu.Enable(item.id, doctype_rules::IsEnabled(item.command, selection));
    }
    Run(CommandOfMenuItem(menu.Track(Handle(), screen)));
}

void CDocTypesPage::Run(Command command) {
    if (!doctype_rules::IsEnabled(command, CurrentSelection())) {
        return;
    }
    switch (command) {
        case Command::kAddDocType:
            AddDocType();
            break;
        case Command::kDeleteDocType:
            DeleteDocType();
            break;
        case Command::kChangeDocType:
            ChangeDocType();
            break;
        case Command::kAddVerb:
            AddVerb();
            break;
        case Command::kDeleteVerb:
            DeleteVerb();
            break;
        case Command::kChangeVerb:
            ChangeVerb();
            break;
        case Command::kNone:
            break;
    }
}

void CDocTypesPage::Refuse(const char* message) {
    MessageBoxA(Handle(), message, "Tessaro", MB_OK | MB_ICONERROR);
}

namespace {

doctype_rules::DocTypeFields FieldsOf(const CDocType& type) {
    return {type.name, type.description, type.extension, type.iconFile, type.iconIndex};
}

bool Differ(const doctype_rules::DocTypeFields& a, const doctype_rules::DocTypeFields& b) {
    return a.name != b.name || a.description != b.description || a.extension != b.extension ||
           a.iconFile != b.iconFile || a.iconIndex != b.iconIndex;
}

void Apply(const doctype_rules::DocTypeFields& fields, CDocType* type) {
    type->name = fields.name;
    type->description = fields.description;
    type->extension = fields.extension;
    type->iconFile = fields.iconFile;
    type->iconIndex = fields.iconIndex;
}

doctype_rules::VerbFields FieldsOf(const CVerb& verb) {
    return {verb.name, verb.description, verb.arguments, verb.target};
}

bool Differ(const doctype_rules::VerbFields& a, const doctype_rules::VerbFields& b) {
    return a.name != b.name || a.description != b.description || a.arguments != b.arguments ||
           a.target != b.target;
}

void Apply(const doctype_rules::VerbFields& fields, CVerb* verb) {
    verb->name = fields.name;
    verb->description = fields.description;
    verb->arguments = fields.arguments;
    verb->target = fields.target;
}

}  // namespace

void CDocTypesPage::AddDocType() {
    CProject& project = document_.project;
    const std::string refusal =
        doctype_rules::AddRefusal(Command::kAddDocType, project.docTypes.size(), project.docTypes.Capacity());
    if (!refusal.empty()) {
        Refuse(refusal.c_str());
        return;
    }
    CDocTypeDialog dialog(project, nullptr, doctype_rules::DocTypeFields());
    if (!dialog.Ask(Handle())) {
        return;
    }
    auto type = std::make_unique<CDocType>();
    Apply(dialog.Fields(), type.get());
    CDocType* added = project.docTypes.Add(std::move(type));
    const int row = added->position;
    document_.Changed(UpdateHint::kDocTypeChanged, added);
    types_.Reveal(row);
}

void CDocTypesPage::ChangeDocType() {
    CDocType* type = SelectedDocType();
    CDocTypeDialog dialog(document_.project, type, FieldsOf(*type));
    if (dialog.Ask(Handle()) && Differ(dialog.Fields(), FieldsOf(*type))) {
        Apply(dialog.Fields(), type);
        document_.Changed(UpdateHint::kDocTypeChanged, type);
    }
}

void CDocTypesPage::DeleteDocType() {
    CDocType* type = SelectedDocType();
    const int row = type->position;
    if (ConfirmDelete(Handle(), delete_rules::Kind::kDocType, type->name, {}) != delete_rules::Answer::kYes) {
        return;
    }
    document_.project.docTypes.Remove(type);
    document_.Changed(UpdateHint::kDocTypeChanged);
    if (types_.Count() > 0) {
        types_.Reveal(row < types_.Count() ? row : types_.Count() - 1);
    }
}

void CDocTypesPage::AddVerb() {
    CDocType* type = SelectedDocType();
    const std::string refusal = doctype_rules::AddRefusal(Command::kAddVerb, type->verbs.size(), type->verbs.Capacity());
    if (!refusal.empty()) {
        Refuse(refusal.c_str());
        return;
    }
    CVerbDialog dialog(document_.project, *type, nullptr, doctype_rules::VerbFields());
    if (!dialog.Ask(Handle())) {
        return;
    }
    auto verb = std::make_unique<CVerb>();
    Apply(dialog.Fields(), verb.get());
    const int row = type->verbs.Add(std::move(verb))->position;
    document_.Changed(UpdateHint::kDocTypeChanged, type);
    verbs_.Reveal(row);
}

void CDocTypesPage::ChangeVerb() {
    CDocType* type = SelectedDocType();
    CVerb* verb = SelectedVerb();
    CVerbDialog dialog(document_.project, *type, verb, FieldsOf(*verb));
    if (dialog.Ask(Handle()) && Differ(dialog.Fields(), FieldsOf(*verb))) {
        Apply(dialog.Fields(), verb);
        document_.Changed(UpdateHint::kDocTypeChanged, type);
    }
}

void CDocTypesPage::DeleteVerb() {
    CDocType* type = SelectedDocType();
    CVerb* verb = SelectedVerb();
    const int row = verb->position;
    if (ConfirmDelete(Handle(), delete_rules::Kind::kVerb, verb->name, {}) != delete_rules::Answer::kYes) {
        return;
    }
    type->verbs.Remove(verb);
    document_.Changed(UpdateHint::kDocTypeChanged, type);
    if (verbs_.Count() > 0) {
        verbs_.Reveal(row < verbs_.Count() ? row : verbs_.Count() - 1);
    }
}

bool CDocTypesPage::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_DT_TYPES && header->idFrom != IDC_DT_VERBS) {
        return false;
    }
    const List list = header->idFrom == IDC_DT_TYPES ? List::kDocTypes : List::kVerbs;
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if (!filling_ && list == List::kDocTypes && (change->uChanged & LVIF_STATE) &&
                ((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) {
                // Another document type: its verbs, none of them selected.
                filling_ = true;
                verbs_.Clear();
                filling_ = false;
                ShowVerbs();
            }
            return true;
        }
        case LVN_KEYDOWN:
            Run(doctype_rules::CommandOfKey(list, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey));
            return true;
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem >= 0) {
                Run(doctype_rules::CommandOfDoubleClick(list));
            }
            return true;
        default:
            return false;
    }
}

bool CDocTypesPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (message != WM_CONTEXTMENU) {
        return false;
    }
    const HWND control = reinterpret_cast<HWND>(wParam);
    if (control != types_.Handle() && control != verbs_.Handle()) {
        return false;
    }
    ShowMenu(control == types_.Handle() ? List::kDocTypes : List::kVerbs,
             POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    *result = TRUE;
    return true;
}
