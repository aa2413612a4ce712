#include "setup/engine/CustomActions.h"

#include "model/CustomAction.h"
#include "setup/engine/SetupEngine.h"

bool RunsInMode(const CCustomAction& action, int32_t mode) {
    switch (mode) {
        case SM_NEW: return (action.runDuring & kRunDuringInstall) != 0;
        case SM_REMOVE: return (action.runDuring & kRunDuringUninstall) != 0;
        case SM_CHANGE:
        case SM_ASK: return (action.runDuring & kRunDuringModify) != 0;
        case SM_REPAIR: return (action.runDuring & kRunDuringRepair) != 0;
        default: return false;
    }
}

bool RunCustomAction(SetupEngine& engine, CCustomAction& action, int point, ActionLauncher& launcher) {
    if (!RunsInMode(action, engine.mode)) {
        return true;
    }
    if (action.runOnce && engine.actionsRun.count(&action) != 0) {
        return true;
    }
    if (action.invokeAfter != point + 2) {
        return true;
    }
    engine.actionsRun.insert(&action);
    const std::string target = action.target != nullptr ? engine.ResolvedFilePath(*action.target) : std::string();
    const std::string arguments = engine.ExpandVariables(action.arguments);
    bool ok;
    std::string what = target;
    if (!action.function.empty()) {
        ok = launcher.CallFunction(target, action.function);
        what += ", function " + action.function;
    } else if (action.target != nullptr && EndsWithNoCase(action.target->title, "EXE")) {
        ok = launcher.StartProgram(target, arguments, action.waitTime);
    } else {
        ok = launcher.OpenDocument(target, arguments, action.waitTime);
    }
    if (!arguments.empty()) {
        what += ", arguments " + arguments;
    }
    engine.Log(ok ? "Custom action run" : "Custom action failed", action.name + " (" + what + ")");
    return ok ? true : action.ignoreReturnValue;
}

bool RunCustomActions(SetupEngine& engine, int first, int last, ActionLauncher& launcher) {
    if (last == kPointAlone) {
        last = first;
    }
    for (int point = first; point <= last; ++point) {
        for (size_t i = 0; i < engine.project.actions.size(); ++i) {
            if (!RunCustomAction(engine, *engine.project.actions[i], point, launcher)) {
                return false;
            }
        }
    }
    return true;
}
