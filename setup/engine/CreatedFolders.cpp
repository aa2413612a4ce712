#include "setup/engine/CreatedFolders.h"

#include <algorithm>

#include "model/Text.h"
#include "platform/NoCase.h"

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// The folder is the path or one of its ancestors.
bool HoldsOrIs(const std::string& folder, const std::string& path) {
    if (!nocase::StartsWith(path, folder)) {
        return false;
    }
    return path.size() == folder.size() || path[folder.size()] == '\\';
}

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '\\')); }

}  // namespace

void CreatedFolders::Add(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    if (!folder.empty() && !Contains(folder)) {
        paths_.push_back(folder);
    }
}

bool CreatedFolders::Contains(const std::string& path) const {
    const std::string folder = WithoutTrailingBackslash(path);
    return std::any_of(paths_.begin(), paths_.end(),
                       [&](const std::string& made) { return text::EqualNoCase(made, folder); });
}

void CreatedFolders::Forget(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    paths_.erase(std::remove_if(paths_.begin(), paths_.end(),
                                [&](const std::string& made) { return text::EqualNoCase(made, folder); }),
                 paths_.end());
}

std::vector<std::string> CreatedFolders::UnwantedDeepestFirst(const std::vector<std::string>& wanted) const {
    std::vector<std::string> unwanted;
    for (const std::string& made : paths_) {
        const bool needed = std::any_of(wanted.begin(), wanted.end(), [&](const std::string& path) {
            return HoldsOrIs(made, WithoutTrailingBackslash(path));
        });
        if (!needed) {
            unwanted.push_back(made);
        }
    }
    std::stable_sort(unwanted.begin(), unwanted.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    return unwanted;
}
