#include "cabinet/BlockInflater.h"

#include <algorithm>
#include <cstring>
#include <new>

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
    next = nullptr;
}

namespace {

// Slots per lane: enough for a lane to decode the next folders while a large one is being written. A slot
// holds about 560 KB once used, so the slots of many lanes are limited.
constexpr int kSlotsPerLane = 8;
constexpr int kMaxSlots = 34;

}  // namespace

BlockInflater::BlockInflater(int lanes)
    : slots_(static_cast<size_t>(std::min(kSlotsPerLane * std::max(lanes, 1) + 2, kMaxSlots))) {
    for (size_t i = slots_.size(); i-- > 0;) {
        slots_[i].job.slot = i;
        free_.push_back(i);
    }
    for (int i = 0; i < std::max(lanes, 1); ++i) {
        lanes_.push_back(std::make_unique<Lane>());
    }
    try {
        for (auto& lane : lanes_) {
            Lane* self = lane.get();
            lane->thread = std::make_unique<platform::Thread>([this, self] { LaneLoop(self); });
        }
    } catch (...) {
        StopLanes();  // the lanes already started
        throw;
    }
}

BlockInflater::~BlockInflater() { StopLanes(); }

void BlockInflater::StopLanes() {
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        stopping_ = true;
    }
    for (auto& lane : lanes_) {
        lane->workReady.NotifyAll();
    }
    for (auto& lane : lanes_) {
        if (lane->thread) {
            lane->thread->Join();
        }
    }
}

int BlockInflater::DefaultLanes() {
    unsigned processors = platform::ProcessorCount();
    return static_cast<int>(std::clamp(processors, 1u, 4u));
}

InflateJob* BlockInflater::Acquire() {
    size_t index = 0;
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        if (free_.empty()) {
            return nullptr;
        }
        index = free_.back();
        free_.pop_back();
        Slot& slot = slots_[index];
        slot.givenOut = true;
        slot.submitted = slot.done = slot.released = false;
    }
    Slot& slot = slots_[index];
    if (slot.job.input.empty()) {
        try {
            slot.job.input.resize(InflateJob::kMaxBlocks * format::kMaxBlockData);
            slot.job.output.resize(InflateJob::kMaxBlocks * format::kBlockSize);
        } catch (const std::bad_alloc&) {
            slot.job.input = std::vector<uint8_t>();
            slot.job.output = std::vector<uint8_t>();
            std::lock_guard<platform::Mutex> lock(mutex_);
            slot.givenOut = false;
            free_.push_back(index);
            throw;
        }
    }
    slot.job.Reset();
    return &slot.job;
}

void BlockInflater::Submit(InflateJob* job, int lane) {
    Lane& target = *lanes_[static_cast<size_t>(lane) % lanes_.size()];
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        target.queue.push_back(job);
        SlotOf(job).submitted = true;  // only once queued: a job that never reaches a lane is freed at once
    }
    target.workReady.NotifyOne();
}

void BlockInflater::Wait(InflateJob* job) {
    Slot& slot = SlotOf(job);
    std::unique_lock<platform::Mutex> lock(mutex_);
    jobDone_.Wait(lock, [&slot] { return slot.done; });
}

void BlockInflater::Release(InflateJob* job) {
    std::lock_guard<platform::Mutex> lock(mutex_);
    ReleaseLocked(SlotOf(job));
}

// A slot that a lane still holds is freed by the lane when it lets go of it.
void BlockInflater::ReleaseLocked(Slot& slot) {
    slot.givenOut = false;
    slot.released = true;
    if (slot.done || !slot.submitted) {
        free_.push_back(slot.job.slot);
    }
}

void BlockInflater::WaitForFree() {
    std::unique_lock<platform::Mutex> lock(mutex_);
    jobDone_.Wait(lock, [this] { return !free_.empty(); });
}

void BlockInflater::Clear() {
    std::unique_lock<platform::Mutex> lock(mutex_);
    for (Slot& slot : slots_) {
        if (slot.givenOut) {
            ReleaseLocked(slot);
        }
    }
    jobDone_.Wait(lock, [this] { return free_.size() == slots_.size(); });
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
            std::unique_lock<platform::Mutex> lock(mutex_);
            lane->workReady.Wait(lock, [&] { return stopping_ || !lane->queue.empty(); });
            if (stopping_) {
                return;
            }
            job = lane->queue.front();
            lane->queue.pop_front();
            dropped = SlotOf(job).released;
        }
        if (!dropped) {
            Decode(*job, decoder);
        }
        {
            std::lock_guard<platform::Mutex> lock(mutex_);
            Slot& slot = SlotOf(job);
            slot.done = true;
            if (slot.released) {
                free_.push_back(job->slot);
            }
        }
        jobDone_.NotifyAll();
    }
}

}  // namespace cab
