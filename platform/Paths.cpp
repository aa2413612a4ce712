#include "platform/Paths.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/Format.h"

namespace platform {

std::string FileTitle(const std::string& modelPath) {
    size_t slash = modelPath.find_last_of('\\');
    return slash == std::string::npos ? modelPath : modelPath.substr(slash + 1);
}

std::string FolderPart(const std::string& modelPath) {
    const size_t slash = modelPath.find_last_of('\\');
    return slash == std::string::npos ? std::string() : modelPath.substr(0, slash);
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

std::string ReplaceWorkPath(const std::string& modelPath, unsigned attempt) {
    // The time, an address of this run and a count: names differ between runs and between calls, and the
    // exclusive creation of the work file makes up for any name that was taken after all.
    static std::atomic<uint32_t> calls{0};
    const uint64_t clock = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t mixed = clock * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&calls) ^
                           (static_cast<uint64_t>(calls.fetch_add(1)) << 40) ^ attempt;
    char part[24];
    platform::FormatTo(part, sizeof part, ".%08x", static_cast<unsigned>(mixed ^ (mixed >> 32)));
    return modelPath + part + ".new~";
}

}  // namespace platform
