#include "platform/Paths.h"

namespace platform {

std::string FileTitle(const std::string& modelPath) {
    size_t slash = modelPath.find_last_of('\\');
    return slash == std::string::npos ? modelPath : modelPath.substr(slash + 1);
}

}  // namespace platform
