#pragma once

// The reader's plan of the folders it reads ahead: the folders that the coming files need, in their order,
// each read from its own place in the cabinet by one lane of the inflater. The first is the folder whose
// files are being written; the others decode meanwhile, in the slots it leaves them.
#include <cstddef>
#include <cstdint>
#include <deque>

namespace cab {

struct InflateJob;

struct PlannedFolder {
    int folder = -1;
    int lane = 0;
    bool reading = true;       // records are left to read ahead
    bool consumed = false;     // a job of it has been taken for writing files
    bool startsFolder = true;  // the next job read is the folder's first
    uint32_t recordsLeft = 0;
    uint64_t recordPos = 0;
    uint64_t offset = 0;         // folder offset of the next job's first byte
    InflateJob* head = nullptr;  // its jobs not yet given back, in order
    InflateJob* tail = nullptr;
    int held = 0;  // the number of them
};

using ReadAheadPlan = std::deque<PlannedFolder>;

// A lane (of 0 to lanes - 1) that reads none of the planned folders, or -1.
int IdleLane(const ReadAheadPlan& plan, int lanes);

// The folder whose next records are read (its index in the plan), or -1: of the folders being read, the
// one holding the fewest slots, the earliest of them when even. The folders after the first hold at most
// all the slots but two, so that the first always has slots to go on with.
int FolderToRead(const ReadAheadPlan& plan, int slots);

}  // namespace cab
