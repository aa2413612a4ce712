#include "setup/engine/FolderPaths.h"

namespace {

bool EndsInColon(const std::string& text) {
    return !text.empty() && text.back() == ':';
}

}  // namespace

std::vector<std::string> FoldersToCreate(const std::string& path) {
    std::vector<std::string> folders;
    if (!path.empty() && path.front() != '\\') {
        for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1)) {
            const std::string before = path.substr(0, cut);
            if (!EndsInColon(before)) {
                folders.push_back(before);
            }
        }
    }
    if (!EndsInColon(path)) {
        folders.push_back(path);
    }
    return folders;
}
