#include <windows.h>

#include "platform/FindFiles.h"
#include "platform/Paths.h"

namespace platform {

std::vector<FoundEntry> FindFiles(const std::string& pattern) {
    std::vector<FoundEntry> found;
    const std::string namePattern = FileTitle(pattern);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        const std::string name = data.cFileName;
        // The system also matches the short 8.3 names ("*.htm" finds "page.html"); the long name decides.
        if (name != "." && name != ".." && WildcardMatch(namePattern, name)) {
            found.push_back(FoundEntry{name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

}  // namespace platform
