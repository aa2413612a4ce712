#pragma once

#include <string>
#include <vector>

#include "win/Dialog.h"

// "Select Special Folders": picks predefined folders from a list of names; "Hard Coded" is completed with
// the drive letter chosen below the list.
class CSpecialFolderDialog : public win::Dialog {
public:
    CSpecialFolderDialog(std::vector<std::string> offered, bool multiple)
        : offered_(std::move(offered)), multiple_(multiple) {}

    // The chosen names, in list order; empty after Cancel.
    std::vector<std::string> Choose(HWND owner);

private:
    BOOL OnInit() override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    void OnOK() override;
    void ShowDriveChoice();

    std::vector<std::string> offered_;
    bool multiple_;
    std::vector<std::string> chosen_;
};
