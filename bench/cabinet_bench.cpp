// Compresses a corpus of about 200 MB (Wine's PE DLLs and text files) into one cabinet with our engine
// and with gcab, and extracts our cabinet with our engine and with cabextract, all in the same run; prints
// MB/s and output size for each. Each figure is the best of a few rounds, as the machine is shared.
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
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
#include "bench/BenchCorpus.h"

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;

// Processor seconds (user and system) spent so far by this program, or by the programs it has run.
double CpuSeconds(int who) {
    struct rusage usage;
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    double wall = 1e30;  // best of the rounds
    double cpu = 0;      // per round, on average
};

// Times a run in the rounds; cpuOf says whose processor time counts (RUSAGE_SELF or RUSAGE_CHILDREN).
Timing Measure(const std::function<void()>& run, int cpuOf) {
    Timing t;
    double cpuStart = CpuSeconds(cpuOf);
    for (int i = 0; i < kRounds; ++i) {
        auto start = Clock::now();
        run();
        t.wall = std::min(t.wall, std::chrono::duration<double>(Clock::now() - start).count());
    }
    t.cpu = (CpuSeconds(cpuOf) - cpuStart) / kRounds;
    return t;
}

// One round of a measurement taken in turns with others: keeps the best time and adds up processor time.
void TimeOnce(const std::function<void()>& run, int cpuOf, Timing* timing) {
    double cpuStart = CpuSeconds(cpuOf);
    auto start = Clock::now();
    run();
    timing->wall = std::min(timing->wall, std::chrono::duration<double>(Clock::now() - start).count());
    timing->cpu += (CpuSeconds(cpuOf) - cpuStart) / kRounds;
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
    std::vector<Input> inputs = CorpusFiles(corpus);
    uint64_t total = 0;
    for (const Input& i : inputs) {
        total += i.size;
    }
    const double mb = static_cast<double>(total) / 1e6;
    const std::string work = root + "\\work";
    const std::string nativeCorpus = platform::ToNativePath(corpus);
    const std::string nativeWork = platform::ToNativePath(work);
    std::printf("corpus: %zu files, %.1f MB (Wine's PE DLLs and text files)\n", inputs.size(), mb);

    Timing oursCompress = Measure([&] {
        platform::RemoveTree(work);
        platform::CreateFolderPath(work);
        CCabinet cabinet(work, "Disk%d", "ours.cab", 0, 0);
        cabinet.Open();
        for (const Input& i : inputs) {
            cabinet.AddFile(i.path, i.name.c_str());
        }
        cabinet.Close();
    }, RUSAGE_SELF);
    const uint64_t oursSize = FileSize(nativeWork + "/ours.cab");
    Timing gcabCompress = Measure(
        [&] { Shell("cd '" + nativeCorpus + "' && gcab -c -z '" + nativeWork + "/gcab.cab' dll text"); }, RUSAGE_CHILDREN);
    const uint64_t gcabSize = FileSize(nativeWork + "/gcab.cab");

    // Extraction. In each round the three extractors take turns, each into a new folder, and the output is
    // removed only after the last round, untimed: creating thousands of files just after deleting as many
    // is slow on some file systems (ext4 steps over recently freed inodes), which would time the deletion.
    // decodeThreads -1: the engine's default (read-ahead on worker threads); 0: every block decoded on this
    // thread when it is needed, as extraction went before the read-ahead.
    auto extractOurs = [&](int decodeThreads, const std::string& folder) {
        platform::CreateFolderPath(folder);
        CCabinet cabinet(work + "\\ours.cab");
        cabinet.SetDecodeThreads(decodeThreads);
        cabinet.Open();
        cabinet.Extract(
            [&](int, const std::string&, char* path) {
                std::snprintf(path, CCabinet::kPathBuffer, "%s", (folder + "\\" + path).c_str());
                return 1;
            },
            nullptr, nullptr);
        cabinet.Close();
    };
    Timing oursExtract, oursOneThread, cabextract;
    for (int round = 0; round < kRounds; ++round) {
        const std::string r = std::to_string(round);
        TimeOnce([&] { extractOurs(0, work + "\\one" + r); }, RUSAGE_SELF, &oursOneThread);
        TimeOnce([&] { extractOurs(-1, work + "\\ahead" + r); }, RUSAGE_SELF, &oursExtract);
        TimeOnce([&] { Shell("cabextract -q -d '" + nativeWork + "/cabextract" + r + "' '" + nativeWork + "/ours.cab'"); },
                 RUSAGE_CHILDREN, &cabextract);
        Shell("diff -r -q '" + nativeWork + "/ahead" + r + "' '" + nativeWork + "/cabextract" + r + "' >/dev/null");
        Shell("diff -r -q '" + nativeWork + "/one" + r + "' '" + nativeWork + "/cabextract" + r + "' >/dev/null");
    }

    std::printf("                        throughput   best time   processor time   output\n");
    std::printf("compress   ours        %7.1f MB/s   %7.2f s   %9.2f s      cabinet %.2f MB\n", mb / oursCompress.wall,
                oursCompress.wall, oursCompress.cpu, oursSize / 1e6);
    std::printf("compress   gcab -z     %7.1f MB/s   %7.2f s   %9.2f s      cabinet %.2f MB\n", mb / gcabCompress.wall,
                gcabCompress.wall, gcabCompress.cpu, gcabSize / 1e6);
    std::printf("extract    ours        %7.1f MB/s   %7.2f s   %9.2f s\n", mb / oursExtract.wall, oursExtract.wall,
                oursExtract.cpu);
    std::printf("extract    ours, 1 thr %7.1f MB/s   %7.2f s   %9.2f s      (no read-ahead)\n", mb / oursOneThread.wall,
                oursOneThread.wall, oursOneThread.cpu);
    std::printf("extract    cabextract  %7.1f MB/s   %7.2f s   %9.2f s\n", mb / cabextract.wall, cabextract.wall,
                cabextract.cpu);
    std::printf("compression: %.2fx gcab's throughput (%.2fx less processor time), output %.1f%% of gcab's\n",
                gcabCompress.wall / oursCompress.wall, gcabCompress.cpu / oursCompress.cpu, 100.0 * oursSize / gcabSize);
    std::printf("extraction:  %.2fx cabextract's throughput (%.2fx without read-ahead)\n",
                cabextract.wall / oursExtract.wall, cabextract.wall / oursOneThread.wall);
    std::printf("(the machine's load while measuring, 1 minute average: %s)\n", LoadAverage().c_str());
    platform::RemoveTree(work);
    return 0;
}
