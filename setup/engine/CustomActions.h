#pragma once

#include <cstdint>
#include <string>

class CCustomAction;
class SetupEngine;

// Invocation points: -1 before the Welcome page, then the wizard's page indices 0 (after Welcome) to 8
// (after Finish). An action runs at point InvokeAfter - 2.
constexpr int kPointBeforeWelcome = -1;
constexpr int kPointAfterConfirmation = 6;
constexpr int kPointAfterProgress = 7;
constexpr int kPointAfterFinish = 8;
constexpr int kPointAlone = -2;  // as the last point: the first point alone

// What running an action needs from the system. Each answers true on success, false on any failure.
class ActionLauncher {
public:
    virtual ~ActionLauncher() = default;
    // Loads the library, calls the exported function with the wizard window and frees the library;
    // true when the function returned non-zero.
    virtual bool CallFunction(const std::string& library, const std::string& function) = 0;
    // Starts the program with "program arguments" and waits by the wait time (0 none, negative without limit).
    virtual bool StartProgram(const std::string& program, const std::string& arguments, int32_t wait) = 0;
    // Opens a document through the shell and waits by the wait time; false when no process came back.
    virtual bool OpenDocument(const std::string& path, const std::string& arguments, int32_t wait) = 0;
};

// Whether the action runs in the mode (its RunDuring bits).
bool RunsInMode(const CCustomAction& action, int32_t mode);

// Runs one action at point. True when it did not apply or succeeded; otherwise its IgnoreReturnValue.
bool RunCustomAction(SetupEngine& engine, CCustomAction& action, int point, ActionLauncher& launcher);
// Runs the points first to last (last kPointAlone: first alone), each point's actions in list order; stops
// at the first action that answers false and answers false.
bool RunCustomActions(SetupEngine& engine, int first, int last, ActionLauncher& launcher);
