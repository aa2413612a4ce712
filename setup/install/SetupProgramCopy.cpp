// The setup program's own copy in the system folder (TSSetup.exe) and the database saved in the target
// folder: what the stored maintenance commands start.
#include <string>
#include <vector>

#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/FileInfo.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "platform/TSSException.h"
#include "setup/engine/InstalledRecord.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"

namespace {

// The copy as a file of this run: shared, with an App Paths entry, replaced by version and then by date;
// it is to be present after a first installation and was present before a removal.
CFileItem SetupCopyFile(SetupEngine& engine) {
    CFileItem file;
    file.title = kSetupCopyTitle;
    file.resolvedPath = engine.ExpandVariables("<windows system folder>") + "\\" + file.title;
    platform::GetFileVersion(engine.setupProgramPath, &file.versionMS, &file.versionLS);
    platform::FileInfo info;
    if (platform::GetFileInfo(engine.setupProgramPath, &info)) {
        file.time = info.lastWriteTime;
    }
    file.shared = true;
    file.addAppPath = true;
    file.overwriteMethod = kOverwriteNewerVersionThenDate;
    file.isSelected = engine.mode == SM_NEW;
    file.isInstalled = engine.mode == SM_REMOVE;
    return file;
}

// Whether another process holds the copy so that it cannot be written; sets the restart-needed flag then.
// Every installed product starts this one file for its maintenance: the test leaves it as it is.
bool HeldOpen(SetupEngine& engine, CFileItem& file) {
    TestInUse(engine, file);
    return file.inUse;
}

void InstallCopy(SetupEngine& engine, CFileItem& file) {
    AdjustSharedCount(engine, file, +1);
    WriteAppPath(file);
    const OverwriteDecision decision = DecideOverwrite(file);
    const std::string rule =
        std::string(" (") + OverwriteMethodName(file.overwriteMethod) + ": " + decision.reason + ")";
    if (!decision.replace) {
        engine.Log("Setup program copy skipped", file.resolvedPath + rule);
        return;
    }
    if (HeldOpen(engine, file)) {
        const std::string twin = file.resolvedPath + ".cor";
        if (CopyFileA(engine.setupProgramPath.c_str(), twin.c_str(), FALSE)) {
            ScheduleReplaceAtReboot(engine, twin, file.resolvedPath);
            engine.Log("Setup program copy in use, replaced at the restart", file.resolvedPath + rule);
        }
        return;
    }
    const bool copied = CopyFileA(engine.setupProgramPath.c_str(), file.resolvedPath.c_str(), FALSE) != FALSE;
    engine.Log(copied ? "Setup program copied" : "Setup program not copied", file.resolvedPath + rule);
}

// The database of this run, with its state (target folder, marks, selections) and the support cabinet,
// saved where the stored commands look for it. The target folder is made when no installed item needed
// it; a project without one has nowhere to keep it. A failed save leaves the file that was there.
void SaveDatabase(SetupEngine& engine) {
    if (engine.project.target.empty()) {
        return;  // no folder to keep it in
    }
    const std::string path = engine.project.target + "\\" + kSavedDatabaseTitle;
    try {
        MakeFolderPath(engine.project.target, &engine.createdFolders);
        CTreeArchive archive(kMainClass, kSetupProgram);
        if (!archive.OpenForSave(path)) {
            return;
        }
        engine.project.Serialize(kProjectKey, archive);
        archive.ExchangeFile(engine.tstempFolder + "\\TSFiles.cab");
        archive.CloseAfterSave();
        engine.Log("Database saved", path);
    } catch (const CTSException& e) {
        engine.Log("Database not saved", path + " (" + e.Message() + ")");
    } catch (const CTSSException& e) {
        engine.Log("Database not saved", path + " (" + e.Message() + ")");
    }
}

}  // namespace

void InstallSetupProgram(InstallRun& run) {
    SetupEngine& engine = run.engine;
    if (engine.project.noARP || engine.test) {
        return;
    }
    CFileItem copy = SetupCopyFile(engine);
    if (engine.mode == SM_NEW) {
        InstallCopy(engine, copy);
    } else if (engine.mode == SM_REMOVE) {
        // Removed like any installed shared file that the user agreed to remove: only when no other product
        // counts it; a copy that is running goes at the next start of Windows.
        // The copy that runs this removal goes at the next start of Windows without anything waiting on
        // that start: the product is removed now, so the run does not ask for a restart on its account.
        engine.sharedFileAnswer = 2;
        const bool restartBefore = engine.restartNeeded;
        RemoveInstalledFile(run, copy);
        if (nocase::Equal(copy.resolvedPath, engine.setupProgramPath)) {
            engine.restartNeeded = restartBefore;
        }
        DeleteFileA((engine.project.target + "\\" + kMaintenanceDatabaseTitle).c_str());
    }
    if (engine.mode == SM_NEW || engine.mode == SM_CHANGE) {
        SaveDatabase(engine);
    }
}
