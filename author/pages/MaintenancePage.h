#pragma once

#include "author/Page.h"
#include "win/ToolTips.h"

// "Maintenance": the product's entry in the system's list of installed programs and what it offers.
class CMaintenancePage : public CPage {
public:
    explicit CMaintenancePage(CDocument& document);

    void Store() override;
    void Reload(int reason) override;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void ChooseIconFile();
    void ShowIcon();
    void Changed();

    win::ToolTips tips_;
    CFileItem* iconFile_ = nullptr;
    HICON preview_ = nullptr;
    bool loading_ = false;
};
