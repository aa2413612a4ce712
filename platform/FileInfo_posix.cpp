#include <sys/stat.h>

#include "platform/FileInfo.h"
#include "platform/Paths.h"
#include "platform/PeVersion.h"

namespace platform {

namespace {
// Seconds from 1601-01-01 (the FILETIME epoch) to 1970-01-01 (the POSIX epoch).
constexpr uint64_t kEpochDifference = 11644473600ull;
}  // namespace

bool GetFileInfo(const std::string& modelPath, FileInfo* info) {
    struct stat status;
    if (stat(ToNativePath(modelPath).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    info->size = static_cast<uint64_t>(status.st_size);
    const int64_t seconds = status.st_mtim.tv_sec;
    // Times before 1601 do not exist for Windows; they are taken as its epoch.
    info->lastWriteTime =
        seconds < -static_cast<int64_t>(kEpochDifference)
            ? 0
            : (static_cast<uint64_t>(seconds + static_cast<int64_t>(kEpochDifference)) * 10000000ull +
               static_cast<uint64_t>(status.st_mtim.tv_nsec) / 100);
    return true;
}

bool GetFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS) {
    return ReadPeFileVersion(modelPath, versionMS, versionLS);
}

}  // namespace platform
