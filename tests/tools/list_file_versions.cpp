// Lists the file version of every file in the folders named on the command line, one line per file:
// "path size versionMS versionLS" in hexadecimal, or "path size none none". Built for Windows and run
// under Wine, it records what the Windows version API says (tests/data/pe-versions-wine.txt); built
// natively, what our own reader says, for the cross-platform comparison in tests/e2e.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/FileInfo.h"
#include "platform/FindFiles.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string folder = argv[i];
        std::vector<platform::FoundEntry> entries = platform::FindFiles(folder + "\\*.*");
        std::sort(entries.begin(), entries.end(),
                  [](const platform::FoundEntry& a, const platform::FoundEntry& b) { return a.name < b.name; });
        for (const platform::FoundEntry& entry : entries) {
            const std::string path = folder + "\\" + entry.name;
            platform::FileInfo info;
            if (entry.isFolder || !platform::GetFileInfo(path, &info)) {
                continue;
            }
            // Lines name the file by its POSIX path, as the native test finds it.
            std::string posix = path.substr(2);
            std::replace(posix.begin(), posix.end(), '\\', '/');
            uint32_t ms = 0;
            uint32_t ls = 0;
            if (platform::GetFileVersion(path, &ms, &ls)) {
                std::printf("%s %llu %08x %08x\n", posix.c_str(), static_cast<unsigned long long>(info.size), ms, ls);
            } else {
                std::printf("%s %llu none none\n", posix.c_str(), static_cast<unsigned long long>(info.size));
            }
        }
    }
    return 0;
}
