#include "builder/BuildOutput.h"

namespace {

std::string Format(const char* pattern, const std::string* first, const std::string* second) {
    if (first == nullptr) {
        return pattern;
    }
    const std::string* arguments[2] = {first, second};
    int next = 0;
    std::string text;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < 2 && arguments[next] != nullptr) {
                text += *arguments[next];
            }
            ++next;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            text += '%';
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

}  // namespace

void BuildOutput::Clear() {
    errors_ = warnings_ = 0;
    ClearLines();
}

void BuildOutput::Report(Kind kind, const char* pattern, const std::string* first, const std::string* second) {
    if (kind == Kind::kError) {
        ++errors_;
    } else if (kind == Kind::kWarning) {
        ++warnings_;
    }
    ShowLine(kind, Format(pattern, first, second));
}

void BuildOutput::Error(const char* pattern) { Report(Kind::kError, pattern, nullptr, nullptr); }
void BuildOutput::Error(const char* pattern, const std::string& first) {
    Report(Kind::kError, pattern, &first, nullptr);
}
void BuildOutput::Error(const char* pattern, const std::string& first, const std::string& second) {
    Report(Kind::kError, pattern, &first, &second);
}
void BuildOutput::Warning(const char* pattern) { Report(Kind::kWarning, pattern, nullptr, nullptr); }
void BuildOutput::Warning(const char* pattern, const std::string& first) {
    Report(Kind::kWarning, pattern, &first, nullptr);
}
void BuildOutput::Warning(const char* pattern, const std::string& first, const std::string& second) {
    Report(Kind::kWarning, pattern, &first, &second);
}
void BuildOutput::Information(const char* pattern) { Report(Kind::kInformation, pattern, nullptr, nullptr); }
void BuildOutput::Information(const char* pattern, const std::string& first) {
    Report(Kind::kInformation, pattern, &first, nullptr);
}
void BuildOutput::Information(const char* pattern, const std::string& first, const std::string& second) {
    Report(Kind::kInformation, pattern, &first, &second);
}

std::vector<std::string> BuildOutputLines::Texts(Kind kind) const {
    std::vector<std::string> texts;
    for (const Line& line : lines_) {
        if (line.kind == kind) {
            texts.push_back(line.text);
        }
    }
    return texts;
}

bool BuildOutputLines::Has(Kind kind, const std::string& text) const {
    for (const Line& line : lines_) {
        if (line.kind == kind && line.text == text) {
            return true;
        }
    }
    return false;
}

std::string CommandLineText(BuildOutput::Kind kind, const std::string& text) {
    switch (kind) {
        case BuildOutput::Kind::kError:
            return "error: " + text;
        case BuildOutput::Kind::kWarning:
            return "warning: " + text;
        default:
            return text;
    }
}
