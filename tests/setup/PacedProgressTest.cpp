// Progress at a person's pace: what reaches the window, and when, for runs of many quick files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/engine/PacedProgress.h"

namespace {

// Every call that reaches the window, as text.
class Shown : public ProgressSink {
public:
    void SetActionText(const char* format, const char*, int32_t) override { calls.push_back(std::string("action ") + format); }
    void SetDetailText(const char* format, int32_t number, const char* text) override {
        calls.push_back(std::string("detail ") + format + " " + std::to_string(number) + " " + (text != nullptr ? text : "(null)"));
    }
    void SetPosition(int32_t position) override { calls.push_back("position " + std::to_string(position)); }
    void Step(int32_t delta) override { calls.push_back("step " + std::to_string(delta)); }
    void SetRange(int32_t max) override { calls.push_back("range " + std::to_string(max)); }
    std::vector<std::string> calls;
};

struct Paced {
    Shown shown;
    uint64_t now = 1000;
    PacedProgress progress{shown, [this] { return now; }};
};

TEST(Pace, FirstCallThenOnceAnIntervalHasPassed) {
    struct Case {
        uint64_t at;
        bool due;
    };
    const Case cases[] = {{5000, true}, {5000, false}, {5199, false}, {5200, true}, {5300, false}, {9000, true}};
    Pace pace;
    for (const Case& c : cases) {
        EXPECT_EQ(pace.Due(c.at), c.due) << c.at;
    }
}

TEST(PacedProgress, ManyQuickFilesShowTheLatestDetailAndTheSumOfTheirSteps) {
    Paced paced;
    for (int file = 0; file < 50; ++file) {
        const std::string name = "file" + std::to_string(file);
        paced.progress.SetDetailText(name.c_str(), 0, nullptr);
        paced.progress.Step(10);
        paced.now += 9;  // 50 files in 450 ms
    }
    paced.progress.Flush();
    // The first file's name at once, then one update each 200 ms (at files 23 and 46) with the steps that
    // waited, the rest at the flush.
    EXPECT_EQ(paced.shown.calls, (std::vector<std::string>{"detail file0 0 (null)", "detail file23 0 (null)", "step 230",
                                                           "detail file46 0 (null)", "step 230",
                                                           "detail file49 0 (null)", "step 40"}));
    int total = 0;
    for (const std::string& call : paced.shown.calls) {
        if (call.compare(0, 5, "step ") == 0) total += std::stoi(call.substr(5));
    }
    EXPECT_EQ(total, 500);  // no step is lost
}

TEST(PacedProgress, ANewStepGoesThroughAtOnceAfterWhatWaited) {
    Paced paced;
    paced.progress.Step(1);  // shown: the first update
    paced.progress.SetDetailText("Copying %d of %s", 7, "disk");
    paced.progress.Step(5);
    paced.progress.SetActionText("Making Folders...", nullptr, 0);
    paced.progress.SetRange(40);
    paced.progress.SetPosition(0);
    paced.progress.Step(2);  // within the interval: waits
    EXPECT_EQ(paced.shown.calls, (std::vector<std::string>{"step 1", "detail Copying %d of %s 7 disk", "step 5",
                                                           "action Making Folders...", "range 40", "position 0"}));
    paced.progress.Flush();
    paced.progress.Flush();  // nothing waits any more
    EXPECT_EQ(paced.shown.calls.back(), "step 2");
    EXPECT_EQ(paced.shown.calls.size(), 7u);
}

TEST(PacedProgress, DetailTextIsKeptAfterTheCallersBufferIsGone) {
    Paced paced;
    paced.progress.Step(1);
    {
        std::string path = "C:\\Program Files\\a.dll";
        paced.progress.SetDetailText(path.c_str(), 0, nullptr);
        path.assign(path.size(), 'x');
    }
    paced.progress.Flush();
    EXPECT_EQ(paced.shown.calls.back(), "detail C:\\Program Files\\a.dll 0 (null)");
}

}  // namespace
