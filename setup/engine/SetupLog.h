#pragma once

#include <string>

// The setup program's log: one line per event, what each step did and why, for the person or the
// deployment tool that reads it after a run. Lines reach the log within a fraction of a second of their
// event, and all of them before the run waits for a person and when it ends, so that a run that ends early
// still leaves everything up to its end.

struct LogTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "YYYY-MM-DD HH:MM:SS  Event: detail", or without ": detail" when the detail is empty. Line breaks,
// tabs and other control characters in the event or the detail become one blank each run of them, so
// that a message of several lines stays on its event's line; blanks at the ends of the detail go.
std::string FormatLogLine(const LogTime& time, const std::string& event, const std::string& detail);

// Where the log lines go. The setup program writes a file; tests keep the lines.
class SetupLog {
public:
    virtual ~SetupLog() = default;
    virtual void Write(const std::string& event, const std::string& detail) = 0;
    // Lines that a log keeps back to write several at once go out now.
    virtual void Flush() {}
};

// The log's name in the user's temporary folder when a run that had no log file of its own fails.
constexpr char kKeptLogTitle[] = "TSSetup.log";
// The log's name in the run's private temporary folder, beside the unpacked database.
constexpr char kRunLogTitle[] = "Setup.log";
