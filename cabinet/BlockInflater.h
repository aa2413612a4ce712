#pragma once

// Decodes the data blocks of the folders being extracted on worker threads while the caller reads the
// records that follow and writes the files. Each worker ("lane") keeps one decompressor: the blocks of a
// folder depend on the 32 KiB before them, so a folder stays on the lane that began it, and successive
// folders go to successive lanes. Jobs live in a fixed ring of slots, taken back in the order given out.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace cab {

// A run of consecutive data blocks of one folder: filled by the caller, decoded by a lane.
struct InflateJob {
    static constexpr int kMaxBlocks = 8;

    // Filled by the caller.
    uint16_t type = 0;          // tcompTYPE_NONE or tcompTYPE_MSZIP
    bool startsFolder = false;  // the folder's first blocks: decoded without history
    bool endsFolder = false;    // the folder has no records after these
    int folder = -1;
    uint64_t start = 0;  // folder offset of the first decoded byte
    int blocks = 0;
    uint32_t inputEnd[kMaxBlocks] = {};  // where each block's compressed bytes end in input
    uint16_t outputSize[kMaxBlocks] = {};
    int readError = 0;  // FDI error met reading the record after the last one read (0: none)
    std::vector<uint8_t> input;

    // Set by the lane.
    std::vector<uint8_t> output;
    int decoded = 0;         // blocks decoded; the one after them is not valid data
    int decodeError = 0;     // FDI error for that block
    size_t outputBytes = 0;  // bytes of output of the decoded blocks

    void Reset();

    size_t slot = 0;  // the job's place in the ring
};

class BlockInflater {
public:
    explicit BlockInflater(int lanes);
    ~BlockInflater();
    BlockInflater(const BlockInflater&) = delete;
    BlockInflater& operator=(const BlockInflater&) = delete;

    // The next free slot, reset, or null when every slot is given out.
    InflateJob* Acquire();
    // Hands the slot last acquired to a lane.
    void Submit(InflateJob* job);
    // The oldest job given out and not yet released, or null.
    InflateJob* Front();
    // Waits until the oldest job is decoded.
    void WaitFront();
    // Gives the oldest job's slot back (a job still being decoded is dropped: its result is not waited for
    // by anyone, and later jobs of its folder are dropped with it by the caller).
    void ReleaseFront();
    void Clear();

    static int DefaultLanes();

private:
    struct Lane {
        std::thread thread;
        std::deque<InflateJob*> queue;
        std::condition_variable workReady;
    };
    struct Slot {
        InflateJob job;
        bool submitted = false;
        bool done = false;
        bool dropped = false;
    };

    void LaneLoop(Lane* lane);
    static void Decode(InflateJob& job, class MszipDecompressor& decoder);
    Slot& SlotOf(InflateJob* job);

    std::vector<Slot> slots_;
    size_t first_ = 0;  // the oldest slot given out
    size_t count_ = 0;  // slots given out
    std::vector<std::unique_ptr<Lane>> lanes_;
    size_t lastLane_ = 0;
    std::mutex mutex_;
    std::condition_variable jobDone_;
    bool stopping_ = false;
};

}  // namespace cab
