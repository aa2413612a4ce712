#pragma once

#include <string>
#include <vector>

namespace platform {

struct FoundEntry {
    std::string name;  // the entry's name alone, without its folder
    bool isFolder = false;
};

// The entries of a folder whose names match a wildcard pattern: pattern is a model path whose last part
// may hold * and ? ("C:\Data\*.txt"). The entries "." and ".." are never returned. The names are matched
// by WildcardMatch on every platform, so a folder gives the same list wherever it is searched. An empty
// list when the folder does not exist.
std::vector<FoundEntry> FindFiles(const std::string& pattern);

struct FileBelow {
    std::string path;          // the file's model path
    std::string relativeName;  // its path below the folder searched ("Sub\\a.txt")
};

// Every file below a folder at any depth, in name order within each folder.
std::vector<FileBelow> FilesBelow(const std::string& folder);

// Whether a name matches a pattern the way Windows matches file names: without regard to case; * stands
// for any run of characters, ? for one; "*.*" matches every name, a pattern ending in ".*" also matches
// the names without a dot, and a pattern ending in "." only matches names without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace platform
