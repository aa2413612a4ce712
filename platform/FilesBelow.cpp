#include <algorithm>

#include "platform/FindFiles.h"

namespace platform {
namespace {

void Collect(const std::string& folder, const std::string& prefix, std::vector<FileBelow>* files) {
    std::vector<FoundEntry> entries = FindFiles(folder + "\\*");
    std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
    for (const FoundEntry& entry : entries) {
        const std::string path = folder + "\\" + entry.name;
        const std::string name = prefix.empty() ? entry.name : prefix + "\\" + entry.name;
        if (entry.isFolder) {
            Collect(path, name, files);
        } else {
            files->push_back({path, name});
        }
    }
}

}  // namespace

std::vector<FileBelow> FilesBelow(const std::string& folder) {
    std::vector<FileBelow> files;
    Collect(folder, "", &files);
    return files;
}

}  // namespace platform
