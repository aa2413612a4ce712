#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "setup/engine/FileRules.h"
#include "setup/engine/SetupEngine.h"
#include "setup/install/Steps.h"

// The operations of file installation on the target machine, shared by the file steps and by the setup
// program's own copy (which is handled as a file record).

// The key of the system's shared-file reference counts, and of the program paths.
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenamesValue[] = "PendingFileRenameOperations";

// A file search finds something at the path; a folder: the search finds a directory.
bool PathExists(const std::string& path);
bool FolderExists(const std::string& path);

// Whether anything lies at the paths of a run of files, each folder searched once for all its entries
// (long and short names, case ignored) instead of once a file: on some systems every search for a name
// that is not there reads its whole folder. Paths this run puts files at are added as they are written.
class FolderEntries {
public:
    bool Exists(const std::string& path);
    void Add(const std::string& path);

private:
    std::set<std::string>& EntriesOf(const std::string& folder);

    std::map<std::string, std::set<std::string>> folders_;  // upper-case folder path -> upper-case names
};

// Creates the folder and every missing parent, adding each folder it makes to made (when given); throws
// CTSSException with the system's text for the error when a folder cannot be created.
void MakeFolderPath(const std::string& path, CreatedFolders* made = nullptr);


// Reads what lies at the file's resolved path and applies its OverwriteMethod; `exists` tells whether
// anything lies there, when the caller has looked already.
bool ShouldOverwrite(const CFileItem& file);
OverwriteDecision DecideOverwrite(const CFileItem& file);
OverwriteDecision DecideOverwrite(const CFileItem& file, bool exists);

// Whether another program holds the file at the resolved path open: sets the file's in-use flag, and the
// engine's restart-needed flag, on a sharing violation. The file is never changed.
void TestInUse(SetupEngine& engine, CFileItem& file);

// At the next start of Windows, moves source over destination, or deletes source when destination is
// empty: WININIT.INI on the Windows 95 family, PendingFileRenameOperations on NT.
bool ScheduleReplaceAtReboot(const SetupEngine& engine, const std::string& source,
                             const std::string& destination);

// Changes the file's SharedDLLs count by delta and answers the count; -1 in a repair or when the key cannot
// be opened, 0 for a file that no product counts and that is not to be counted.
int32_t AdjustSharedCount(const SetupEngine& engine, CFileItem& file, int32_t delta);

// The App Paths entry of a program (when AddAppPath is set): written at installation, removed at removal.
void WriteAppPath(const CFileItem& file);
void RemoveAppPath(const CFileItem& file);

// Removes one file of the file list as the removal step does: only an installed file that is no longer
// selected, not Permanent and meant for this system; a shared file only when no other product counts it (or
// as the user answers); a file that was there before stays. Unregisters it and removes its App Paths entry; a
// file in use is deleted at the next start of Windows.
void RemoveInstalledFile(InstallRun& run, CFileItem& file);

// Self-registration (when Register is set and the file is not in use): DllRegisterServer of a library, or a
// program started with -RegServer; unregistration the same way. Failures are silent.
void RegisterFile(const CFileItem& file);
void UnregisterFile(const CFileItem& file);
