#pragma once

// Compresses the data blocks of the cabinets being written, on worker threads when there are several
// processors. Jobs are handed out in order and their results are taken back in the same order, so the
// caller sees a single-threaded sequence and the output does not depend on the number of threads.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/Threads.h"

namespace cab {

using BlockData = std::shared_ptr<const std::vector<uint8_t>>;

struct BlockJob {
    BlockData history;  // the folder's preceding block, or null at the start of a folder
    BlockData input;
    bool compress = true;  // false: the block is stored as it is (tcompTYPE_NONE)
    std::vector<uint8_t> output;
    bool ok = false;
    bool done = false;
};

class BlockCompressor {
public:
    explicit BlockCompressor(int threads);
    ~BlockCompressor();
    BlockCompressor(const BlockCompressor&) = delete;
    BlockCompressor& operator=(const BlockCompressor&) = delete;

    int Threads() const { return static_cast<int>(workers_.size()); }
    std::shared_ptr<BlockJob> Submit(BlockData history, BlockData input, bool compress);
    // Waits until the job is done.
    void Wait(BlockJob& job);

    static int DefaultThreads();

private:
    void WorkerLoop();
    void StopWorkers();
    static void Run(BlockJob& job, class MszipCompressor* compressor);

    std::unique_ptr<class MszipCompressor> inlineCompressor_;
    std::vector<std::unique_ptr<platform::Thread>> workers_;
    platform::Mutex mutex_;
    platform::Condition workReady_;
    platform::Condition jobDone_;
    std::deque<std::shared_ptr<BlockJob>> queue_;
    bool stopping_ = false;
};

}  // namespace cab
