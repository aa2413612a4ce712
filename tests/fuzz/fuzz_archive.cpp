// libFuzzer target for the archive reader: every input must load, or be refused with CTSException,
// without reading outside the file, looping or crashing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

#include "cli/ArchiveDump.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

// The folder for the input file and the files the archive embeds, removed when the fuzzer ends.
struct ScratchFolder {
    std::string path = platform::MakeTempFolder("tessaro-fuzz-");
    ~ScratchFolder() { platform::RemoveTree(path); }
};

const std::string& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

void KeyedLoad(const std::string& path) {
    CTreeArchive ar("TSFile", kSetupProgram);
    if (!ar.OpenForLoad(path)) {
        return;
    }
    int32_t number = 0;
    std::string text;
    uint8_t guid[16];
    ar.ExchangeInt("Min95", &number, 0);
    ar.ExchangeString("ProductName", &text, "");
    ar.ExchangeBlock("ProductGUID", guid, sizeof guid);
    if (ar.BeginObject("TSDatabase")) {
        if (ar.BeginObject("RootFolders")) {
            for (int i = 0; i < ar.ChildCount() && i < 64; ++i) {
                if (ar.BeginObject("Arr" + std::to_string(i))) {
                    ar.ExchangeString("Name", &text, "");
                    ar.EndObject();
                }
            }
            ar.EndObject();
        }
        ar.ExchangeInt("Min95", &number, 0);
        ar.EndObject();
    }
    ar.ExchangeFile(Folder() + "\\TSFiles.cab");
    ar.ExchangeFile(Folder() + "\\License1.txt");
    ar.CloseAfterLoad();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = Folder() + "\\input.tsp";
    if (FILE* file = std::fopen(platform::ToNativePath(path).c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    NullBuffer sink;
    std::ostream out(&sink);
    try {
        DumpArchive(path, out);
    } catch (const CTSException&) {
    }
    try {
        KeyedLoad(path);
    } catch (const CTSException&) {
    }
    return 0;
}
