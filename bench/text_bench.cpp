// The text form beside the project file for a project of 2000 files in 100 folders, with a shortcut, a
// registry value and a feature entry per ten files: prints the best of five rounds of saving and loading
// the .tsp and of exporting and importing the .toml. Both loads read size, time and version from the same
// 2000 source files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "text/ProjectText.h"

namespace {

constexpr int kFiles = 2000;
constexpr int kFolders = 100;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

template <typename Work>
double BestSeconds(Work work) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void BuildProject(CProject& project, const std::string& folder) {
    project.Reset();
    project.productName = "Bench";
    std::vector<CFolder*> folders;
    for (int i = 0; i < kFolders; ++i) {
        folders.push_back(
            project.rootFolders[0]->AddChild(std::make_unique<CFolder>("Folder" + std::to_string(i))));
    }
    CRegItem* key = project.rootRegs[2]->AddChild(std::make_unique<CRegItem>("Bench", 0));
    CFeature* main = project.rootFeature.children[0];
    for (int i = 0; i < kFiles; ++i) {
        const std::string source = folder + "\\file" + std::to_string(i) + ".dat";
        platform::File file;
        file.Open(source, platform::File::Mode::Replace);
        file.Write(source.data(), source.size());
        file.Close();
        CFileItem* added = project.AddFile(source, folders[static_cast<size_t>(i % kFolders)]);
        if (i % 10 == 0) {
            auto shortcut = std::make_unique<CShortcut>();
            shortcut->folder = added->folder;
            shortcut->name = "Shortcut" + std::to_string(i);
            shortcut->target = added;
            project.shortcuts.Add(std::move(shortcut));
            CRegItem* value = key->AddChild(std::make_unique<CRegItem>("Value" + std::to_string(i), 1));
            value->value = added->TargetPath();
            main->files.Add(added);
            main->regValues.Add(value);
        }
    }
}

}  // namespace

int main() {
    const std::string folder = platform::MakeTempFolder("tessaro-text-bench-");
    CProject project;
    BuildProject(project, folder);
    const std::string tsp = folder + "\\bench.tsp";
    const std::string toml = folder + "\\bench.toml";

    const double save = BestSeconds([&] { SaveProjectFile(project, tsp); });
    const double load = BestSeconds([&] {
        CProject loaded;
        LoadProjectFile(loaded, tsp);
    });
    std::string text;
    const double exportText = BestSeconds([&] { text = project_text::WriteProjectText(project, toml); });
    const double importText = BestSeconds([&] {
        CProject read;
        project_text::ReadProjectText(read, text, toml, "bench.toml", tsp);
    });
    CProject read;
    project_text::ReadProjectText(read, text, toml, "bench.toml", tsp);
    const bool same = project_text::WriteProjectText(read, toml) == text;
    std::vector<uint8_t> bytes;
    platform::File::ReadAll(tsp, &bytes);
    platform::RemoveTree(folder);
    if (!same) {
        std::fprintf(stderr, "text_bench: the imported project does not export the same text\n");
        return 1;
    }
    std::printf("text form: %d files, %d folders (best of %d rounds)\n", kFiles, kFolders, kRounds);
    std::printf("  .tsp  save %7.1f ms   load   %7.1f ms   (%zu bytes)\n", save * 1e3, load * 1e3,
                bytes.size());
    std::printf("  .toml write %6.1f ms   import %7.1f ms   (%zu bytes)\n", exportText * 1e3,
                importText * 1e3, text.size());
    return 0;
}
