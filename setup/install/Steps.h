#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/engine/PacedProgress.h"
#include "setup/engine/ProgressSink.h"
#include "setup/engine/SetupEngine.h"

class CFileItem;

// One run of the install sequence: the engine, where progress goes (null in silent runs) and the window
// that owns messages and questions (null when there is none).
struct InstallRun {
    InstallRun(SetupEngine& runEngine, ProgressSink* runSink, HWND runWindow)
        : engine(runEngine), sink(runSink), window(runWindow) {}

    SetupEngine& engine;
    ProgressSink* sink = nullptr;
    HWND window = nullptr;
    // The files and shortcuts that this run put where nothing was, and whether the product is registered:
    // what a sequence that fails before registration takes away again.
    std::vector<CFileItem*> madeFiles;
    std::vector<std::string> madeShortcuts;
    bool registered = false;
    // The pace at which sink passes progress on, when it does: ShowNow shows what waits.
    PacedProgress* paced = nullptr;

    // Starts a counting step: the action text, an empty detail line, the range and the position 0.
    void BeginStep(const char* actionText, int32_t range) const;
    void Step(int32_t delta = 1) const;
    // The detail line, shown as it is.
    void SetDetailText(const std::string& text) const;
    void ShowNow() const;
};

// Files and folders.
void RemoveFiles(InstallRun& run);
void RemoveFolders(InstallRun& run);
void MakeFolders(InstallRun& run);
void CopyFiles(InstallRun& run);

// Registry entries, document types and shortcuts.
void RemoveRegistryEntries(InstallRun& run);
void RemoveDocTypes(InstallRun& run);
void RemoveShortcuts(InstallRun& run);
void WriteRegistryEntries(InstallRun& run);
void RegisterDocTypes(InstallRun& run);
void CreateShortcuts(InstallRun& run);
// Deletes the key with all its values and subkeys; the registry error code, 0 for success.
LONG DeleteRegistryTree(HKEY hive, const std::string& path);

// The installed-product record and the setup program's copy on the target.
void RegisterProduct(InstallRun& run);
// Takes away what a failed first installation made: its new files and shortcuts, then the folders it made
// that are empty.
void UndoFailedInstallation(InstallRun& run);
// Keeps the folders that the installation made in the record, for a later change or removal; after the
// setup program's copy, whose saved database may have needed the target folder.
void RecordCreatedFolders(InstallRun& run);
void InstallSetupProgram(InstallRun& run);
