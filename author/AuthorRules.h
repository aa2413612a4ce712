#pragma once

// The authoring program's rules that need no window: its command line and its recent-file list.
#include <string>
#include <vector>

namespace author_rules {

struct CommandLine {
    std::string projectPath;  // empty when the line names no project
    std::string options;
    bool BuildAndExit() const { return options.find('B') != std::string::npos; }
};

// The project path and the options of the program's command line. A path in double quotes is taken whole,
// spaces included, and the options follow it; a bare path ends at the first space, comma or hyphen.
CommandLine ParseCommandLine(const std::string& line);

// A path shortened to at most maxLength characters for a menu: the drive or first folder, "...", and as
// many of the last parts as fit.
std::string ShortenPath(const std::string& path, size_t maxLength = 30);

// The most recently used project files, most recent first, at most kMaxEntries, each path once (compared
// without regard to case).
class RecentFiles {
public:
    static constexpr size_t kMaxEntries = 8;

    const std::vector<std::string>& Entries() const { return entries_; }
    void Add(const std::string& path);
    void Remove(const std::string& path);
    // Replaces the list with stored entries, dropping empty ones, duplicates and those past the limit.
    void Assign(const std::vector<std::string>& stored);

private:
    std::vector<std::string> entries_;
};

}  // namespace author_rules
