#include <gtest/gtest.h>

#include "author/ActionRules.h"
#include "model/FileItem.h"
#include "model/Project.h"

using namespace action_rules;

namespace {

CFileItem File(const char* title) {
    CFileItem file;
    file.title = title;
    return file;
}

TEST(ActionListTest, RowsShowNameFileFunctionAndInvokePointAndTheMenuFollowsTheSelection) {
    EXPECT_STREQ(ColumnTitle(0), "Name");
    EXPECT_STREQ(ColumnTitle(1), "File");
    EXPECT_STREQ(ColumnTitle(2), "Function");
    EXPECT_STREQ(ColumnTitle(3), "Invoke");
    CFileItem library = File("SETUP.DLL");
    CCustomAction action;
    action.name = "Register";
    action.target = &library;
    action.function = "Install";
    action.invokeAfter = kAfterDestination;
    EXPECT_EQ(RowOf(action), (std::vector<std::string>{"Register", "SETUP.DLL", "Install",
                                                       "After the Destination dialog box"}));
    action.target = nullptr;
    action.invokeAfter = 11;
    EXPECT_EQ(RowOf(action), (std::vector<std::string>{"Register", "", "Install", ""}))
        << "no target and a point of no entry show empty cells";

    const struct {
        size_t count;
        int selected;
        MenuState state;
    } kCases[] = {
        {0, -1, {true, false, false, false, false}}, {1, -1, {true, false, false, false, false}},
        {1, 0, {true, true, true, false, false}},    {3, 0, {true, true, true, false, true}},
        {3, 1, {true, true, true, true, true}},      {3, 2, {true, true, true, true, false}},
        {3, 3, {true, false, false, false, false}},  {50, 10, {false, true, true, true, true}},
        {50, 49, {false, true, true, true, false}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.count) + " rows, row " + std::to_string(c.selected));
        const MenuState state = MenuStateOf(c.count, 50, c.selected);  // a list that holds 50
        EXPECT_EQ(state.add, c.state.add) << "a full list takes no new action";
        EXPECT_EQ(state.remove, c.state.remove);
        EXPECT_EQ(state.change, c.state.change);
        EXPECT_EQ(state.moveUp, c.state.moveUp);
        EXPECT_EQ(state.moveDown, c.state.moveDown);
    }
}

TEST(ActionConversionsTest, InvokePointsRunDuringBitsAndWaitTimesShowAsTheirControlsAndBack) {
    ASSERT_EQ(InvokeChoices().size(), 10u);
    EXPECT_EQ(InvokeChoices().front(), "Before the Welcome dialog box");
    EXPECT_EQ(InvokeChoices().back(), "After the Finish dialog box");
    const struct {
        int32_t invokeAfter;
        int choice;
    } kPoints[] = {{1, 0}, {2, 1}, {5, 4}, {10, 9}, {0, -1}, {11, -1}, {-1, -1}};
    for (const auto& c : kPoints) {
        SCOPED_TRACE(c.invokeAfter);
        EXPECT_EQ(InvokeChoice(c.invokeAfter), c.choice);
    }

    const struct {
        uint32_t bits;
        RunDuringBoxes boxes;
    } kBits[] = {{0, {false, false, false, false}}, {1, {true, false, false, false}},
                 {2, {false, true, false, false}},  {4, {false, false, true, false}},
                 {8, {false, false, false, true}},  {15, {true, true, true, true}},
                 {9, {true, false, false, true}}};
    for (const auto& c : kBits) {
        SCOPED_TRACE(c.bits);
        const RunDuringBoxes boxes = BoxesOf(c.bits);
        EXPECT_EQ(boxes.installation, c.boxes.installation);
        EXPECT_EQ(boxes.uninstallation, c.boxes.uninstallation);
        EXPECT_EQ(boxes.modification, c.boxes.modification);
        EXPECT_EQ(boxes.repair, c.boxes.repair);
        EXPECT_EQ(RunDuringOf(c.boxes), c.bits);
    }
    EXPECT_EQ(BoxesOf(0xF0 | 2).uninstallation, true) << "unknown bits of a damaged file are ignored";

    const struct {
        int32_t waitTime;
        bool wait, infinite;
        const char* timeout;
    } kWaits[] = {{0, false, false, ""},
                  {-1, true, true, ""},
                  {-5, true, true, ""},
                  {2500, true, false, "2500"},
                  {2147483647, true, false, "2147483647"}};
    for (const auto& c : kWaits) {
        SCOPED_TRACE(c.waitTime);
        const WaitControls controls = WaitControlsOf(c.waitTime);
        EXPECT_EQ(controls.wait, c.wait);
        EXPECT_EQ(controls.infinite, c.infinite);
        EXPECT_EQ(controls.timeout, c.timeout);
    }
}

