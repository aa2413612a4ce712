// libFuzzer target for the setup program's load of a project: every input loads, or is refused with
// CTSException, without crashing or reading outside the file. What loads stores again, and the store is
// stable: a project loaded from a stored copy stores the same bytes once the load-time rules have settled
// (the second copy equals the third).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

struct ScratchFolder {
    std::string path = platform::MakeTempFolder("tessaro-fuzz-project-");
    ~ScratchFolder() { platform::RemoveTree(path); }
};

const std::string& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

bool Load(CProject& project, const std::string& path) {
    CTreeArchive ar(kMainClass, kSetupProgram);
    if (!ar.OpenForLoad(path)) {
        return false;
    }
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterLoad();
    return true;
}

std::vector<uint8_t> StoreAndRead(CProject& project, const std::string& path) {
    CTreeArchive ar(kMainClass, kSetupProgram);
    ar.OpenForSave(path);
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterSave();
    std::vector<uint8_t> bytes;
    platform::File::ReadAll(path, &bytes);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = Folder() + "\\input.dat";
    if (FILE* file = std::fopen(platform::ToNativePath(input).c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    CProject first;
    try {
        if (!Load(first, input)) {
            return 0;
        }
    } catch (const CTSException&) {
        return 0;
    }
    const std::string copy = Folder() + "\\copy.dat";
    StoreAndRead(first, copy);
    CProject second;
    if (!Load(second, copy)) {
        std::abort();
    }
    const std::vector<uint8_t> secondBytes = StoreAndRead(second, copy);
    CProject third;
    if (!Load(third, copy) || StoreAndRead(third, copy) != secondBytes) {
        std::abort();
    }
    return 0;
}
