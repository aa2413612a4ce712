#include "author/dialogs/FilePropertiesDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "author/FolderRules.h"
#include "author/resource.h"
#include "win/ComboBox.h"

namespace {

std::string DateOf(uint64_t time) {
    FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    FILETIME local{};
    SYSTEMTIME at{};
    if (time == 0 || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &at)) {
        return std::string();
    }
    return folder_rules::DateText(at.wMonth, at.wDay, at.wYear, at.wHour, at.wMinute);
}

void Check(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}
bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

}  // namespace

bool CFilePropertiesDialog::Edit(HWND owner) {
    return DoModal(owner, IDD_FILE_PROPERTIES) == IDOK;
}

BOOL CFilePropertiesDialog::OnInit() {
    Item(IDC_FIP_NAME).SetText(file_.title);
    char size[64] = {};
    StrFormatByteSizeA(file_.size, size, sizeof size);
    Item(IDC_FIP_SIZE).SetText(size);
    Item(IDC_FIP_VERSION).SetText(folder_rules::VersionText(file_.versionMS, file_.versionLS));
    Item(IDC_FIP_DATE).SetText(DateOf(file_.time));
    Item(IDC_FIP_SOURCE).SetText(file_.sourcePath);
    Item(IDC_FIP_TARGET).SetText(file_.TargetPath());
    win::ComboBox overwrite(Item(IDC_FIP_OVERWRITE).Handle());
    overwrite.Fill(folder_rules::OverwriteChoices());
    overwrite.Select(file_.overwriteMethod < folder_rules::OverwriteChoices().size() ? file_.overwriteMethod
                                                                                     : 0);
    Check(Handle(), IDC_FIP_REGISTER, file_.registerFile);
    Check(Handle(), IDC_FIP_CONFIG, file_.isConfigFile);
    Check(Handle(), IDC_FIP_SHARED, file_.shared);
    Check(Handle(), IDC_FIP_PERMANENT, file_.permanent);
    Check(Handle(), IDC_FIP_APP_PATH, file_.addAppPath);
    Item(IDC_FIP_PATH).SetText(file_.appPath);
    Check(Handle(), IDC_FIP_ALL_SYSTEMS, folder_rules::ShowsAllSystems(file_.osMask));
    systems_ = win::ListView(Item(IDC_FIP_SYSTEMS).Handle());
    ListView_SetExtendedListViewStyle(systems_.Handle(), LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const RECT client = systems_.ClientRect();
    systems_.AddColumn("OSName", client.right - client.left - GetSystemMetrics(SM_CXVSCROLL));
    for (const folder_rules::OsEntry& entry : folder_rules::OsEntries()) {
        const int row = systems_.Append(entry.name);
        ListView_SetCheckState(systems_.Handle(), row, (file_.osMask & entry.bit) != 0);
    }
    EnableDependents();
    return TRUE;
}

void CFilePropertiesDialog::EnableDependents() {
    Item(IDC_FIP_PATH).Enable(Checked(Handle(), IDC_FIP_APP_PATH));
    Item(IDC_FIP_PATH_LABEL).Enable(Checked(Handle(), IDC_FIP_APP_PATH));
    systems_.Enable(!Checked(Handle(), IDC_FIP_ALL_SYSTEMS));
}

bool CFilePropertiesDialog::OnCommand(int id, int code, HWND) {
    if ((id == IDC_FIP_APP_PATH || id == IDC_FIP_ALL_SYSTEMS) && code == BN_CLICKED) {
        EnableDependents();
        return true;
    }
    return false;
}

void CFilePropertiesDialog::OnOK() {
    const int overwrite = win::ComboBox(Item(IDC_FIP_OVERWRITE).Handle()).Selected();
    if (overwrite >= 0) {
        file_.overwriteMethod = static_cast<uint8_t>(overwrite);
    }
    file_.registerFile = Checked(Handle(), IDC_FIP_REGISTER);
    file_.isConfigFile = Checked(Handle(), IDC_FIP_CONFIG);
    file_.shared = Checked(Handle(), IDC_FIP_SHARED);
    file_.permanent = Checked(Handle(), IDC_FIP_PERMANENT);
    file_.addAppPath = Checked(Handle(), IDC_FIP_APP_PATH);
    file_.appPath = Item(IDC_FIP_PATH).Text();
    std::vector<bool> checked;
    for (int row = 0; row < systems_.Count(); ++row) {
        checked.push_back(ListView_GetCheckState(systems_.Handle(), row) != FALSE);
    }
    file_.osMask = folder_rules::OsMaskOf(Checked(Handle(), IDC_FIP_ALL_SYSTEMS), checked);
    End(IDOK);
}
