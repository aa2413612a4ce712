#include <windows.h>

#include <vector>

#include "platform/FileInfo.h"

namespace platform {

bool GetFileInfo(const std::string& modelPath, FileInfo* info) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(modelPath.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    info->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info->lastWriteTime =
        (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool GetFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(modelPath.c_str(), &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(modelPath.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD) {
        return false;
    }
    *versionMS = fixed->dwFileVersionMS;
    *versionLS = fixed->dwFileVersionLS;
    return true;
}

}  // namespace platform
