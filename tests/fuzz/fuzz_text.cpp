// libFuzzer target for the text form of a project: every input reads, or is refused with TextError,
// without crashing. What reads writes again, and the text is stable: reading the written text and writing
// it once more gives the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Project.h"
#include "platform/Paths.h"
#include "text/ProjectText.h"

namespace {

struct ScratchFolder {
    std::string path = platform::MakeTempFolder("tessaro-fuzz-text-");
    ~ScratchFolder() { platform::RemoveTree(path); }
};

const std::string& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string textPath = Folder() + "\\input.toml";
    const std::string projectPath = Folder() + "\\input.tsp";
    CProject first;
    try {
        project_text::ReadProjectText(first, std::string(reinterpret_cast<const char*>(data), size), textPath,
                                      "input.toml", projectPath);
    } catch (const project_text::TextError&) {
        return 0;
    }
    std::string written;
    std::string again;
    try {
        written = project_text::WriteProjectText(first, textPath);
        CProject second;
        project_text::ReadProjectText(second, written, textPath, "written.toml", projectPath);
        again = project_text::WriteProjectText(second, textPath);
    } catch (const project_text::TextError&) {
        std::abort();  // what was read must write and read again
    }
    if (again != written) {
        std::abort();
    }
    return 0;
}
