#include "cabinet/BlockInflater.h"

#include <algorithm>
#include <cstring>

#include "cabinet/CabFormat.h"
#include "cabinet/CabTypes.h"
#include "cabinet/Fdi.h"
#include "cabinet/Mszip.h"

namespace cab {

void InflateJob::Reset() {
    type = 0;
    startsFolder = endsFolder = false;
    folder = -1;
    start = 0;
    blocks = 0;
    readError = 0;
    decoded = 0;
    decodeError = 0;
    outputBytes = 0;
}

BlockInflater::BlockInflater(int lanes) : slots_(static_cast<size_t>(2 * std::max(lanes, 1) + 4)) {
    for (size_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = slots_[i];
        slot.job.slot = i;
        slot.job.input.resize(InflateJob::kMaxBlocks * format::kMaxBlockData);
        slot.job.output.resize(InflateJob::kMaxBlocks * format::kBlockSize);
    }
    for (int i = 0; i < std::max(lanes, 1); ++i) {
        lanes_.push_back(std::make_unique<Lane>());
    }
    for (auto& lane : lanes_) {
        Lane* self = lane.get();
        lane->thread = std::thread([this, self] { LaneLoop(self); });
    }
}

BlockInflater::~BlockInflater() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    for (auto& lane : lanes_) {
        lane->workReady.notify_all();
    }
    for (auto& lane : lanes_) {
        lane->thread.join();
    }
}

int BlockInflater::DefaultLanes() {
    unsigned processors = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(processors, 1u, 4u));
}

BlockInflater::Slot& BlockInflater::SlotOf(InflateJob* job) {
    return slots_[job->slot];
}

InflateJob* BlockInflater::Acquire() {
    if (count_ == slots_.size()) {
        return nullptr;
    }
    Slot& slot = slots_[(first_ + count_) % slots_.size()];
    slot.job.Reset();
    slot.submitted = slot.done = slot.dropped = false;
    return &slot.job;
}

void BlockInflater::Submit(InflateJob* job) {
    Slot& slot = SlotOf(job);
    if (job->startsFolder) {
        lastLane_ = (lastLane_ + 1) % lanes_.size();
    }
    Lane& lane = *lanes_[lastLane_];
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.submitted = true;
        lane.queue.push_back(job);
    }
    count_++;
    lane.workReady.notify_one();
}

InflateJob* BlockInflater::Front() {
    return count_ == 0 ? nullptr : &slots_[first_].job;
}

void BlockInflater::WaitFront() {
    Slot& slot = slots_[first_];
    std::unique_lock<std::mutex> lock(mutex_);
    jobDone_.wait(lock, [&slot] { return slot.done; });
}

void BlockInflater::ReleaseFront() {
    Slot& slot = slots_[first_];
    {
        // A lane may still hold the slot: it skips a dropped job, and the slot is reused only when done.
        std::unique_lock<std::mutex> lock(mutex_);
        slot.dropped = true;
        jobDone_.wait(lock, [&slot] { return slot.done; });
    }
    first_ = (first_ + 1) % slots_.size();
    count_--;
}

void BlockInflater::Clear() {
    while (count_ > 0) {
        ReleaseFront();
    }
}

void BlockInflater::Decode(InflateJob& job, MszipDecompressor& decoder) {
    if (job.startsFolder) {
        decoder.StartFolder();
    }
    if (job.type == tcompTYPE_MSZIP && !decoder.IsReady()) {
        job.decodeError = FDIERROR_ALLOC_FAIL;
        return;
    }
    uint32_t in = 0;
    size_t out = 0;
    for (int b = 0; b < job.blocks; ++b) {
        const uint32_t size = job.inputEnd[b] - in;
        const uint16_t produced = job.outputSize[b];
        if (job.type == tcompTYPE_NONE) {
            if (size != produced) {
                job.decodeError = FDIERROR_CORRUPT_CABINET;
                return;
            }
            std::memcpy(job.output.data() + out, job.input.data() + in, size);
        } else if (!decoder.Decode(job.input.data() + in, size, job.output.data() + out, produced)) {
            job.decodeError = FDIERROR_MDI_FAIL;
            return;
        }
        in = job.inputEnd[b];
        out += produced;
        job.decoded = b + 1;
        job.outputBytes = out;
    }
}

void BlockInflater::LaneLoop(Lane* lane) {
    MszipDecompressor decoder;
    for (;;) {
        InflateJob* job = nullptr;
        bool dropped = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            lane->workReady.wait(lock, [&] { return stopping_ || !lane->queue.empty(); });
            if (stopping_) {
                return;
            }
            job = lane->queue.front();
            lane->queue.pop_front();
            dropped = SlotOf(job).dropped;
        }
        if (!dropped) {
            Decode(*job, decoder);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            SlotOf(job).done = true;
        }
        jobDone_.notify_all();
    }
}

}  // namespace cab
