#pragma once

#include "author/Page.h"
#include "win/ToolTips.h"

// "General": product information, the default target folder and the minimum Windows releases.
class CGeneralPage : public CPage {
public:
    explicit CGeneralPage(CDocument& document);

    bool Validate() override;
    void Store() override;
    void Reload(int reason) override;

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void NewGuid();
    void ChooseLocation();
    void Changed();

    win::ToolTips tips_;
    bool loading_ = false;
};
