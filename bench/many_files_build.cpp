// Builds CD media for a product of many small files (20000 by default) that a dynamic folder takes from a
// tree of 100 files per folder, and prints the time of each build step. many_files_bench.sh installs the
// media it leaves.
// many_files_build WORK RAW_SETUP [COUNT [DISK_SIZE]]: the sources go to WORK\source (made once, kept for
// the next run), the media to WORK\media; with DISK_SIZE the media are disks of that many bytes (one
// cabinet lists at most 65535 files, so a larger product needs a set). Prints the build's peak memory too.
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchCorpus.h"
#include "builder/BuildOutput.h"
#include "builder/MediaBuild.h"
#include "model/Project.h"
#include "platform/File.h"
#include "platform/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFilesPerFolder = 100;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The largest resident set of this process so far, in MB.
double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Prints the first line of each step with the time since the build began; errors and warnings as they come.
class StepOutput : public BuildOutput {
public:
    explicit StepOutput(Clock::time_point start) : start_(start) {}

protected:
    void ShowLine(Kind kind, const std::string& text) override {
        if (kind != Kind::kInformation) {
            std::printf("  %s\n", CommandLineText(kind, text).c_str());
            return;
        }
        const std::string step = text.rfind("Compressing", 0) == 0 ? "Compressing the data cabinets..." : text;
        if (step != last_) {
            std::printf("  %8.2f s  %s\n", Seconds(start_, Clock::now()), step.c_str());
            last_ = step;
        }
    }

private:
    Clock::time_point start_;
    std::string last_;
};

// Small text files of a few hundred bytes to a few kilobytes, each different; with noise, each also ends
// in about 1500 letters that hardly compress.
bool MakeSources(const std::string& source, int count, bool noise) {
    const std::string done = source + "\\complete-" + std::to_string(count);
    if (platform::FileExists(done)) {
        return true;
    }
    platform::RemoveTree(source);
    for (int i = 0; i < count; ++i) {
        const std::string folder = source + "\\set" + std::to_string(i / kFilesPerFolder);
        if (i % kFilesPerFolder == 0 && !platform::CreateFolderPath(folder)) {
            return false;
        }
        std::string text;
        for (int line = 0; line < 8 + (i * 7) % 90; ++line) {
            text += "file " + std::to_string(i) + " line " + std::to_string(line) + ": the quick brown fox\r\n";
        }
        uint32_t state = static_cast<uint32_t>(i) * 2654435761u + 1;
        for (int letter = 0; noise && letter < 1500; ++letter) {
            state = state * 1664525u + 1013904223u;
            text += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-"[state >> 26];
        }
        platform::File file;
        if (!file.Open(folder + "\\file" + std::to_string(i) + ".txt", platform::File::Mode::Replace)) {
            return false;
        }
        file.Write(text.data(), text.size());
        file.Close();
    }
    platform::File mark;
    return mark.Open(done, platform::File::Mode::Replace) && (mark.Close(), true);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: many_files_build WORK RAW_SETUP [COUNT [DISK_SIZE]]\n");
        return 2;
    }
    const std::string work = platform::ToModelPath(argv[1]);
    const std::string raw = platform::ToModelPath(argv[2]);
    const int count = argc >= 4 ? std::atoi(argv[3]) : 20000;
    const long diskSize = argc == 5 ? std::atol(argv[4]) : 0;
    // Disks are cut by size: the sources for them carry noise, so that no cabinet nears the 65535 files
    // that one can list.
    const std::string source = work + (diskSize > 0 ? "\\source-noisy" : "\\source");
    if (count <= 0 || !MakeSources(source, count, diskSize > 0)) {
        std::fprintf(stderr, "many_files_build: cannot make %d source files in %s\n", count, source.c_str());
        return 1;
    }

    CProject project;
    project.Reset();
    project.productName = "Many Files";
    project.productVersion = "1.0";
    project.target = "<program files>\\Tessaro Many";
    project.ui.readmeOption = kDoNotOffer;
    project.ui.showPage[kLicensePage] = 0;
    if (diskSize > 0) {
        project.mediaType = 3;  // disks of a size of one's own
        project.mediaSize = static_cast<int32_t>(diskSize);
    }
    CFolder* target = project.rootFolders[0];
    CFolder* data = target->AddChild(std::make_unique<CFolder>("Data"));
    data->isDynamic = true;
    data->dynamicPath = source;
    data->wildCards = "*.txt";
    project.rootFeature.children[0]->folders.Add(target);

    std::printf(
        "project: a dynamic folder of %d files in %d folders; load %s; %.1f MB resident before the build\n",
        count, (count + kFilesPerFolder - 1) / kFilesPerFolder, bench::LoadAverage().c_str(),
        PeakMegabytes());
    const auto start = Clock::now();
    StepOutput output(start);
    CMediaBuild build;
    BuildOptions options;
    options.outputFolder = work + "\\media";
    options.rawSetup = raw;
    const bool built = build.Build(project, output, options);
    const double seconds = Seconds(start, Clock::now());
    if (!built) {
        std::printf("the build failed\n");
        return 1;
    }
    std::printf("media build (%s) of %d files: %.2f s, %.0f files/s, peak memory %.1f MB\n",
                diskSize > 0 ? "disks" : "CD", count, seconds, count / seconds, PeakMegabytes());
    return 0;
}
