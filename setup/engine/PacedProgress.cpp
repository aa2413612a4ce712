#include "setup/engine/PacedProgress.h"

void PacedProgress::SetActionText(const char* format, const char* text, int32_t number) {
    Flush();
    shown_.SetActionText(format, text, number);
}

void PacedProgress::SetDetailText(const char* format, int32_t number, const char* text) {
    detailWaits_ = true;
    detailFormat_ = format != nullptr ? format : "";
    detailNumber_ = number;
    detailHasText_ = text != nullptr;
    detailText_ = detailHasText_ ? text : "";
    ShowIfDue();
}

void PacedProgress::SetPosition(int32_t position) {
    Flush();
    shown_.SetPosition(position);
}

void PacedProgress::Step(int32_t delta) {
    stepsWaiting_ += delta;
    ShowIfDue();
}

void PacedProgress::SetRange(int32_t max) {
    Flush();
    shown_.SetRange(max);
}

void PacedProgress::ShowIfDue() {
    if (pace_.Due(clockMs_())) {
        Flush();
    }
}

void PacedProgress::Flush() {
    if (detailWaits_) {
        detailWaits_ = false;
        shown_.SetDetailText(detailFormat_.c_str(), detailNumber_, detailHasText_ ? detailText_.c_str() : nullptr);
    }
    if (stepsWaiting_ != 0) {
        const int32_t steps = stepsWaiting_;
        stepsWaiting_ = 0;
        shown_.Step(steps);
    }
}
