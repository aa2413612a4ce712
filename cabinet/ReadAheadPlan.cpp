#include "cabinet/ReadAheadPlan.h"

namespace cab {

int IdleLane(const ReadAheadPlan& plan, int lanes) {
    for (int lane = 0; lane < lanes; ++lane) {
        bool busy = false;
        for (const PlannedFolder& folder : plan) {
            busy = busy || (folder.reading && folder.lane == lane);
        }
        if (!busy) {
            return lane;
        }
    }
    return -1;
}

int FolderToRead(const ReadAheadPlan& plan, int slots) {
    int later = 0;
    for (size_t i = 1; i < plan.size(); ++i) {
        later += plan[i].held;
    }
    const bool laterMayRead = later < slots - 2;
    int best = -1;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlannedFolder& folder = plan[i];
        if (folder.reading && (i == 0 || laterMayRead) && (best < 0 || folder.held < plan[static_cast<size_t>(best)].held)) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace cab
