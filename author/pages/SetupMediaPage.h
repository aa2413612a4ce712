#pragma once

#include "author/Page.h"
#include "win/ToolTips.h"

// "Setup Media": the kind of media, the autorun entry, where the media are written, and the build's
// output list.
class CSetupMediaPage : public CPage {
public:
    explicit CSetupMediaPage(CDocument& document);

    bool Validate() override;
    void Store() override;
    void Reload(int reason) override;

    // The build output list.
    void ClearOutput();
    void AddOutput(const std::string& line);

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    void EnableControls();
    void ChooseIconFile();
    void ChooseDestination();
    void Changed();

    win::ToolTips tips_;
    bool loading_ = false;
};
