#include "platform/Paths.h"
#include "platform/TSSException.h"
#include "setup/engine/FolderPaths.h"
#include "setup/install/Steps.h"

namespace {

// The system's text for an error number, without its line end.
std::string SystemText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) {
        LocalFree(text);
    }
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) {
        result.pop_back();
    }
    return result.empty() ? "Error " + std::to_string(error) + "!" : result;
}

}  // namespace

void MakeFolderPath(const std::string& path) {
    if (platform::FolderExists(path)) {
        return;
    }
    for (const std::string& folder : FoldersToCreate(path)) {
        if (!platform::FolderExists(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) {
            throw CTSSException(SystemText(GetLastError()));  // a file in the way included
        }
    }
}
