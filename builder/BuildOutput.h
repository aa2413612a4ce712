#pragma once

#include <string>
#include <vector>

// The build output list: the lines that a check and a build report, each an error, a warning or an
// information line, with the counts of errors and warnings. The authoring program's Setup Media page, the
// command line and the tests each supply their own ShowLine; the counting and formatting live here.
class BuildOutput {
public:
    enum class Kind { kError, kWarning, kInformation };

    virtual ~BuildOutput() = default;

    // Sets both counters to 0 and empties the list (the start of every build).
    void Clear();

    // A report takes a pattern and up to two string arguments. Without arguments the pattern is shown as
    // it stands; with them, each "%s" of the pattern takes the next argument and "%%" gives one "%". The
    // arguments are never read as patterns themselves.
    void Error(const char* pattern);
    void Error(const char* pattern, const std::string& first);
    void Error(const char* pattern, const std::string& first, const std::string& second);
    void Warning(const char* pattern);
    void Warning(const char* pattern, const std::string& first);
    void Warning(const char* pattern, const std::string& first, const std::string& second);
    void Information(const char* pattern);
    void Information(const char* pattern, const std::string& first);
    void Information(const char* pattern, const std::string& first, const std::string& second);

    int Errors() const { return errors_; }
    int Warnings() const { return warnings_; }

protected:
    // Appends one line at the end of the list and shows it at once.
    virtual void ShowLine(Kind kind, const std::string& text) = 0;
    // Empties the list.
    virtual void ClearLines() {}

private:
    void Report(Kind kind, const char* pattern, const std::string* first, const std::string* second);

    int errors_ = 0;
    int warnings_ = 0;
};

// An output list that keeps its lines, for tests and for callers that show them later.
class BuildOutputLines : public BuildOutput {
public:
    struct Line {
        Kind kind;
        std::string text;
    };
    const std::vector<Line>& Lines() const { return lines_; }
    // The texts of the lines of one kind, in order.
    std::vector<std::string> Texts(Kind kind) const;
    // Whether a line of that kind has exactly that text.
    bool Has(Kind kind, const std::string& text) const;

protected:
    void ShowLine(Kind kind, const std::string& text) override { lines_.push_back({kind, text}); }
    void ClearLines() override { lines_.clear(); }

private:
    std::vector<Line> lines_;
};

// The text of a line as the command line prints it: information as it is, others as "warning: ..." and
// "error: ...".
std::string CommandLineText(BuildOutput::Kind kind, const std::string& text);
