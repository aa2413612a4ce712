#pragma once

#include <windows.h>

#include "model/FileItem.h"
#include "win/Dialog.h"
#include "win/ListView.h"

// "File Properties": what the file is on this machine and where it goes (read only), and how the setup
// installs it: overwrite method, flags, App Path, and the operating systems it is installed on. OK writes
// the editable fields into the file.
class CFilePropertiesDialog : public win::Dialog {
public:
    explicit CFilePropertiesDialog(CFileItem& file) : file_(file) {}

    // True when OK wrote the fields back.
    bool Edit(HWND owner);

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void EnableDependents();

    CFileItem& file_;
    win::ListView systems_;
};
