#pragma once

#include <windows.h>

#include "setup/engine/ProgressSink.h"

// Progress shown in a window's two text lines and progress bar: the wizard's progress page and the
// stand-alone progress window of unattended runs. The sequence runs on the window's thread, so every call
// lets the windows paint before it returns.
class ProgressLines : public ProgressSink {
public:
    // window holds the three controls; messages for dialogOwner pass through its dialog navigation.
    ProgressLines(HWND window, HWND dialogOwner, int line1, int line2, int bar)
        : window_(window), dialogOwner_(dialogOwner), line1_(line1), line2_(line2), bar_(bar) {}

    void SetActionText(const char* format, const char* text, int32_t number) override;
    void SetDetailText(const char* format, int32_t number, const char* text) override;
    void SetPosition(int32_t position) override;
    void Step(int32_t delta) override;
    void SetRange(int32_t max) override;

private:
    void Pump() const;

    HWND window_;
    HWND dialogOwner_;
    int line1_;
    int line2_;
    int bar_;
};
