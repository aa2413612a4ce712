// Compresses a corpus of about 200 MB (Wine's PE DLLs and text files) into one cabinet with our engine
// and with gcab, and extracts our cabinet with our engine and with cabextract, all in the same run; prints
// MB/s and output size for each. Each figure is the best of a few rounds, as the machine is shared.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "cabinet/Cabinet.h"
#include "platform/File.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;
constexpr uint64_t kDllBytes = 150'000'000;
constexpr uint64_t kTextBytes = 50'000'000;

struct Input {
    std::string path;  // model path
    std::string name;  // name in the cabinet
    uint64_t size;
};

uint64_t FileSize(const std::string& native) {
    struct stat info;
    return stat(native.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool Copy(const std::string& from, const std::string& to) {
    std::vector<uint8_t> bytes;
    if (!platform::File::ReadAll(from, &bytes)) {
        return false;
    }
    platform::File out;
    if (!out.Open(to, platform::File::Mode::Replace)) {
        return false;
    }
    if (!bytes.empty()) {
        out.Write(bytes.data(), bytes.size());
    }
    out.Close();
    return true;
}

// Copies files from a folder tree into corpus\<kind> until the budget is spent (file names flattened).
void Gather(const std::string& from, const std::string& to, const std::string& prefix, uint64_t* budget,
            const std::function<bool(const std::string&)>& wanted) {
    for (const platform::FoundEntry& entry : platform::FindFiles(from + "\\*")) {
        if (*budget == 0) {
            return;
        }
        std::string path = from + "\\" + entry.name;
        if (entry.isFolder) {
            Gather(path, to, prefix + entry.name + "_", budget, wanted);
            continue;
        }
        uint64_t size = FileSize(platform::ToNativePath(path));
        if (size == 0 || size > *budget || !wanted(entry.name)) {
            continue;
        }
        if (Copy(path, to + "\\" + prefix + entry.name)) {
            *budget -= size;
        }
    }
}

std::string MakeCorpus(const std::string& root) {
    std::string corpus = root + "\\corpus";
    if (platform::FileExists(corpus + "\\complete")) {
        return corpus;
    }
    std::printf("building the corpus in %s (once)\n", platform::ToNativePath(corpus).c_str());
    platform::RemoveTree(corpus);
    platform::CreateFolderPath(corpus + "\\dll");
    platform::CreateFolderPath(corpus + "\\text");
    uint64_t dllBudget = kDllBytes, textBudget = kTextBytes;
    auto isDll = [](const std::string& n) { return n.size() > 4 && (n.substr(n.size() - 4) == ".dll" || n.substr(n.size() - 4) == ".exe"); };
    auto any = [](const std::string&) { return true; };
    Gather("Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows", corpus + "\\dll", "", &dllBudget, isDll);
    Gather("Z:\\usr\\include", corpus + "\\text", "", &textBudget, any);
    Gather("Z:\\usr\\share\\doc", corpus + "\\text", "doc_", &textBudget, any);
    platform::File marker;
    marker.Open(corpus + "\\complete", platform::File::Mode::Replace);
    marker.Close();
    return corpus;
}

void List(const std::string& folder, const std::string& prefix, std::vector<Input>* inputs) {
    for (const platform::FoundEntry& entry : platform::FindFiles(folder + "\\*")) {
        std::string path = folder + "\\" + entry.name;
        std::string name = prefix.empty() ? entry.name : prefix + "\\" + entry.name;
        if (entry.isFolder) {
            List(path, name, inputs);
        } else if (entry.name != "complete") {
            inputs->push_back({path, name, FileSize(platform::ToNativePath(path))});
        }
    }
}

double Best(const std::function<void()>& run) {
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The corpus and the work files live beside the program, in the build tree.
    std::string self = platform::ToModelPath(argc > 0 ? argv[0] : "cabinet_bench");
    const std::string root = self.substr(0, self.find_last_of('\\')) + "\\cabinet-bench";
    platform::CreateFolderPath(root);
    const std::string corpus = MakeCorpus(root);
    std::vector<Input> inputs;
    List(corpus, "", &inputs);
    uint64_t total = 0;
    for (const Input& i : inputs) {
        total += i.size;
    }
    const double mb = static_cast<double>(total) / 1e6;
    const std::string work = root + "\\work";
    const std::string nativeCorpus = platform::ToNativePath(corpus);
    const std::string nativeWork = platform::ToNativePath(work);
    std::printf("corpus: %zu files, %.1f MB (Wine's PE DLLs and text files)\n", inputs.size(), mb);

    double oursCompress = Best([&] {
        platform::RemoveTree(work);
        platform::CreateFolderPath(work);
        CCabinet cabinet(work, "Disk%d", "ours.cab", 0, 0);
        cabinet.Open();
        for (const Input& i : inputs) {
            cabinet.AddFile(i.path, i.name.c_str());
        }
        cabinet.Close();
    });
    const uint64_t oursSize = FileSize(nativeWork + "/ours.cab");
    double gcabCompress = Best([&] { Shell("cd '" + nativeCorpus + "' && gcab -c -z '" + nativeWork + "/gcab.cab' dll text"); });
    const uint64_t gcabSize = FileSize(nativeWork + "/gcab.cab");

    double oursExtract = Best([&] {
        platform::RemoveTree(work + "\\x");
        platform::CreateFolderPath(work + "\\x");
        CCabinet cabinet(work + "\\ours.cab");
        cabinet.Open();
        cabinet.Extract(
            [&](int, const std::string&, char* path) {
                std::snprintf(path, CCabinet::kPathBuffer, "%s", (work + "\\x\\" + path).c_str());
                return 1;
            },
            nullptr, nullptr);
        cabinet.Close();
    });
    double cabextract = Best([&] {
        Shell("rm -rf '" + nativeWork + "/y' && cabextract -q -d '" + nativeWork + "/y' '" + nativeWork + "/ours.cab'");
    });
    Shell("diff -r -q '" + nativeWork + "/x' '" + nativeWork + "/y' >/dev/null");

    std::printf("compress   ours        %7.1f MB/s  %6.2f s  cabinet %.2f MB\n", mb / oursCompress, oursCompress, oursSize / 1e6);
    std::printf("compress   gcab -z     %7.1f MB/s  %6.2f s  cabinet %.2f MB\n", mb / gcabCompress, gcabCompress, gcabSize / 1e6);
    std::printf("extract    ours        %7.1f MB/s  %6.2f s\n", mb / oursExtract, oursExtract);
    std::printf("extract    cabextract  %7.1f MB/s  %6.2f s\n", mb / cabextract, cabextract);
    std::printf("compression %.2fx gcab's throughput, output %.1f%% of gcab's; extraction %.2fx cabextract's\n",
                gcabCompress / oursCompress, 100.0 * oursSize / gcabSize, cabextract / oursExtract);
    platform::RemoveTree(work);
    return 0;
}
