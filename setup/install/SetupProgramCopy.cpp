// The setup program's own copy in the system folder (TSSetup.exe) and the database saved in the target
// folder: what the stored maintenance commands start.
#include <algorithm>
#include <string>
#include <vector>

#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/FileInfo.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "platform/TSSException.h"
#include "setup/engine/InstalledRecord.h"
#include "setup/install/Steps.h"

namespace {

constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";
constexpr uint8_t kNewerVersionThenDate = 3;

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
    file.overwriteMethod = kNewerVersionThenDate;
    file.isSelected = engine.mode == SM_NEW;
    file.isInstalled = engine.mode == SM_REMOVE;
    return file;
}

bool Exists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

// The system's count of products that use the file, changed by delta: a count that reaches 0 is deleted.
// -1 (nothing changed) in a repair or when the key cannot be opened.
int32_t AdjustSharedCount(SetupEngine& engine, CFileItem& file, int32_t delta) {
    if (engine.mode == SM_REPAIR) {
        return -1;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return -1;
    }
    DWORD stored = 0;
    DWORD size = sizeof stored;
    DWORD type = 0;
    const bool counted = RegQueryValueExA(key, file.resolvedPath.c_str(), nullptr, &type,
                                          reinterpret_cast<BYTE*>(&stored), &size) == ERROR_SUCCESS &&
                         type == REG_DWORD && size == sizeof stored;
    if (!counted && (!file.shared || delta <= 0)) {
        RegCloseKey(key);
        return 0;
    }
    int32_t count = counted ? static_cast<int32_t>(stored) : 0;
    file.shared = true;
    if (delta != 0) {
        count = std::max(count + delta, 0);
        if (count != 0) {
            const DWORD data = static_cast<DWORD>(count);
            RegSetValueExA(key, file.resolvedPath.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof data);
        } else {
            RegDeleteValueA(key, file.resolvedPath.c_str());
        }
    }
    RegCloseKey(key);
    return count;
}

void WriteAppPath(SetupEngine& engine, const CFileItem& file) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kAppPathsKey + file.title).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(file.resolvedPath.c_str()),
                   static_cast<DWORD>(file.resolvedPath.size() + 1));
    const std::string appPath = engine.ExpandVariables(file.appPath);
    if (!appPath.empty()) {
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(appPath.c_str()),
                       static_cast<DWORD>(appPath.size() + 1));
    }
    RegCloseKey(key);
}

// Whether the new copy replaces the one in place: a missing copy always; otherwise by file version when
// both have one (a version counts only with both halves non-zero), else by the newer time stamp.
bool ShouldReplace(const CFileItem& file) {
    if (!Exists(file.resolvedPath)) {
        return true;
    }
    HANDLE existing = CreateFileA(file.resolvedPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        return false;
    }
    FILETIME written{};
    GetFileTime(existing, nullptr, nullptr, &written);
    CloseHandle(existing);
    const bool newHasVersion = file.versionMS != 0 && file.versionLS != 0;
    uint32_t ms = 0;
    uint32_t ls = 0;
    if (platform::GetFileVersion(file.resolvedPath, &ms, &ls)) {
        if (!newHasVersion) {
            return false;
        }
        if (file.versionMS != ms) {
            return file.versionMS > ms;
        }
        if (file.versionLS != ls) {
            return file.versionLS > ls;
        }
    } else if (newHasVersion) {
        return true;
    }
    const uint64_t existingTime =
        (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return file.time > existingTime;
}

// Whether another process holds the file so that it cannot be written; sets the restart-needed flag then.
// The test opens the file without emptying it.
bool TestInUse(SetupEngine& engine, CFileItem& file) {
    file.inUse = false;
    HANDLE handle = CreateFileA(file.resolvedPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
        file.inUse = true;
        engine.restartNeeded = true;
    }
    return file.inUse;
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(shortPath) : path;
}

// At the next start of Windows: source moves over destination, or is deleted when destination is empty.
bool ScheduleReplaceAtReboot(SetupEngine& engine, const std::string& source, const std::string& destination) {
    if ((engine.osCode & kOsWin95Family) != 0) {
        const std::string key = destination.empty() ? std::string("NUL") : ShortPath(destination);
        return WritePrivateProfileStringA("rename", key.c_str(), ShortPath(source).c_str(), "WININIT.INI") !=
               0;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> list;
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0) {
        list.resize(size);
        if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(list.data()),
                             &size) != ERROR_SUCCESS) {
            size = 0;
        }
        list.resize(size);
    }
    // The entries so far, each ended by its zero, without the empty string that closes the list.
    while (!list.empty() && list.back() == '\0') {
        list.pop_back();
    }
    if (!list.empty()) {
        list.push_back('\0');
    }
    for (const std::string& entry :
         {"\\??\\" + source, destination.empty() ? destination : "\\??\\" + destination}) {
        list.insert(list.end(), entry.begin(), entry.end());
        list.push_back('\0');
    }
    list.push_back('\0');
    const bool written =
        RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                       static_cast<DWORD>(list.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

void InstallCopy(SetupEngine& engine, CFileItem& file) {
    AdjustSharedCount(engine, file, +1);
    WriteAppPath(engine, file);
    if (!ShouldReplace(file)) {
        return;
    }
    if (TestInUse(engine, file)) {
        const std::string twin = file.resolvedPath + ".cor";
        if (CopyFileA(engine.setupProgramPath.c_str(), twin.c_str(), FALSE)) {
            ScheduleReplaceAtReboot(engine, twin, file.resolvedPath);
        }
        return;
    }
    CopyFileA(engine.setupProgramPath.c_str(), file.resolvedPath.c_str(), FALSE);
}

// The copy goes like any installed file that the user agreed to remove: only when no other product counts
// it; a copy that is running is deleted at the next start of Windows.
void RemoveCopy(InstallRun& run, CFileItem& file) {
    SetupEngine& engine = run.engine;
    engine.sharedFileAnswer = 2;
    if ((engine.osCode & file.osMask) == 0 || AdjustSharedCount(engine, file, -1) > 0) {
        return;
    }
    if (run.sink != nullptr) {
        run.sink->SetDetailText(file.resolvedPath.c_str(), 0, nullptr);
    }
    if (!DeleteFileA(file.resolvedPath.c_str()) && Exists(file.resolvedPath) && TestInUse(engine, file)) {
        ScheduleReplaceAtReboot(engine, file.resolvedPath, std::string());
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kAppPathsKey + file.title);
}

// The database of this run, with its state (target folder, marks, selections) and the support cabinet,
// saved where the stored commands look for it. The target folder is made when no installed item needed
// it; a project without one has nowhere to keep it. A failed save leaves the file that was there.
void SaveDatabase(SetupEngine& engine) {
    if (engine.project.target.empty()) {
        return;  // no folder to keep it in
    }
    const std::string path = engine.project.target + "\\" + kSavedDatabaseTitle;
    platform::CreateFolderPath(engine.project.target);
    try {
        CTreeArchive archive(kMainClass, kSetupProgram);
        if (!archive.OpenForSave(path)) {
            return;
        }
        engine.project.Serialize(kProjectKey, archive);
        archive.ExchangeFile(engine.tstempFolder + "\\TSFiles.cab");
        archive.CloseAfterSave();
    } catch (const CTSException&) {
    } catch (const CTSSException&) {
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
        RemoveCopy(run, copy);
        DeleteFileA((engine.project.target + "\\" + kMaintenanceDatabaseTitle).c_str());
    }
    if (engine.mode == SM_NEW || engine.mode == SM_CHANGE) {
        SaveDatabase(engine);
    }
}
