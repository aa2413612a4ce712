// Loads project files padded with junk: a new project whose file list holds N entries that name no file
// (the list's count is taken from the object, so each is looked up), for growing N. Prints the file size,
// the load time and the time per padding entry, which stays flat when loading is linear in the file's size.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

namespace {

using Clock = std::chrono::steady_clock;

// Copies the current object of in to out, entry by entry; the empty "Files" gets the padding.
void Copy(CTreeArchive& in, CTreeArchive& out, uint32_t padding) {
    const int count = in.ChildCount();
    for (int i = 0; i < count; ++i) {
        ArchiveEntry entry;
        in.PeekEntry(&entry);
        if (entry.count > 0) {
            in.BeginObject(entry.name);
            out.BeginObject(entry.name);
            Copy(in, out, padding);
            out.EndObject();
            in.EndObject();
        } else if (entry.name == "Files" && in.Depth() == 2) {
            in.ReadLeaf(0);
            out.BeginObject(entry.name);
            for (uint32_t n = 0; n < padding; ++n) {
                uint8_t junk = 0;
                out.ExchangeBool("J" + std::to_string(n), &junk, 0);
            }
            out.EndObject();
        } else {
            std::vector<uint8_t> bytes = in.ReadLeaf(entry.size);
            out.ExchangeValue(entry.name, bytes.size(), bytes.data(), nullptr);
        }
    }
}

}  // namespace

int main() {
    const std::string folder = platform::MakeTempFolder("tessaro-bench-");
    const std::string plain = folder + "\\plain.tsp";
    const std::string padded = folder + "\\padded.tsp";
    {
        CProject project;
        SaveProjectFile(project, plain);
    }
    std::printf("padded project files: a new project with N junk entries in its file list\n");
    std::printf("%10s %10s %12s %16s\n", "N", "MB", "load s", "us per entry");
    for (uint32_t padding : {20000u, 80000u, 320000u, 560000u}) {
        {
            CTreeArchive in(kMainClass, kLoadProject);
            CTreeArchive out(kMainClass, kSaveProject);
            in.OpenForLoad(plain);
            out.OpenForSave(padded);
            Copy(in, out, padding);
            out.CloseAfterSave();
            in.CloseAfterLoad();
        }
        std::vector<uint8_t> bytes;
        platform::File::ReadAll(padded, &bytes);
        const auto start = Clock::now();
        CProject project;
        try {
            if (!LoadProjectFile(project, padded)) {
                std::fprintf(stderr, "padded_archive_bench: the padded file did not open\n");
                return 1;
            }
        } catch (const CTSException& e) {
            std::fprintf(stderr, "padded_archive_bench: %s\n", e.Message().c_str());
            return 1;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%10u %10.2f %12.3f %16.3f\n", padding, static_cast<double>(bytes.size()) / 1e6, seconds,
                    seconds * 1e6 / padding);
    }
    platform::RemoveTree(folder);
    return 0;
}
