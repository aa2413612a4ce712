#pragma once

#include "author/Page.h"
#include "win/Handles.h"
#include "win/ToolTips.h"

// "Setup Media": the kind of media, the autorun entry, where the media are written, and the build's
// output list.
class CSetupMediaPage : public CPage {
public:
    explicit CSetupMediaPage(CDocument& document);

    bool Validate() override;
    void Store() override;
    void Reload(int reason) override;

    // The build output list: one line per report, with the picture of its kind.
    enum LineKind { kErrorLine = 0, kWarningLine = 1, kInformationLine = 2 };
    void ClearOutput();
    void AddOutput(LineKind kind, const std::string& line);
    // Sizes the list's column to its longest line, and at least to the list's width.
    void FitOutputColumn();

private:
    BOOL OnInit() override;
    void OnSize(int width, int height) override;
    bool OnCommand(int id, int code, HWND control) override;
    void EnableControls();
    void ChooseIconFile();
    void ChooseDestination();
    void Changed();

    win::ToolTips tips_;
    win::OwnedImageList kindImages_;
    bool loading_ = false;
};
