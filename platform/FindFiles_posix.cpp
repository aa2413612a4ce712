#include <dirent.h>
#include <sys/stat.h>

#include "platform/FindFiles.h"
#include "platform/Paths.h"

namespace platform {

std::vector<FoundEntry> FindFiles(const std::string& pattern) {
    std::vector<FoundEntry> found;
    const size_t slash = pattern.find_last_of('\\');
    // The folder keeps its backslash, so that "\\*.*" searches the root rather than nothing.
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    const std::string nativeFolder = folder.empty() ? "." : ToNativePath(folder);
    DIR* dir = opendir(nativeFolder.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(namePattern, name)) {
            continue;
        }
        struct stat status;
        const std::string path = nativeFolder + (nativeFolder.back() == '/' ? "" : "/") + name;
        if (stat(path.c_str(), &status) != 0) {
            continue;  // a dangling link or an entry that vanished meanwhile
        }
        found.push_back(FoundEntry{name, S_ISDIR(status.st_mode)});
    }
    closedir(dir);
    return found;
}

}  // namespace platform
