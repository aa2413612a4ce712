#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "setup/engine/ProgressSink.h"

// Whether enough time has passed since the last thing shown or written: a few times a second at most.
class Pace {
public:
    static constexpr uint32_t kIntervalMs = 200;

    // True for the first call, then once kIntervalMs have passed since the last call that answered true.
    bool Due(uint64_t nowMs) {
        if (started_ && nowMs - lastMs_ < kIntervalMs) {
            return false;
        }
        started_ = true;
        lastMs_ = nowMs;
        return true;
    }

private:
    bool started_ = false;
    uint64_t lastMs_ = 0;
};

// Progress passed on to a sink at the pace of a person's eye instead of once a file: the detail line and
// the bar's steps wait until their time comes (the latest detail and the sum of the steps), while a new
// action, range or position goes through at once, after whatever was waiting. Flush shows what waits.
class PacedProgress : public ProgressSink {
public:
    // clockMs gives a time in milliseconds that never goes back.
    PacedProgress(ProgressSink& shown, std::function<uint64_t()> clockMs)
        : shown_(shown), clockMs_(std::move(clockMs)) {}

    void SetActionText(const char* format, const char* text, int32_t number) override;
    void SetDetailText(const char* format, int32_t number, const char* text) override;
    void SetPosition(int32_t position) override;
    void Step(int32_t delta) override;
    void SetRange(int32_t max) override;
    void Flush();

private:
    void ShowIfDue();

    ProgressSink& shown_;
    std::function<uint64_t()> clockMs_;
    Pace pace_;
    bool detailWaits_ = false;
    std::string detailFormat_;
    int32_t detailNumber_ = 0;
    bool detailHasText_ = false;
    std::string detailText_;
    int32_t stepsWaiting_ = 0;
};
