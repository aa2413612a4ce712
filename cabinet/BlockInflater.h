#pragma once

// Decodes the data blocks of the folders being extracted on worker threads while the caller reads the
// records that follow and writes the files. Each worker ("lane") keeps one decompressor: the blocks of a
// folder depend on the 32 KiB before them, so all the jobs of a folder go to one lane, which the caller
// chooses; several folders decode at once on several lanes. Jobs live in a fixed set of slots, taken from
// a free list and given back in any order; a slot's buffers are made the first time it is used and kept.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/Threads.h"

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
    InflateJob* next = nullptr;  // the caller's: the folder's next job, in the order of its data

    // Set by the lane.
    std::vector<uint8_t> output;
    int decoded = 0;         // blocks decoded; the one after them is not valid data
    int decodeError = 0;     // FDI error for that block
    size_t outputBytes = 0;  // bytes of output of the decoded blocks

    void Reset();

    size_t slot = 0;  // the job's slot
};

class BlockInflater {
public:
    explicit BlockInflater(int lanes);
    ~BlockInflater();
    BlockInflater(const BlockInflater&) = delete;
    BlockInflater& operator=(const BlockInflater&) = delete;

    int Lanes() const { return static_cast<int>(lanes_.size()); }
    int Slots() const { return static_cast<int>(slots_.size()); }

    // A free slot's job, reset, or null when every slot is given out; std::bad_alloc when the buffers of
    // a slot used for the first time cannot be had.
    InflateJob* Acquire();
    // Hands an acquired job to a lane; the jobs of one lane are decoded in the order given.
    void Submit(InflateJob* job, int lane);
    // Waits until a submitted job is decoded.
    void Wait(InflateJob* job);
    // Gives a job's slot back. A job not yet decoded is dropped: its lane skips it (or ends it) and frees
    // the slot then; the caller drops the later jobs of its folder with it.
    void Release(InflateJob* job);
    // Waits until a slot is free.
    void WaitForFree();
    // Gives back every slot given out and waits until the lanes have let go of them all.
    void Clear();

    static int DefaultLanes();

private:
    struct Lane {
        std::unique_ptr<platform::Thread> thread;
        std::deque<InflateJob*> queue;
        platform::Condition workReady;
    };
    struct Slot {
        InflateJob job;
        bool givenOut = false;   // acquired and not yet released
        bool submitted = false;  // handed to a lane
        bool done = false;       // the lane has finished with it
        bool released = false;
    };

    void LaneLoop(Lane* lane);
    void StopLanes();
    static void Decode(InflateJob& job, class MszipDecompressor& decoder);
    void ReleaseLocked(Slot& slot);
    Slot& SlotOf(InflateJob* job) { return slots_[job->slot]; }

    std::vector<Slot> slots_;
    std::vector<size_t> free_;
    std::vector<std::unique_ptr<Lane>> lanes_;
    platform::Mutex mutex_;
    platform::Condition jobDone_;
    bool stopping_ = false;
};

}  // namespace cab
