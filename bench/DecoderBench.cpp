#include "bench/DecoderBench.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "cabinet/Mszip.h"
#include "cabinet/ZlibInflate.h"
#include "platform/File.h"

namespace bench {

namespace {

constexpr size_t kBlock = 32768;
constexpr int kRounds = 2;
constexpr int kTurns = 3;

struct Folder {
    std::vector<uint8_t> bytes;
    std::vector<std::vector<uint8_t>> blocks;  // with their "CK"
};

Folder Compress(const std::vector<Input>& inputs) {
    Folder folder;
    for (const Input& i : inputs) {
        std::vector<uint8_t> file;
        if (platform::File::ReadAll(i.path, &file)) {
            folder.bytes.insert(folder.bytes.end(), file.begin(), file.end());
        }
    }
    cab::MszipCompressor compressor;
    for (size_t at = 0; at < folder.bytes.size(); at += kBlock) {
        const size_t history = std::min(at, kBlock);
        folder.blocks.emplace_back();
        compressor.Compress(folder.bytes.data() + at - history, history, folder.bytes.data() + at,
                            std::min(kBlock, folder.bytes.size() - at), &folder.blocks.back());
    }
    return folder;
}

// This thread's processor time so far: on a shared machine it counts the decoder's work alone.
double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

struct Best {
    double wall = 1e30;
    double cpu = 1e30;
};

// Decodes every block with decode(block number, output) in rounds, keeping the best wall and processor
// times, after the output of the first round has been compared with the corpus.
void Time(const Folder& folder, const char* name, const std::function<bool(size_t, uint8_t*, size_t)>& decode,
          Best* best) {
    std::vector<uint8_t> output(kBlock);
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadSeconds();
        bool same = true;
        for (size_t b = 0; b < folder.blocks.size(); ++b) {
            const size_t size = std::min(kBlock, folder.bytes.size() - b * kBlock);
            same = decode(b, output.data(), size) && (round > 0 || std::memcmp(output.data(), folder.bytes.data() + b * kBlock, size) == 0) && same;
        }
        const double cpu = ThreadSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!same) {
            std::fprintf(stderr, "%s: the blocks did not decode to the corpus\n", name);
            std::exit(1);
        }
        best->wall = std::min(best->wall, wall);
        best->cpu = std::min(best->cpu, cpu);
    }
}

}  // namespace

void CompareDecoders(const std::vector<Input>& inputs) {
    const Folder folder = Compress(inputs);
    const double mb = folder.bytes.size() / 1e6;
    cab::MszipDecompressor ours;
    cab::ZlibInflater zlib;
    Best oursTime, zlibTime;
    for (int turn = 0; turn < kTurns; ++turn) {
        Time(folder, "ours", [&](size_t b, uint8_t* output, size_t size) {
            if (b == 0) {
                ours.StartFolder();
            }
            return ours.Decode(folder.blocks[b].data(), folder.blocks[b].size(), output, size);
        }, &oursTime);
        Time(folder, "zlib", [&](size_t b, uint8_t* output, size_t size) {
            const std::vector<uint8_t>& block = folder.blocks[b];
            return block.size() >= 2 && zlib.Inflate(block.data() + 2, block.size() - 2, output, size,
                                                     folder.bytes.data(), b * kBlock);
        }, &zlibTime);
    }
    std::printf("MSZIP decoding alone, one thread, %zu blocks of the corpus (best of %d rounds, in turns):\n",
                folder.blocks.size(), kRounds * kTurns);
    std::printf("                        throughput   best time   processor time   throughput per processor second\n");
    std::printf("decode     ours        %7.1f MB/s   %7.2f s   %9.2f s      %7.1f MB/s\n", mb / oursTime.wall,
                oursTime.wall, oursTime.cpu, mb / oursTime.cpu);
    std::printf("decode     zlib        %7.1f MB/s   %7.2f s   %9.2f s      %7.1f MB/s\n", mb / zlibTime.wall,
                zlibTime.wall, zlibTime.cpu, mb / zlibTime.cpu);
    std::printf("decoding:    %.2fx zlib's inflate (%.2fx less processor time)\n", zlibTime.wall / oursTime.wall,
                zlibTime.cpu / oursTime.cpu);
}

}  // namespace bench