TEST(ActionDialogEnablingTest, ALibraryTakesAFunctionAndIsNeverWaitedForAProgramTakesArguments) {
    CFileItem library = File("SETUP.DLL");
    CFileItem lowerLibrary = File("hook.dll");
    CFileItem program = File("tool.exe");
    CFileItem almost = File("dll.txt");
    const struct {
        const CFileItem* target;
        bool wait, infinite;
        Enabling enabling;  // arguments, function, wait, waitCleared, timeout, infinite
    } kCases[] = {
        {nullptr, false, false, {true, false, true, false, false, false}},
        {&program, false, false, {true, false, true, false, false, false}},
        {&program, false, true, {true, false, true, false, false, false}},
        {&program, true, false, {true, false, true, false, true, true}},
        {&program, true, true, {true, false, true, false, false, true}},
        {&almost, true, false, {true, false, true, false, true, true}},
        {&library, false, false, {false, true, false, true, false, false}},
        {&library, true, false, {false, true, false, true, false, false}},
        {&lowerLibrary, true, true, {false, true, false, true, false, false}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.target != nullptr ? c.target->title : "(none)") + (c.wait ? " wait" : "") +
                     (c.infinite ? " infinite" : ""));
        const Enabling e = EnablingOf(c.target, c.wait, c.infinite);
        EXPECT_EQ(e.arguments, c.enabling.arguments);
        EXPECT_EQ(e.function, c.enabling.function);
        EXPECT_EQ(e.wait, c.enabling.wait);
        EXPECT_EQ(e.waitCleared, c.enabling.waitCleared);
        EXPECT_EQ(e.timeout, c.enabling.timeout);
        EXPECT_EQ(e.infinite, c.enabling.infinite);
    }
}

TEST(ActionDialogChecksTest, TheChecksOfOkComeInTheirOrderAndAFailureChangesNothing) {
    CFileItem library = File("SETUP.DLL");
    CFileItem program = File("tool.exe");
    // Every check fails at once: the first message comes, then the next once the first is put right.
    DialogInput input;
    input.name = "n";
    input.runDuring = {false, false, false, false};
    input.target = nullptr;
    input.function = "";
    input.wait = true;
    input.timeout = "-1";
    const struct {
        void (*fix)(DialogInput&, CFileItem*, CFileItem*);
        const char* message;
        Field field;
    } kSteps[] = {
        {[](DialogInput&, CFileItem*, CFileItem*) {}, NoRunDuringMessage(), Field::kRunDuring},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.runDuring.repair = true; }, NoTargetMessage(),
         Field::kTarget},
        {[](DialogInput& in, CFileItem* dll, CFileItem*) { in.target = dll; }, NoFunctionMessage(),
         Field::kFunction},
        {[](DialogInput& in, CFileItem*, CFileItem* exe) { in.target = exe; }, BadTimeoutMessage(),
         Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = "2147483648"; }, TimeoutTooLongMessage(),
         Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = "12x"; }, BadTimeoutMessage(),
         Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = ""; }, BadTimeoutMessage(),
         Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = "99999999999999999999999"; },
         TimeoutTooLongMessage(), Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = "-"; }, BadTimeoutMessage(),
         Field::kTimeout},
        {[](DialogInput& in, CFileItem*, CFileItem*) { in.timeout = "2147483647"; }, nullptr, Field::kNone},
    };
    CCustomAction action;
    action.name = "before";
    for (const auto& step : kSteps) {
        step.fix(input, &library, &program);
        SCOPED_TRACE(step.message != nullptr ? step.message : "accepted");
        const CheckResult result = Accept(input, &action);
        EXPECT_STREQ(result.message != nullptr ? result.message : "(accepted)",
                     step.message != nullptr ? step.message : "(accepted)");
        EXPECT_EQ(result.field, step.field);
        EXPECT_EQ(action.name, step.message != nullptr ? "before" : "n") << "a failed check changes nothing";
    }
    EXPECT_EQ(action.waitTime, 2147483647);
    EXPECT_EQ(action.runDuring, 8u);
    EXPECT_EQ(action.target, &program);
}

