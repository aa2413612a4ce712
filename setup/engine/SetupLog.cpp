#include "setup/engine/SetupLog.h"

#include "platform/Format.h"

namespace {

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// One line: each run of control characters becomes one blank; blanks at both ends go.
std::string OneLine(const std::string& text) {
    std::string line;
    bool inControls = false;
    for (char c : text) {
        if (IsControl(c)) {
            if (!inControls) {
                line += ' ';
            }
            inControls = true;
            continue;
        }
        inControls = false;
        line += c;
    }
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string FormatLogLine(const LogTime& time, const std::string& event, const std::string& detail) {
    char stamp[32];
    platform::FormatTo(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ", time.year, time.month,
                       time.day, time.hour, time.minute, time.second);
    std::string line = stamp + OneLine(event);
    const std::string text = OneLine(detail);
    if (!text.empty()) {
        line += ": " + text;
    }
    return line;
}
