// Compresses a corpus of about 200 MB (Wine's PE DLLs and text files) into one cabinet with our engine
// and with gcab, and extracts our cabinet with our engine and with cabextract, all in the same run; prints
// MB/s and output size for each. Each figure is the best of a few rounds, as the machine is shared. Then
// the MSZIP decoder alone against zlib's inflate; with --decoders, only that.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include "bench/DecoderBench.h"

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;
constexpr int kExtractRounds = 5;

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
void TimeOnce(const std::function<void()>& run, int cpuOf, int rounds, Timing* timing) {
    double cpuStart = CpuSeconds(cpuOf);
    auto start = Clock::now();
    run();
    timing->wall = std::min(timing->wall, std::chrono::duration<double>(Clock::now() - start).count());
    timing->cpu += (CpuSeconds(cpuOf) - cpuStart) / rounds;
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
    if (argc > 1 && std::string(argv[1]) == "--decoders") {
        CompareDecoders(inputs);
        std::printf("(the machine's load, 1 minute average: %s)\n", LoadAverage().c_str());
        return 0;
    }

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
    // removed only after the round, untimed. The files go to memory where the machine has it (/dev/shm):
    // the extractors are measured, not the file system's allocation of thousands of new files, which on
    // ext4 is slow for minutes after as many were deleted (by the previous run, or by other work on the
    // same disk). decodeThreads -1: the engine's default (read-ahead on worker threads); 0: every block
    // decoded on this thread when it is needed, as extraction went before the read-ahead.
    const bool inMemory = access("/dev/shm", W_OK) == 0;
    const std::string output =
        inMemory ? platform::ToModelPath("/dev/shm/tessaro-cabinet-bench-" + std::to_string(getpid())) : work;
    const std::string nativeOutput = platform::ToNativePath(output);
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
    for (int round = 0; round < kExtractRounds; ++round) {
        const std::string r = std::to_string(round);
        TimeOnce([&] { extractOurs(0, output + "\\one" + r); }, RUSAGE_SELF, kExtractRounds, &oursOneThread);
        TimeOnce([&] { extractOurs(-1, output + "\\ahead" + r); }, RUSAGE_SELF, kExtractRounds, &oursExtract);
        TimeOnce([&] { Shell("cabextract -q -d '" + nativeOutput + "/cabextract" + r + "' '" + nativeWork + "/ours.cab'"); },
                 RUSAGE_CHILDREN, kExtractRounds, &cabextract);
        Shell("diff -r -q '" + nativeOutput + "/ahead" + r + "' '" + nativeOutput + "/cabextract" + r + "' >/dev/null");
        Shell("diff -r -q '" + nativeOutput + "/one" + r + "' '" + nativeOutput + "/cabextract" + r + "' >/dev/null");
        if (inMemory) {
            platform::RemoveTree(output);
        }
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
    std::printf("(extracted %s; the machine's load while measuring, 1 minute average: %s)\n",
                inMemory ? "into memory, /dev/shm" : "beside the program", LoadAverage().c_str());
    CompareDecoders(inputs);
    std::printf("(the machine's load, 1 minute average: %s)\n", LoadAverage().c_str());
    platform::RemoveTree(work);
    return 0;
}
