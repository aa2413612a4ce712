#include "setup/install/Sequence.h"

#include <memory>

#include "platform/TSSException.h"
#include "setup/engine/Selection.h"
#include "setup/install/Steps.h"

void InstallRun::BeginStep(const char* actionText, int32_t range) const {
    engine.Log("Step", actionText);
    if (sink == nullptr) {
        return;
    }
    sink->SetActionText(actionText, nullptr, 0);
    sink->SetDetailText("", 0, nullptr);
    sink->SetRange(range);
    sink->SetPosition(0);
}

void InstallRun::Step(int32_t delta) const {
    if (sink != nullptr) {
        sink->Step(delta);
    }
}

void InstallRun::SetDetailText(const std::string& text) const {
    if (sink != nullptr) {
        sink->SetDetailText(text.c_str(), 0, nullptr);
    }
}

void InstallRun::ShowNow() const {
    if (paced != nullptr) {
        paced->Flush();
    }
}

namespace {

void RunSteps(InstallRun& run) {
    const int32_t mode = run.engine.mode;
    PrepareSelection(run.engine);
    ResolvePaths(run.engine);
    if (mode != SM_REPAIR) RemoveFiles(run);
    if (mode != SM_NEW && mode != SM_REPAIR) {
        RemoveRegistryEntries(run);
        RemoveDocTypes(run);
        RemoveShortcuts(run);
    }
    if (mode != SM_NEW) RemoveFolders(run);
    if (mode != SM_REMOVE) {
        MakeFolders(run);
        CopyFiles(run);
        WriteRegistryEntries(run);
        RegisterDocTypes(run);
        CreateShortcuts(run);
    }
    RegisterProduct(run);
    run.registered = true;
    InstallSetupProgram(run);
    RecordCreatedFolders(run);
    run.engine.completed = true;
}

}  // namespace

void RunSequence(SetupEngine& engine, ProgressSink* sink, HWND window) {
    // Each update of the window costs more than a small file's copy: the window is updated a few times a
    // second, not once a file.
    std::unique_ptr<PacedProgress> paced;
    if (sink != nullptr) {
        paced = std::make_unique<PacedProgress>(*sink, [] { return static_cast<uint64_t>(GetTickCount()); });
        sink = paced.get();
    }
    InstallRun run{engine, sink, window};
    run.paced = paced.get();
    engine.failed = false;
    try {
        RunSteps(run);
    } catch (const CTSSException& e) {
        engine.failed = true;
        engine.Log("Failed", e.Message().empty() ? "cancelled, or a disk or cabinet is missing" : e.Message());
        engine.FlushLog();
        if (engine.UIType() == kFullWizard && window != nullptr && !e.Message().empty()) {
            MessageBoxA(window, e.Message().c_str(), nullptr, MB_OK);
        }
    }
    if (engine.failed && engine.mode == SM_NEW && !run.registered && !engine.test) {
        engine.Log("Undoing the installation", "its new files, shortcuts and empty folders go");
        UndoFailedInstallation(run);
    }
    run.ShowNow();
    if (engine.completed) {
        engine.Log("Sequence completed");
    }
    engine.FlushLog();
}
