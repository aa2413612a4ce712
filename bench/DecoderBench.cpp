#include "bench/DecoderBench.h"

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
constexpr int kRounds = 3;

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

// Decodes every block with decode(block number, output); the best wall time of the rounds, after the
// output of the first has been compared with the corpus.
double Time(const Folder& folder, const char* name, const std::function<bool(size_t, uint8_t*, size_t)>& decode) {
    std::vector<uint8_t> output(kBlock);
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        bool same = true;
        for (size_t b = 0; b < folder.blocks.size(); ++b) {
            const size_t size = std::min(kBlock, folder.bytes.size() - b * kBlock);
            same = decode(b, output.data(), size) && (round > 0 || std::memcmp(output.data(), folder.bytes.data() + b * kBlock, size) == 0) && same;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!same) {
            std::fprintf(stderr, "%s: the blocks did not decode to the corpus\n", name);
            std::exit(1);
        }
        best = std::min(best, seconds);
    }
    return best;
}

}  // namespace

void CompareDecoders(const std::vector<Input>& inputs) {
    const Folder folder = Compress(inputs);
    const double mb = folder.bytes.size() / 1e6;
    cab::MszipDecompressor ours;
    cab::ZlibInflater zlib;
    double oursTime = 1e30, zlibTime = 1e30;
    for (int turn = 0; turn < 2; ++turn) {
        oursTime = std::min(oursTime, Time(folder, "ours", [&](size_t b, uint8_t* output, size_t size) {
            if (b == 0) {
                ours.StartFolder();
            }
            return ours.Decode(folder.blocks[b].data(), folder.blocks[b].size(), output, size);
        }));
        zlibTime = std::min(zlibTime, Time(folder, "zlib", [&](size_t b, uint8_t* output, size_t size) {
            const std::vector<uint8_t>& block = folder.blocks[b];
            return block.size() >= 2 && zlib.Inflate(block.data() + 2, block.size() - 2, output, size,
                                                     folder.bytes.data(), b * kBlock);
        }));
    }
    std::printf("MSZIP decoding alone, one thread, %zu blocks of the corpus:\n", folder.blocks.size());
    std::printf("decode     ours        %7.1f MB/s   %7.2f s\n", mb / oursTime, oursTime);
    std::printf("decode     zlib        %7.1f MB/s   %7.2f s\n", mb / zlibTime, zlibTime);
    std::printf("decoding:    %.2fx zlib's inflate\n", zlibTime / oursTime);
}

}  // namespace bench
