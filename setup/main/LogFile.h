#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "setup/engine/PacedProgress.h"
#include "setup/engine/SetupLog.h"

// The setup program's log file. Lines are UTF-8 (converted from the ANSI code page the program works in)
// without a byte-order mark, each ended by CR LF. They reach the file a few times a second (the first one
// at once), not one write a line: a copy of thousands of files logs a line for each. Close writes what
// waits. Another program may read the file while the run goes on.
class LogFile : public SetupLog {
public:
    // clockMs gives the time in milliseconds that paces the writes; the system's tick count by default.
    explicit LogFile(std::function<uint64_t()> clockMs = {}) : clockMs_(std::move(clockMs)) {}
    ~LogFile() override { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Creates the file (replacing one that is there); false with the system's reason when it cannot.
    bool Open(const std::string& path, std::string* error);
    void Close();
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    const std::string& Path() const { return path_; }

    void Write(const std::string& event, const std::string& detail) override;
    void Flush() override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string path_;
    std::function<uint64_t()> clockMs_;
    Pace pace_;
    std::string waiting_;  // lines not yet in the file
};

// ANSI text as UTF-8.
std::string AnsiToUtf8(const std::string& text);
