// The sharing of the inflater's lanes and slots among the folders read ahead.
#include <gtest/gtest.h>

#include <vector>

#include "cabinet/ReadAheadPlan.h"

namespace {

struct Folder {
    int lane;
    bool reading;
    int held;
};

cab::ReadAheadPlan PlanOf(const std::vector<Folder>& folders) {
    cab::ReadAheadPlan plan;
    for (const Folder& f : folders) {
        cab::PlannedFolder planned;
        planned.folder = static_cast<int>(plan.size());
        planned.lane = f.lane;
        planned.reading = f.reading;
        planned.held = f.held;
        plan.push_back(planned);
    }
    return plan;
}

TEST(ReadAheadPlan, AnIdleLaneIsOneThatReadsNoFolder) {
    struct Case {
        const char* name;
        std::vector<Folder> plan;
        int lanes;
        int idle;
    } cases[] = {
        {"nothing planned", {}, 2, 0},
        {"lane 0 reads", {{0, true, 1}}, 2, 1},
        {"both lanes read", {{0, true, 1}, {1, true, 0}}, 2, -1},
        {"a folder read to its end frees its lane", {{0, false, 5}, {1, true, 2}}, 2, 0},
        {"later folders on lane 0 only", {{1, true, 3}, {0, false, 1}, {0, true, 0}}, 3, 2},
        {"one lane, busy", {{0, true, 0}}, 1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cab::IdleLane(PlanOf(c.plan), c.lanes), c.idle) << c.name;
    }
}

TEST(ReadAheadPlan, TheFolderReadNextHoldsFewestSlotsAndLaterOnesLeaveTwo) {
    struct Case {
        const char* name;
        std::vector<Folder> plan;
        int slots;
        int chosen;
    } cases[] = {
        {"nothing planned", {}, 10, -1},
        {"only the first", {{0, true, 4}}, 10, 0},
        {"the later holds fewer", {{0, true, 4}, {1, true, 2}}, 10, 1},
        {"even: the earlier", {{0, true, 2}, {1, true, 2}}, 10, 0},
        {"the first is read to its end", {{0, false, 1}, {1, true, 5}}, 10, 1},
        {"later folders hold all but two: only the first", {{0, true, 6}, {1, false, 5}, {0, true, 3}}, 10, 0},
        {"later folders hold all but three", {{0, true, 6}, {1, false, 4}, {0, true, 3}}, 10, 2},
        {"at the cap and the first is read", {{0, false, 2}, {1, true, 8}}, 10, -1},
        {"nothing left to read", {{0, false, 1}, {1, false, 1}}, 10, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cab::FolderToRead(PlanOf(c.plan), c.slots), c.chosen) << c.name;
    }
}

}  // namespace
