#pragma once

// The rules of the "Custom Actions" page and of the custom action dialog that need no window: the list's
// rows and menu, which controls the dialog enables, the checks of OK in their order, and the conversions
// between an action's fields and the dialog's controls (wait time, run-during bits, invocation points).
#include <cstdint>
#include <string>
#include <vector>

#include "model/CustomAction.h"

class CFileItem;

namespace action_rules {

// The page's list: "Name", "File", "Function", "Invoke", 100 wide each, one row per action in list order.
constexpr int kColumnCount = 4;
constexpr int kColumnWidth = 100;
const char* ColumnTitle(int column);
// The texts of an action's row: its name, its target file's name, its function and its invocation point
// (empty for a value of no point, from a damaged file).
std::vector<std::string> RowOf(const CCustomAction& action);

// The context menu's items and whether each can be chosen, for a list of count actions (capacity at most)
// with the row selected (-1 for none).
struct MenuState {
    bool add;
    bool remove;
    bool change;
    bool moveUp;
    bool moveDown;
};
MenuState MenuStateOf(size_t count, size_t capacity, int selected);

// "Invoke:": the ten points in their order; an action stores the chosen entry plus one.
const std::vector<std::string>& InvokeChoices();
// The entry showing a stored point, or -1 for a value of no point.
int InvokeChoice(int32_t invokeAfter);

// "Installation", "Uninstallation", "Modification", "Repair" and their bits 1, 2, 4, 8.
struct RunDuringBoxes {
    bool installation;
    bool uninstallation;
    bool modification;
    bool repair;
};
RunDuringBoxes BoxesOf(uint32_t runDuring);
uint32_t RunDuringOf(RunDuringBoxes boxes);

// "Wait for the action:", "Infinite" and "Timeout:" showing a stored wait time: 0 does not wait (the field
// empty), a negative time waits without limit (the field empty), a positive one is the field's number.
struct WaitControls {
    bool wait;
    bool infinite;
    std::string timeout;
};
WaitControls WaitControlsOf(int32_t waitTime);

// Whether the chosen target is a library: its name ends in "DLL" (case ignored). No target is a program.
bool IsLibrary(const CFileItem* target);

// Which of the dialog's controls can be used. A library takes a function name and is never waited for; a
// program takes arguments. "Timeout:" and "Infinite" only while waiting, "Timeout:" only without limit.
struct Enabling {
    bool arguments;
    bool function;
    bool wait;
    bool waitCleared;  // "Wait for the action:" is cleared as it is disabled
    bool timeout;
    bool infinite;
};
Enabling EnablingOf(const CFileItem* target, bool waitChecked, bool infiniteChecked);

// What the dialog's controls hold when OK is pressed.
struct DialogInput {
    std::string name;
    std::string description;
    CFileItem* target = nullptr;
    std::string arguments;
    std::string function;
    int invokeChoice = -1;
    RunDuringBoxes runDuring{};
    bool wait = false;
    bool infinite = false;
    std::string timeout;
    bool ignoreReturnValue = false;
    bool runOnce = false;
};

// Which control a failed check sends the user back to.
enum class Field { kNone, kRunDuring, kTarget, kFunction, kTimeout };

struct CheckResult {
    const char* message;  // nullptr when the input was accepted
    Field field;
};

// The checks of OK, in their order: a run-during bit, a target, a function name for a library, a timeout
// that is a number of milliseconds (not negative, within 32 bits). On success the action's fields are
// written from the input: a library's arguments and a program's function are cleared, the wait time is 0
// without waiting, -1 without limit, else the timeout, and the invocation point is the choice plus one (no
// choice keeps the action's point). On failure the action is left as it was.
CheckResult Accept(const DialogInput& input, CCustomAction* action);

// Whether two actions hold the same fields (their places in the list aside): an OK that changed nothing is
// no edit.
bool SameFields(const CCustomAction& a, const CCustomAction& b);

// The messages of the checks.
const char* NoRunDuringMessage();
const char* NoTargetMessage();
const char* NoFunctionMessage();
const char* BadTimeoutMessage();
const char* TimeoutTooLongMessage();

}  // namespace action_rules
