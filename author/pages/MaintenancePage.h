#pragma once

#include "author/Page.h"
#include "win/IconPreview.h"
#include "win/ToolTips.h"

// "Maintenance": the product's entry in the system's list of installed programs and what it offers.
class CMaintenancePage : public CPage {
public:
    explicit CMaintenancePage(CDocument& document);

    void Store() override;
    void Reload(int reason) override;
    void OnUpdate(UpdateHint hint, const void* object) override;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void ChooseIconFile();
    // The icon file's name and picture, from the project.
    void ShowIconFile();
    void Changed();

    win::ToolTips tips_;
    win::IconPreview preview_;
    bool loading_ = false;
};