TEST(ActionDialogChecksTest, AnAcceptedActionStoresWhatItsKindTakes) {
    CFileItem library = File("setup.Dll");
    CFileItem program = File("tool.exe");
    const struct {
        const char* what;
        CFileItem* target;
        bool wait, infinite;
        const char* timeout;
        int invokeChoice;
        const char* arguments;  // stored
        const char* function;   // stored
        int32_t waitTime;
        int32_t invokeAfter;
    } kCases[] = {
        {"a library: no arguments, never waited for", &library, true, true, "", 0, "", "Go", 0, 1},
        {"a program: no function", &program, false, true, "500", 9, "-x", "", 0, 10},
        {"waiting without limit", &program, true, true, "abc", 4, "-x", "", -1, 5},
        {"waiting a time", &program, true, false, "0500", 1, "-x", "", 500, 2},
        {"waiting no time", &program, true, false, "0", 2, "-x", "", 0, 3},
        {"minus zero is zero", &program, true, false, "-0", 2, "-x", "", 0, 3},
        {"no point chosen keeps the point", &program, false, false, "", -1, "-x", "", 0, 7},
        {"a point beyond the list keeps the point", &program, false, false, "", 10, "-x", "", 0, 7},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        DialogInput input;
        input.name = "Action";
        input.description = "Does things";
        input.target = c.target;
        input.arguments = "-x";
        input.function = "Go";
        input.invokeChoice = c.invokeChoice;
        input.runDuring = {true, false, true, false};
        input.wait = c.wait;
        input.infinite = c.infinite;
        input.timeout = c.timeout;
        input.ignoreReturnValue = true;
        input.runOnce = false;
        CCustomAction action;
        action.invokeAfter = 7;
        const CheckResult result = Accept(input, &action);
        ASSERT_EQ(result.message, nullptr) << result.message;
        EXPECT_EQ(action.name, "Action");
        EXPECT_EQ(action.description, "Does things");
        EXPECT_EQ(action.target, c.target);
        EXPECT_EQ(action.arguments, c.arguments);
        EXPECT_EQ(action.function, c.function);
        EXPECT_EQ(action.waitTime, c.waitTime);
        EXPECT_EQ(action.invokeAfter, c.invokeAfter);
        EXPECT_EQ(action.runDuring, 5u);
        EXPECT_TRUE(action.ignoreReturnValue);
        EXPECT_FALSE(action.runOnce);
    }
}

TEST(ActionDialogChecksTest, AnOkThatChangedNoFieldIsNoEdit) {
    CFileItem program = File("tool.exe");
    CCustomAction before;
    before.name = "a";
    before.target = &program;
    const struct {
        const char* what;
        void (*change)(CCustomAction&);
        bool same;
    } kCases[] = {
        {"nothing", [](CCustomAction&) {}, true},
        {"the place in the list", [](CCustomAction& a) { a.position = 4; }, true},
        {"the name", [](CCustomAction& a) { a.name = "b"; }, false},
        {"the target", [](CCustomAction& a) { a.target = nullptr; }, false},
        {"the description", [](CCustomAction& a) { a.description = "d"; }, false},
        {"the arguments", [](CCustomAction& a) { a.arguments = "-x"; }, false},
        {"the function", [](CCustomAction& a) { a.function = "f"; }, false},
        {"the point", [](CCustomAction& a) { a.invokeAfter = 1; }, false},
        {"the wait time", [](CCustomAction& a) { a.waitTime = -1; }, false},
        {"the run-during bits", [](CCustomAction& a) { a.runDuring = 3; }, false},
        {"ignore return value", [](CCustomAction& a) { a.ignoreReturnValue = true; }, false},
        {"run once", [](CCustomAction& a) { a.runOnce = false; }, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        CCustomAction after = before;
        c.change(after);
        EXPECT_EQ(SameFields(before, after), c.same);
    }
}

TEST(ActionOrderTest, SwappingTwoActionsKeepsEveryPositionRight) {
    CProject project;
    for (const char* name : {"a", "b", "c"}) {
        auto action = std::make_unique<CCustomAction>();
        action->name = name;
        project.actions.Add(std::move(action));
    }
    EXPECT_TRUE(project.actions.Swap(0, 2));
    EXPECT_FALSE(project.actions.Swap(1, 3));
    std::string order;
    for (CCustomAction* action : project.actions) {
        order += action->name + std::to_string(action->position);
    }
    EXPECT_EQ(order, "c0b1a2");
}

}  // namespace
