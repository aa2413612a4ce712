#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "model/Project.h"
#include "setup/engine/CreatedFolders.h"
#include "setup/engine/SetupLog.h"
#include "setup/engine/SetupRules.h"

class CFileItem;
class CFolder;

// The folders that only the system knows, for the path variables. The setup program asks Windows; tests
// give their own.
class SystemFolders {
public:
    virtual ~SystemFolders() = default;
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
    // A value of the "Shell Folders" key: the current user's, or the machine's for the "Common" names.
    // Empty when the key or value is missing.
    virtual std::string ShellFolder(const std::string& valueName, bool machine) = 0;
};

// The setup program's state for one run: the loaded project, the run's settings and the process-wide
// paths. One exists per process, reached through SetupEngine::Instance.
class SetupEngine {
public:
    explicit SetupEngine(SystemFolders& folders) : folders_(folders) {}
    SetupEngine(const SetupEngine&) = delete;
    SetupEngine& operator=(const SetupEngine&) = delete;

    static SetupEngine* Instance() { return instance_; }
    static void SetInstance(SetupEngine* engine) { instance_ = engine; }

    CProject project;

    int32_t mode = SM_NEW;
    bool force = false;
    bool test = false;
    std::string userName;
    std::string companyName;
    std::string userEmail;
    bool desktopShortcuts = true;
    bool menuShortcuts = true;
    bool installForAll = false;
    uint32_t osCode = 0;
    std::string installedVersion;
    std::string installedUninstallCommand;  // the installed copy's stored removal command
    std::string dataCabinetPath;
    bool completed = false;
    bool failed = false;  // the sequence started and ended early
    bool restartNeeded = false;
    int32_t sharedFileAnswer = 0;
    int32_t totalBytes = 0;
    uint64_t selectedBytes = 0;  // every file that the run leaves installed, counted by PrepareSelection
    std::set<const CCustomAction*> actionsRun;  // actions started in this run
    CreatedFolders createdFolders;              // made by the installation, as the record and this run say

    // Process-wide paths.
    std::string setupProgramPath;
    std::string moduleFolder;  // no trailing backslash
    std::string sourceFolder;
    std::string databasePath;
    std::string tstempFolder;

    SetupLog* log = nullptr;  // where the run's events go; none when null

    int32_t UIType() const { return project.ui.uiType; }
    // One event of the run in the log (when there is one).
    void Log(const std::string& event, const std::string& detail = std::string()) const {
        if (log != nullptr) {
            log->Write(event, detail);
        }
    }
    // Puts every event logged so far into the log, before the run waits for a person or ends.
    void FlushLog() const {
        if (log != nullptr) {
            log->Flush();
        }
    }

    // The value of one path variable (the name between the angle brackets); empty for an unknown name.
    std::string ResolveVariable(const std::string& name);
    // Every "<name>" replaced by its value; values are not scanned again.
    std::string ExpandVariables(const std::string& text);

    // A folder's path before expansion: "<Root>" or the parent's path, a backslash and the name.
    static std::string FolderPath(const CFolder& folder);
    std::string ResolvedFolderPath(const CFolder& folder) { return ExpandVariables(FolderPath(folder)); }
    // A file's path before expansion; on single-file media a file of the "Source Folder" root arrives in
    // the private temporary folder. Empty for a file without folder.
    std::string FilePath(const CFileItem& file) const;
    std::string ResolvedFilePath(const CFileItem& file) { return ExpandVariables(FilePath(file)); }

private:
    std::string ShellFolderOf(const char* name, bool allUsersAllowed);

    SystemFolders& folders_;
    static SetupEngine* instance_;
};
