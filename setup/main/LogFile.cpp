#include "setup/main/LogFile.h"

#include <vector>

#include "win/SystemError.h"

std::string AnsiToUtf8(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const int wideSize =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideSize <= 0) {
        return text;
    }
    std::vector<wchar_t> wide(static_cast<size_t>(wideSize));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideSize);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return text;
    }
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

bool LogFile::Open(const std::string& path, std::string* error) {
    Close();
    pace_ = Pace();
    file_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        *error = win::SystemErrorText(GetLastError());
        return false;
    }
    path_ = path;
    return true;
}

void LogFile::Close() {
    if (file_ != INVALID_HANDLE_VALUE) {
        Flush();
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
}

void LogFile::Write(const std::string& event, const std::string& detail) {
    if (file_ == INVALID_HANDLE_VALUE) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    waiting_ += AnsiToUtf8(FormatLogLine(time, event, detail)) + "\r\n";
    constexpr size_t kMostWaiting = 64 * 1024;
    const uint64_t tick = clockMs_ ? clockMs_() : static_cast<uint64_t>(GetTickCount());
    if (pace_.Due(tick) || waiting_.size() >= kMostWaiting) {
        Flush();
    }
}

void LogFile::Flush() {
    if (waiting_.empty() || file_ == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file_, waiting_.data(), static_cast<DWORD>(waiting_.size()), &written, nullptr);
    waiting_.clear();
}
