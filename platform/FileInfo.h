#pragma once

#include <cstdint>
#include <string>

// What the model records about a file on the authoring machine: its length, its last-write time and the
// file version from its version resource.
namespace platform {

struct FileInfo {
    uint64_t size = 0;
    // Last-write time as a Win32 FILETIME: 100-nanosecond units since 1601-01-01, UTC.
    uint64_t lastWriteTime = 0;
};

// False when the path does not name a readable file (a folder is not a file).
bool GetFileInfo(const std::string& modelPath, FileInfo* info);

// The file version held by the root block of the file's version resource: the major and minor numbers
// (versionMS) and the build and revision numbers (versionLS). False, with both left untouched, when the
// file has no readable version resource.
bool GetFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS);

}  // namespace platform
