#include "platform/Paths.h"

namespace platform {

std::string FileTitle(const std::string& modelPath) {
    size_t slash = modelPath.find_last_of('\\');
    return slash == std::string::npos ? modelPath : modelPath.substr(slash + 1);
}

bool CreateFolderPath(const std::string& modelPath) {
    if (FolderExists(modelPath)) {
        return true;
    }
    size_t slash = modelPath.find_last_of('\\');
    if (slash != std::string::npos && slash > 0 && modelPath[slash - 1] != ':' && modelPath[slash - 1] != '\\') {
        CreateFolderPath(modelPath.substr(0, slash));
    }
    return CreateFolder(modelPath);
}

std::string ReplaceWorkPath(const std::string& modelPath) { return modelPath + ".new~"; }

}  // namespace platform
