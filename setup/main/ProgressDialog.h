#pragma once

#include <string>

#include "win/Dialog.h"

// The stand-alone progress window of unattended runs: two text lines and a progress bar (shown through
// ProgressLines); its Cancel button stays hidden.
class CProgressDialog : public win::Dialog {
public:
    explicit CProgressDialog(std::string caption) : caption_(std::move(caption)) {}

protected:
    BOOL OnInit() override;
    void OnCancel() override {}

private:
    std::string caption_;
};
