#include "setup/install/DiskPrompt.h"

#include <commdlg.h>

#include "setup/main/SetupRes.h"
#include "win/Dialog.h"

namespace {

class CDiskPrompt : public win::Dialog {
public:
    CDiskPrompt(std::string title, std::string message, std::string path)
        : title_(std::move(title)), message_(std::move(message)), path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

private:
    BOOL OnInit() override {
        SetText(title_);
        Item(IDC_DISK_PROMPT_MESSAGE).SetText(message_);
        Item(IDC_DISK_PROMPT_PATH).SetText(path_);
        return TRUE;
    }

    bool OnCommand(int id, int, HWND) override {
        if (id != IDC_DISK_PROMPT_BROWSE) {
            return false;
        }
        Browse();
        return true;
    }

    void OnOK() override {
        path_ = Item(IDC_DISK_PROMPT_PATH).Text();
        End(IDOK);
    }

    // A file that exists replaces the edit field's text.
    void Browse() {
        char file[MAX_PATH];
        lstrcpynA(file, Item(IDC_DISK_PROMPT_PATH).Text().c_str(), MAX_PATH);
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = Handle();
        dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
        dialog.lpstrFile = file;
        dialog.nMaxFile = MAX_PATH;
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (GetOpenFileNameA(&dialog)) {
            Item(IDC_DISK_PROMPT_PATH).SetText(file);
        }
    }

    std::string title_;
    std::string message_;
    std::string path_;
};

}  // namespace

bool AskForDisk(HWND owner, const std::string& productName, const std::string& message, std::string* path) {
    CDiskPrompt prompt(productName + " Setup", message, *path);
    if (prompt.DoModal(owner, IDD_DISK_PROMPT) != IDOK) {
        return false;
    }
    *path = prompt.Path();
    return true;
}
