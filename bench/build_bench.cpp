// Builds CD media for a large project (up to 2000 files of the shared corpus, about 200 MB) with the media
// builder, and prints the time of each build step and the compression throughput, beside gcab compressing
// the same files into one cabinet in the same run.
// build_bench [RAW_SETUP OUT]: with a setup program's image, the media are built around it into OUT and
// kept there (the install benchmark runs them); the gcab comparison is left out then.
#include <chrono>
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
constexpr size_t kMaxInputs = 2000;  // the install benchmark's product (many_files_bench has more files)

// Notes when each step starts: a step is named by the information line that opens it; the files'
// "Compressing" lines belong to one step.
class TimedOutput : public BuildOutput {
public:
    struct Step {
        std::string name;
        Clock::time_point start;
    };
    std::vector<Step> steps;

protected:
    void ShowLine(Kind kind, const std::string& text) override {
        if (kind != Kind::kInformation) {
            std::printf("  %s\n", CommandLineText(kind, text).c_str());
            return;
        }
        const std::string name = text.rfind("Compressing", 0) == 0 ? "Compressing the data cabinets"
                                 : text.rfind("Making \"", 0) == 0 ? "Making Setup.exe"
                                                                    : text;
        if (steps.empty() || steps.back().name != name) {
            steps.push_back({name, Clock::now()});
        }
    }
};

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = platform::ToModelPath(argc > 0 ? argv[0] : "build_bench");
    const std::string folder = self.substr(0, self.find_last_of('\\'));
    const std::string corpus = bench::MakeCorpus(folder + "\\cabinet-bench");
    std::vector<bench::Input> inputs = bench::CorpusFiles(corpus);
    if (inputs.size() > kMaxInputs) {
        inputs.resize(kMaxInputs);
    }
    uint64_t total = 0;
    for (const bench::Input& i : inputs) {
        total += i.size;
    }
    const double mb = static_cast<double>(total) / 1e6;
    std::printf("project: %zu files, %.1f MB (Wine's PE DLLs and text files); load %s\n", inputs.size(), mb,
                bench::LoadAverage().c_str());

    const bool keepMedia = argc == 3;
    const std::string work = folder + "\\build-bench";
    platform::RemoveTree(work);
    platform::CreateFolderPath(work);
    const std::string raw = keepMedia ? platform::ToModelPath(argv[1]) : work + "\\TSS.dat";
    const std::string out = keepMedia ? platform::ToModelPath(argv[2]) : work + "\\out";
    if (!keepMedia) {
        platform::File image;
        image.Open(raw, platform::File::Mode::Replace);
        std::vector<uint8_t> bytes(300000, 0x90);
        image.Write(bytes.data(), bytes.size());
        image.Close();
    }

    CProject project;
    project.Reset();
    project.productName = "Bench";
    project.productVersion = "1.0";
    project.target = "<program files>\\Tessaro Bench";
    project.ui.readmeOption = kDoNotOffer;
    project.ui.showPage[kLicensePage] = 0;
    CFolder* target = project.rootFolders[0];
    for (const bench::Input& i : inputs) {
        const std::string sub = i.name.substr(0, i.name.find('\\'));
        CFolder* into = target->FindChild(sub);
        if (into == nullptr) {
            into = target->AddChild(std::make_unique<CFolder>(sub));
        }
        project.AddFile(i.path, into);
    }
    project.rootFeature.children[0]->folders.Add(target);

    TimedOutput output;
    CMediaBuild build;
    const auto start = Clock::now();
    const bool built = build.Build(project, output, BuildOptions{out, raw});
    const auto end = Clock::now();
    if (!built) {
        std::printf("the build failed\n");
        return 1;
    }
    std::printf("media build (CD), by step:\n");
    double compress = 0;
    for (size_t i = 0; i + 1 < output.steps.size(); ++i) {
        const double s = Seconds(output.steps[i].start, output.steps[i + 1].start);
        if (output.steps[i].name == "Compressing the data cabinets") {
            compress = s;
        }
        std::printf("  %-45s %8.2f s\n", output.steps[i].name.c_str(), s);
    }
    const uint64_t cabinet = bench::FileSize(platform::ToNativePath(out + "\\CD\\CD1\\TSData1.cab"));
    std::printf("  %-45s %8.2f s\n", "whole build", Seconds(start, end));
    std::printf("  data cabinets: %.1f MB/s, %.1f MB (%.0f%%)\n", mb / compress, cabinet / 1e6,
                100.0 * static_cast<double>(cabinet) / static_cast<double>(total));

    if (keepMedia) {
        platform::RemoveTree(work);
        return 0;
    }

    // gcab on the same files, MSZIP, one cabinet.
    std::string command = "cd '" + platform::ToNativePath(corpus) + "' && gcab -c -z '" +
                          platform::ToNativePath(work) + "/gcab.cab'";
    for (const bench::Input& i : inputs) {
        std::string name = i.name;
        for (char& c : name) {
            c = c == '\\' ? '/' : c;
        }
        command += " '" + name + "'";
    }
    const auto gcabStart = Clock::now();
    const int status = std::system(command.c_str());
    const double gcab = Seconds(gcabStart, Clock::now());
    if (status != 0) {
        std::printf("gcab failed\n");
        return 1;
    }
    const uint64_t gcabSize = bench::FileSize(platform::ToNativePath(work) + "/gcab.cab");
    std::printf("gcab -c -z, same files:                        %8.2f s, %.1f MB/s, %.1f MB\n", gcab, mb / gcab,
                gcabSize / 1e6);
    platform::RemoveTree(work);
    return 0;
}
