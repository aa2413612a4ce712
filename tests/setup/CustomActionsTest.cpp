#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/engine/CustomActions.h"
#include "setup/engine/SetupEngine.h"
#include "tests/setup/NoShellFolders.h"

namespace {

// Records every launch and answers as told.
class RecordingLauncher : public ActionLauncher {
public:
    bool CallFunction(const std::string& library, const std::string& function) override {
        calls.push_back("call " + library + " " + function);
        return answer;
    }
    bool StartProgram(const std::string& program, const std::string& arguments, int32_t wait) override {
        calls.push_back("start " + program + " [" + arguments + "] " + std::to_string(wait));
        return answer;
    }
    bool OpenDocument(const std::string& path, const std::string& arguments, int32_t wait) override {
        calls.push_back("open " + path + " [" + arguments + "] " + std::to_string(wait));
        return answer;
    }
    std::vector<std::string> calls;
    bool answer = true;
};

class CustomActions : public ::testing::Test {
protected:
    CustomActions() {
        target = engine.project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
        engine.project.target = "D:\\App";
    }
    CFileItem* AddFile(const std::string& title) {
        auto file = std::make_unique<CFileItem>();
        file->title = title;
        file->folder = target;
        return engine.project.files.Add(std::move(file));
    }
    CCustomAction* AddAction(const std::string& title, int32_t invokeAfter, uint32_t runDuring) {
        auto action = std::make_unique<CCustomAction>();
        action->name = title;
        action->target = AddFile(title);
        action->invokeAfter = invokeAfter;
        action->runDuring = runDuring;
        return engine.project.actions.Add(std::move(action));
    }

    NoShellFolders folders;
    SetupEngine engine{folders};
    CFolder* target = nullptr;
    RecordingLauncher launcher;
};

TEST_F(CustomActions, FinishActionRunsOnceInInstallOnly) {
    AddAction("tool.exe", kAfterFinish, kRunDuringInstall);
    EXPECT_TRUE(RunCustomActions(engine, kPointBeforeWelcome, kPointAfterProgress, launcher));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_TRUE(RunCustomActions(engine, kPointAfterFinish, kPointAlone, launcher));
    EXPECT_TRUE(RunCustomActions(engine, kPointAfterFinish, kPointAlone, launcher));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0], "start D:\\App\\tool.exe [] 0");

    engine.actionsRun.clear();
    engine.mode = SM_REMOVE;
    EXPECT_TRUE(RunCustomActions(engine, kPointAfterFinish, kPointAlone, launcher));
    EXPECT_EQ(launcher.calls.size(), 1u);
}

TEST_F(CustomActions, WithoutRunOnceRunsEachTime) {
    AddAction("tool.exe", kAfterWelcome, kRunDuringInstall)->runOnce = false;
    RunCustomActions(engine, 0, kPointAlone, launcher);
    RunCustomActions(engine, 0, kPointAlone, launcher);
    EXPECT_EQ(launcher.calls.size(), 2u);
}

TEST_F(CustomActions, ModificationBitCoversAsk) {
    AddAction("m.exe", kAfterWelcome, kRunDuringModify);
    engine.mode = SM_ASK;
    RunCustomActions(engine, 0, kPointAlone, launcher);
    EXPECT_EQ(launcher.calls.size(), 1u);
    engine.actionsRun.clear();
    engine.mode = SM_CHANGE;
    RunCustomActions(engine, 0, kPointAlone, launcher);
    EXPECT_EQ(launcher.calls.size(), 2u);
    engine.actionsRun.clear();
    engine.mode = SM_REPAIR;
    RunCustomActions(engine, 0, kPointAlone, launcher);
    EXPECT_EQ(launcher.calls.size(), 2u);
}

TEST_F(CustomActions, RangeRunsSkippedPointsInOrder) {
    AddAction("c.exe", kAfterFeatures, kRunDuringInstall);
    AddAction("a.exe", kAfterDestination, kRunDuringInstall);
    AddAction("b.exe", kAfterSetupType, kRunDuringInstall);
    EXPECT_TRUE(RunCustomActions(engine, 3, 5, launcher));
    ASSERT_EQ(launcher.calls.size(), 3u);
    EXPECT_NE(launcher.calls[0].find("a.exe"), std::string::npos);
    EXPECT_NE(launcher.calls[1].find("b.exe"), std::string::npos);
    EXPECT_NE(launcher.calls[2].find("c.exe"), std::string::npos);
}

TEST_F(CustomActions, KindsAndExpandedArguments) {
    CCustomAction* program = AddAction("TOOL.EXE", kBeforeWelcome, kRunDuringInstall);
    program->arguments = "/t \"<target folder>\" <setup mode>";
    program->waitTime = -1;
    CCustomAction* document = AddAction("readme.txt", kBeforeWelcome, kRunDuringInstall);
    document->waitTime = 500;
    CCustomAction* library = AddAction("hook.dll", kBeforeWelcome, kRunDuringInstall);
    library->function = "Hook";
    EXPECT_TRUE(RunCustomActions(engine, kPointBeforeWelcome, kPointAlone, launcher));
    ASSERT_EQ(launcher.calls.size(), 3u);
    EXPECT_EQ(launcher.calls[0], "start D:\\App\\TOOL.EXE [/t \"D:\\App\" SM_NEW] -1");
    EXPECT_EQ(launcher.calls[1], "open D:\\App\\readme.txt [] 500");
    EXPECT_EQ(launcher.calls[2], "call D:\\App\\hook.dll Hook");
    EXPECT_EQ(program->arguments, "/t \"<target folder>\" <setup mode>");  // the stored text stays as written
}

TEST_F(CustomActions, FailureStopsUnlessIgnored) {
    AddAction("first.dll", kAfterWelcome, kRunDuringInstall)->function = "F";
    AddAction("second.exe", kAfterWelcome, kRunDuringInstall);
    launcher.answer = false;
    EXPECT_FALSE(RunCustomActions(engine, 0, 6, launcher));
    EXPECT_EQ(launcher.calls.size(), 1u);

    engine.actionsRun.clear();
    launcher.calls.clear();
    for (size_t i = 0; i < engine.project.actions.size(); ++i) {
        engine.project.actions[i]->ignoreReturnValue = true;
    }
    EXPECT_TRUE(RunCustomActions(engine, 0, 6, launcher));
    EXPECT_EQ(launcher.calls.size(), 2u);
}

}  // namespace
