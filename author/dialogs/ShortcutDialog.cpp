#include "author/dialogs/ShortcutDialog.h"

#include <cstdlib>

#include "author/Help.h"
#include "author/ShortcutRules.h"
#include "author/dialogs/ItemChooser.h"
#include "author/dialogs/ShortcutDialogRes.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "win/ComboBox.h"

namespace {

constexpr int kMaxIconIndex = 9999;

std::string PathOf(const CFolder* folder) {
    return folder != nullptr ? folder->TargetPath() : std::string();
}
std::string PathOf(const CFileItem* file) {
    return file != nullptr ? file->TargetPath() : std::string();
}

}  // namespace

CShortcutDialog::CShortcutDialog(const CProject& project, CShortcut& shortcut)
    : project_(project),
      shortcut_(shortcut),
      location_(shortcut.folder),
      target_(shortcut.target),
      startIn_(shortcut.workingFolder),
      iconFile_(shortcut.iconFile) {}

bool CShortcutDialog::Edit(HWND owner) {
    return DoModal(owner, IDD_SHORTCUT) == IDOK;
}

BOOL CShortcutDialog::OnInit() {
    loading_ = true;
    Item(IDC_SC_NAME).SetText(shortcut_.name);
    Item(IDC_SC_DESCRIPTION).SetText(shortcut_.description);
    Item(IDC_SC_ARGUMENTS).SetText(shortcut_.arguments);
    win::ComboBox run(Item(IDC_SC_RUN).Handle());
    run.Fill(shortcut_rules::RunChoices());
    run.Select(shortcut_rules::RunChoiceOf(shortcut_.showCmd));
    preview_.Attach(Item(IDC_SC_ICON_PREVIEW), Item(IDC_SC_ICON_SPIN), kMaxIconIndex);
    preview_.SetIndex(shortcut_.iconIndex);
    Item(IDC_SC_ICON_INDEX).SetText(std::to_string(shortcut_.iconIndex));
    ShowItems();
    loading_ = false;
    return TRUE;
}

void CShortcutDialog::ShowItems() {
    Item(IDC_SC_LOCATION).SetText(PathOf(location_));
    Item(IDC_SC_TARGET).SetText(PathOf(target_));
    Item(IDC_SC_START_IN).SetText(PathOf(startIn_));
    Item(IDC_SC_ICON_FILE).SetText(PathOf(iconFile_));
    ShowIcon();
}

// The index typed beside the spin control (the spin does not follow typing everywhere), within its range.
int CShortcutDialog::IconIndex() const {
    const long typed = std::strtol(Item(IDC_SC_ICON_INDEX).Text().c_str(), nullptr, 10);
    return typed < 0 ? 0 : typed > kMaxIconIndex ? kMaxIconIndex : static_cast<int>(typed);
}

// Icon N of the icon file's source; a file that holds no icon, or fewer, shows nothing and says nothing.
void CShortcutDialog::ShowIcon() {
    preview_.Show(iconFile_ != nullptr ? iconFile_->sourcePath : std::string(), IconIndex());
}

void CShortcutDialog::ChooseFolder(CFolder** folder) {
    CItemChooser chooser(project_, CItemChooser::kFolder);
    chooser.SetCurrent(*folder);
    if (chooser.Choose(Handle()) != CItemChooser::kCancelled) {
        *folder = chooser.ChosenFolder();
        ShowItems();
    }
}

void CShortcutDialog::ChooseFile(CFileItem** file) {
    CItemChooser chooser(project_, CItemChooser::kFile);
    chooser.SetCurrent(*file);
    if (chooser.Choose(Handle()) != CItemChooser::kCancelled) {
        *file = chooser.ChosenFile();
        ShowItems();
    }
}

bool CShortcutDialog::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_SC_LOCATION_BROWSE:
            ChooseFolder(&location_);
            return true;
        case IDC_SC_TARGET_BROWSE:
            ChooseFile(&target_);
            return true;
        case IDC_SC_START_IN_BROWSE:
            ChooseFolder(&startIn_);
            return true;
        case IDC_SC_ICON_BROWSE:
            ChooseFile(&iconFile_);
            return true;
        case IDC_SC_ICON_INDEX:
            if (code == EN_CHANGE && !loading_) {
                ShowIcon();
            }
            return true;
        case IDC_SC_HELP:
            help::ShowTopic(Handle(), help::TopicOfResource(IDD_SHORTCUT));
            return true;
        default:
            return false;
    }
}

void CShortcutDialog::OnOK() {
    const std::string name = Item(IDC_SC_NAME).Text();
    if (const char* refusal = shortcut_rules::CheckName(name)) {
        MessageBoxA(Handle(), refusal, "Tessaro", MB_OK | MB_ICONERROR);
        Item(IDC_SC_NAME).Focus();
        return;
    }
    shortcut_.name = name;
    shortcut_.description = Item(IDC_SC_DESCRIPTION).Text();
    shortcut_.folder = location_;
    shortcut_.target = target_;
    shortcut_.arguments = Item(IDC_SC_ARGUMENTS).Text();
    shortcut_.showCmd =
        shortcut_rules::ShowCommandOf(win::ComboBox(Item(IDC_SC_RUN).Handle()).Selected(), shortcut_.showCmd);
    shortcut_.workingFolder = startIn_;
    shortcut_.iconFile = iconFile_;
    shortcut_.iconIndex = IconIndex();
    End(IDOK);
}
