#pragma once

#include <windows.h>

#include <string>

#include "setup/engine/SetupLog.h"

// The setup program's log file. Lines are UTF-8 (converted from the ANSI code page the program works in)
// without a byte-order mark, each ended by CR LF and written through at once, so that the file is whole
// up to the last event whatever ends the run. Another program may read it while the run goes on.
class LogFile : public SetupLog {
public:
    LogFile() = default;
    ~LogFile() override { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Creates the file (replacing one that is there); false with the system's reason when it cannot.
    bool Open(const std::string& path, std::string* error);
    void Close();
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    const std::string& Path() const { return path_; }

    void Write(const std::string& event, const std::string& detail) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string path_;
};

// ANSI text as UTF-8.
std::string AnsiToUtf8(const std::string& text);
