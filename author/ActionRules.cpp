#include "author/ActionRules.h"

#include <limits>

#include "model/FileItem.h"

namespace action_rules {

namespace {

enum class Timeout { kNumber, kNegative, kNotANumber, kTooLong };

// The milliseconds typed into "Timeout:": digits, with a minus sign before them for a negative number.
Timeout ParseTimeout(const std::string& text, int32_t* value) {
    const bool negative = !text.empty() && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (text.size() == first) {
        return Timeout::kNotANumber;
    }
    int64_t number = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return Timeout::kNotANumber;
        }
        if (number <= std::numeric_limits<int32_t>::max()) {
            number = number * 10 + (text[i] - '0');
        }
    }
    if (negative && number != 0) {
        return Timeout::kNegative;
    }
    if (number > std::numeric_limits<int32_t>::max()) {
        return Timeout::kTooLong;
    }
    *value = static_cast<int32_t>(number);
    return Timeout::kNumber;
}

}  // namespace

const char* ColumnTitle(int column) {
    static const char* const kTitles[kColumnCount] = {"Name", "File", "Function", "Invoke"};
    return column >= 0 && column < kColumnCount ? kTitles[column] : "";
}

std::vector<std::string> RowOf(const CCustomAction& action) {
    const int choice = InvokeChoice(action.invokeAfter);
    return {action.name, action.target != nullptr ? action.target->title : std::string(), action.function,
            choice >= 0 ? InvokeChoices()[static_cast<size_t>(choice)] : std::string()};
}

MenuState MenuStateOf(size_t count, size_t capacity, int selected) {
    const bool isRow = selected >= 0 && static_cast<size_t>(selected) < count;
    return {count < capacity, isRow, isRow, isRow && selected > 0,
            isRow && static_cast<size_t>(selected) + 1 < count};
}

const std::vector<std::string>& InvokeChoices() {
    static const std::vector<std::string> choices(kInvokePointTexts, kInvokePointTexts + kInvokePointCount);
    return choices;
}

int InvokeChoice(int32_t invokeAfter) {
    return invokeAfter >= kBeforeWelcome && invokeAfter <= kAfterFinish ? invokeAfter - kBeforeWelcome : -1;
}

RunDuringBoxes BoxesOf(uint32_t runDuring) {
    return {(runDuring & kRunDuringInstall) != 0, (runDuring & kRunDuringUninstall) != 0,
            (runDuring & kRunDuringModify) != 0, (runDuring & kRunDuringRepair) != 0};
}

uint32_t RunDuringOf(RunDuringBoxes boxes) {
    return (boxes.installation ? kRunDuringInstall : 0u) | (boxes.uninstallation ? kRunDuringUninstall : 0u) |
           (boxes.modification ? kRunDuringModify : 0u) | (boxes.repair ? kRunDuringRepair : 0u);
}

WaitControls WaitControlsOf(int32_t waitTime) {
    if (waitTime == 0) {
        return {false, false, std::string()};
    }
    if (waitTime < 0) {
        return {true, true, std::string()};
    }
    return {true, false, std::to_string(waitTime)};
}

bool IsLibrary(const CFileItem* target) {
    return target != nullptr && IsLibraryName(target->title);
}

Enabling EnablingOf(const CFileItem* target, bool waitChecked, bool infiniteChecked) {
    const bool library = IsLibrary(target);
    const bool waiting = waitChecked && !library;
    return {!library, library, !library, library, waiting && !infiniteChecked, waiting};
}

CheckResult Accept(const DialogInput& input, CCustomAction* action) {
    const uint32_t runDuring = RunDuringOf(input.runDuring);
    if (runDuring == 0) {
        return {NoRunDuringMessage(), Field::kRunDuring};
    }
    if (input.target == nullptr) {
        return {NoTargetMessage(), Field::kTarget};
    }
    const bool library = IsLibrary(input.target);
    if (library && input.function.empty()) {
        return {NoFunctionMessage(), Field::kFunction};
    }
    int32_t waitTime = 0;
    if (input.wait && !library) {
        if (input.infinite) {
            waitTime = -1;
        } else {
            switch (ParseTimeout(input.timeout, &waitTime)) {
                case Timeout::kNumber:
                    break;
                case Timeout::kTooLong:
                    return {TimeoutTooLongMessage(), Field::kTimeout};
                case Timeout::kNegative:
                case Timeout::kNotANumber:
                    return {BadTimeoutMessage(), Field::kTimeout};
            }
        }
    }
    action->name = input.name;
    action->description = input.description;
    action->target = input.target;
    action->arguments = library ? std::string() : input.arguments;
    action->function = library ? input.function : std::string();
    action->runDuring = runDuring;
    action->waitTime = waitTime;
    action->ignoreReturnValue = input.ignoreReturnValue;
    action->runOnce = input.runOnce;
    if (input.invokeChoice >= 0 && input.invokeChoice < kInvokePointCount) {
        action->invokeAfter = input.invokeChoice + kBeforeWelcome;
    }
    return {nullptr, Field::kNone};
}

bool SameFields(const CCustomAction& a, const CCustomAction& b) {
    return a.name == b.name && a.target == b.target && a.description == b.description &&
           a.arguments == b.arguments && a.function == b.function && a.invokeAfter == b.invokeAfter &&
           a.waitTime == b.waitTime && a.runDuring == b.runDuring &&
           a.ignoreReturnValue == b.ignoreReturnValue && a.runOnce == b.runOnce;
}

const char* NoRunDuringMessage() {
    return "Please specify when you want to run the custom action.";
}

const char* NoTargetMessage() {
    return "Please select a file for this custom action.";
}

const char* NoFunctionMessage() {
    return "Please enter a function name to be called for this custom action.";
}

const char* BadTimeoutMessage() {
    return "Please enter a positive number for the Timeout.";
}

const char* TimeoutTooLongMessage() {
    return "The Timeout is too long: it is at most 2147483647 milliseconds.";
}

}  // namespace action_rules
