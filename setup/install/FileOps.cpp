// Folders, existence tests, the overwrite decision on the real file, the in-use test and the replacement
// of files at the next start of Windows.
#include <vector>

#include "model/FileItem.h"
#include "model/Folder.h"
#include "platform/FileInfo.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"
#include "platform/TSSException.h"
#include "setup/install/FileInstall.h"
#include "win/SystemError.h"

namespace {

// The attributes of the first entry a file search finds at the path; false when it finds nothing.
bool FindAttributes(const std::string& path, DWORD* attributes) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    *attributes = found.dwFileAttributes;
    return true;
}

bool EndsWithColon(const std::string& text) {
    return !text.empty() && text.back() == ':';
}

void CreateOneFolder(const std::string& path, CreatedFolders* made) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        throw CTSSException(win::SystemErrorText(GetLastError()));
    }
    if (made != nullptr) {
        made->Add(path);
    }
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length != 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

bool ScheduleInWininit(const std::string& source, const std::string& destination) {
    const std::string key = destination.empty() ? std::string("NUL") : ShortPath(destination);
    return WritePrivateProfileStringA("rename", key.c_str(), ShortPath(source).c_str(), "WININIT.INI") !=
           FALSE;
}

bool ScheduleInSessionManager(const std::string& source, const std::string& destination) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> existing;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0) {
        existing.resize(size);
        if (RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type,
                             reinterpret_cast<BYTE*>(existing.data()), &size) != ERROR_SUCCESS) {
            RegCloseKey(key);
            return false;
        }
        existing.resize(size);
    }
    const std::vector<char> data = AppendRenameOperation(existing, source, destination);
    const LONG written =
        RegSetValueExA(key, kPendingRenamesValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

}  // namespace

bool FolderEntries::Exists(const std::string& path) {
    const std::string name = platform::FileTitle(path);
    // A pattern character or an empty name is left to the system's own search.
    if (name.empty() || name.find_first_of("*?") != std::string::npos) {
        return PathExists(path);
    }
    return EntriesOf(platform::FolderPart(path)).count(nocase::Upper(name)) != 0;
}

void FolderEntries::Add(const std::string& path) {
    EntriesOf(platform::FolderPart(path)).insert(nocase::Upper(platform::FileTitle(path)));
}

std::set<std::string>& FolderEntries::EntriesOf(const std::string& folder) {
    const std::string key = nocase::Upper(folder);
    auto known = folders_.find(key);
    if (known != folders_.end()) {
        return known->second;
    }
    std::set<std::string>& entries = folders_[key];
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;  // no folder yet, or nothing in it
    }
    do {
        entries.insert(nocase::Upper(found.cFileName));
        if (found.cAlternateFileName[0] != '\0') {
            entries.insert(nocase::Upper(found.cAlternateFileName));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

bool PathExists(const std::string& path) {
    DWORD attributes = 0;
    return FindAttributes(path, &attributes);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = 0;
    return FindAttributes(path, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MakeFolderPath(const std::string& path, CreatedFolders* made) {
    if (FolderExists(path)) {
        return;
    }
    if (path.empty()) {
        throw CTSSException(win::SystemErrorText(ERROR_PATH_NOT_FOUND));
    }
    if (path[0] != '\\') {
        for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
            const std::string part = path.substr(0, slash);
            if (!EndsWithColon(part) && !FolderExists(part)) {
                CreateOneFolder(part, made);
            }
        }
    }
    if (!EndsWithColon(path)) {
        CreateOneFolder(path, made);
    }
}

bool ShouldOverwrite(const CFileItem& file) {
    return DecideOverwrite(file).replace;
}

OverwriteDecision DecideOverwrite(const CFileItem& file) {
    return DecideOverwrite(file, PathExists(file.resolvedPath));
}

OverwriteDecision DecideOverwrite(const CFileItem& file, bool exists) {
    ExistingFile existing;
    existing.exists = exists;
    if (existing.exists && file.overwriteMethod != kAlwaysOverwrite) {
        HANDLE handle = CreateFileA(file.resolvedPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            FILETIME created{}, written{};
            existing.readable = GetFileTime(handle, &created, nullptr, &written) != FALSE;
            existing.creationTime = Ticks(created);
            existing.lastWriteTime = Ticks(written);
            CloseHandle(handle);
        }
        existing.hasVersion =
            platform::GetFileVersion(file.resolvedPath, &existing.versionMS, &existing.versionLS);
    }
    return DecideOverwrite(file, existing);
}

void TestInUse(SetupEngine& engine, CFileItem& file) {
    file.inUse = false;
    // Opened for writing as it is: the file keeps its contents until the extraction that replaces it has
    // succeeded, and a missing file is simply not in use.
    HANDLE handle = CreateFileA(file.resolvedPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
        file.inUse = true;
        engine.restartNeeded = true;
    }
}

bool ScheduleReplaceAtReboot(const SetupEngine& engine, const std::string& source,
                             const std::string& destination) {
    if ((engine.osCode & kOsWin95Family) != 0) {
        return ScheduleInWininit(source, destination);
    }
    return ScheduleInSessionManager(source, destination);
}
