#pragma once

#include <windows.h>

#include "model/Project.h"
#include "model/Shortcut.h"
#include "win/Dialog.h"
#include "win/IconPreview.h"

// The shortcut's properties. The dialog works on a copy of the fields and writes them into the shortcut
// only on an accepted OK; the caller then marks the project changed.
class CShortcutDialog : public win::Dialog {
public:
    CShortcutDialog(const CProject& project, CShortcut& shortcut);

    // True when OK wrote the fields back.
    bool Edit(HWND owner);

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    void ShowItems();
    int IconIndex() const;
    void ShowIcon();
    void ChooseFolder(CFolder** folder);
    void ChooseFile(CFileItem** file);

    const CProject& project_;
    CShortcut& shortcut_;
    CFolder* location_;
    CFileItem* target_;
    CFolder* startIn_;
    CFileItem* iconFile_;
    win::IconPreview preview_;
    bool loading_ = false;
};
