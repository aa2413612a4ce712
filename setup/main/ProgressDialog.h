#pragma once

#include "setup/engine/ProgressSink.h"
#include "win/Dialog.h"

// The stand-alone progress window of unattended runs: two text lines and a progress bar; its Cancel button
// stays hidden.
class CProgressDialog : public win::Dialog, public ProgressSink {
public:
    explicit CProgressDialog(std::string caption) : caption_(std::move(caption)) {}

    void SetActionText(const char* format, const char* text, int32_t number) override;
    void SetDetailText(const char* format, int32_t number, const char* text) override;
    void SetPosition(int32_t position) override;
    void Step(int32_t delta) override;
    void SetRange(int32_t max) override;

protected:
    BOOL OnInit() override;
    void OnCancel() override {}

private:
    void Pump();
    std::string caption_;
};
