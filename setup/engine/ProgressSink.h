#pragma once

#include <cstdint>

// Where a long run reports: two text lines and a progress bar. The wizard's progress page and the
// stand-alone progress window show them; silent runs have no sink.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Line 1: the format alone when text is null; else the format applied to (text) or, when number is not
    // 0, to (text, number).
    virtual void SetActionText(const char* format, const char* text, int32_t number) = 0;
    // Line 2: the format alone when number is 0; else the format applied to (number) or, when text is not
    // null, to (number, text).
    virtual void SetDetailText(const char* format, int32_t number, const char* text) = 0;
    virtual void SetPosition(int32_t position) = 0;
    virtual void Step(int32_t delta) = 0;
    // -1 hides the bar; otherwise the range is 0 to max and the bar is shown.
    virtual void SetRange(int32_t max) = 0;
};
