// Windows side of the platform layer: model paths are the system's own paths.
#include <windows.h>

#include <algorithm>

#include "platform/Paths.h"
#include "platform/RawFile.h"

namespace platform {

namespace {

std::string ErrorText(DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length > 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(code);
    if (text != nullptr) {
        LocalFree(text);
    }
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.' ||
                               result.back() == ' ')) {
        result.pop_back();
    }
    return result;
}

::FILETIME ToWinTime(const FileTime& time) {
    ::FILETIME result;
    result.dwLowDateTime = time.dwLowDateTime;
    result.dwHighDateTime = time.dwHighDateTime;
    return result;
}

FileTime FromWinTime(const ::FILETIME& time) {
    FileTime result;
    result.dwLowDateTime = time.dwLowDateTime;
    result.dwHighDateTime = time.dwHighDateTime;
    return result;
}

bool IsReadOnlyFile(const std::string& modelPath) {
    DWORD attributes = GetFileAttributesA(modelPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

HANDLE ToWin(raw::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

// Sets the creation and last-write times of an open file.
bool SetCreationAndWriteTime(HANDLE file, const FileTime& time) {
    ::FILETIME winTime = ToWinTime(time);
    return SetFileTime(file, &winTime, nullptr, &winTime) != 0;
}

bool SeekTo(HANDLE file, uint64_t pos) {
    LONG high = static_cast<LONG>(pos >> 32);
    DWORD low = SetFilePointer(file, static_cast<LONG>(pos & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

}  // namespace

std::string ToNativePath(const std::string& modelPath) { return modelPath; }

std::string ToModelPath(const std::string& nativePath) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(nativePath.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : nativePath;
}

bool FileExists(const std::string& modelPath) {
    DWORD attributes = GetFileAttributesA(modelPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsSpecialEntry(const std::string& modelPath) {
    DWORD attributes = GetFileAttributesA(modelPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE) != 0;
}

bool RemoveFile(const std::string& modelPath) { return DeleteFileA(modelPath.c_str()) != 0; }

bool CreateFolder(const std::string& modelPath) { return CreateDirectoryA(modelPath.c_str(), nullptr) != 0; }

std::string MakeTempFolder(const std::string& prefix) {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        return std::string();
    }
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string folder = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            return folder;
        }
    }
    return std::string();
}

void RemoveTree(const std::string& modelPath) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((modelPath + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string child = modelPath + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(modelPath.c_str());
}

bool FolderExists(const std::string& modelPath) {
    DWORD attributes = GetFileAttributesA(modelPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string MakeTempFile(const std::string& prefix) {
    char folder[MAX_PATH];
    char name[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || GetTempFileNameA(folder, prefix.c_str(), 0, name) == 0) {
        return std::string();
    }
    return name;
}

int LastErrorCode() { return static_cast<int>(GetLastError()); }
std::string ErrorCodeText(int code) {
    return ErrorText(static_cast<DWORD>(code));
}

bool SetFileTimes(const std::string& modelPath, const FileTime& time) {
    HANDLE file = CreateFileA(modelPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = SetCreationAndWriteTime(file, time);
    CloseHandle(file);
    return ok;
}

bool GetFileAttributeBits(const std::string& modelPath, uint32_t* attributes) {
    DWORD value = GetFileAttributesA(modelPath.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    *attributes = value & kKeptAttributes;
    return true;
}

bool SetFileAttributeBits(const std::string& modelPath, uint32_t attributes) {
    DWORD value = attributes & kKeptAttributes;
    return SetFileAttributesA(modelPath.c_str(), value != 0 ? value : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool LocalDosDateTimeToFileTime(uint16_t date, uint16_t time, FileTime* result) {
    ::FILETIME local;
    ::FILETIME utc;
    if (!DosDateTimeToFileTime(date, time, &local) || !LocalFileTimeToFileTime(&local, &utc)) {
        return false;
    }
    *result = FromWinTime(utc);
    return true;
}

bool FileTimeToLocalDosDateTime(const FileTime& time, uint16_t* date, uint16_t* dosTime) {
    ::FILETIME utc = ToWinTime(time);
    ::FILETIME local;
    WORD fatDate = 0;
    WORD fatTime = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &fatDate, &fatTime)) {
        return false;
    }
    *date = fatDate;
    *dosTime = fatTime;
    return true;
}

namespace raw {

Handle OpenForRead(const std::string& modelPath, std::string* error) {
    HANDLE file = CreateFileA(modelPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = ErrorText(GetLastError());
        return kNoHandle;
    }
    return reinterpret_cast<Handle>(file);
}

Handle CreateForWrite(const std::string& modelPath, std::string* error) {
    HANDLE file = CreateFileA(modelPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = ErrorText(GetLastError());
        return kNoHandle;
    }
    return reinterpret_cast<Handle>(file);
}

Handle CreateNew(const std::string& modelPath, bool* exists, std::string* error) {
    // CREATE_NEW fails on any existing entry, a symbolic link or junction included.
    HANDLE file = CreateFileA(modelPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        *exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        *error = ErrorText(code);
        return kNoHandle;
    }
    *exists = false;
    return reinterpret_cast<Handle>(file);
}

Handle OpenForUpdate(const std::string& modelPath, bool create, bool truncate, std::string* error) {
    DWORD disposition = create ? (truncate ? CREATE_ALWAYS : OPEN_ALWAYS) : (truncate ? TRUNCATE_EXISTING : OPEN_EXISTING);
    HANDLE file = CreateFileA(modelPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = ErrorText(GetLastError());
        return kNoHandle;
    }
    return reinterpret_cast<Handle>(file);
}

int64_t ReadAt(Handle handle, uint64_t pos, void* data, size_t size, std::string* error) {
    if (!SeekTo(ToWin(handle), pos)) {
        *error = ErrorText(GetLastError());
        return -1;
    }
    size_t total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(ToWin(handle), static_cast<char*>(data) + total, static_cast<DWORD>(size - total), &got,
                      nullptr)) {
            *error = ErrorText(GetLastError());
            return -1;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    return static_cast<int64_t>(total);
}

bool WriteAt(Handle handle, uint64_t pos, const void* data, size_t size, std::string* error) {
    if (!SeekTo(ToWin(handle), pos)) {
        *error = ErrorText(GetLastError());
        return false;
    }
    size_t total = 0;
    while (total < size) {
        DWORD put = 0;
        if (!WriteFile(ToWin(handle), static_cast<const char*>(data) + total, static_cast<DWORD>(size - total), &put,
                       nullptr) ||
            put == 0) {
            *error = ErrorText(put == 0 && GetLastError() == NO_ERROR ? ERROR_DISK_FULL : GetLastError());
            return false;
        }
        total += put;
    }
    return true;
}

bool SizeOf(Handle handle, uint64_t* size, std::string* error) {
    DWORD high = 0;
    DWORD low = GetFileSize(ToWin(handle), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        *error = ErrorText(GetLastError());
        return false;
    }
    *size = (static_cast<uint64_t>(high) << 32) | low;
    return true;
}

bool Close(Handle handle, std::string* error) {
    if (!CloseHandle(ToWin(handle))) {
        *error = ErrorText(GetLastError());
        return false;
    }
    return true;
}

bool SetTimes(Handle handle, const FileTime& time) { return SetCreationAndWriteTime(ToWin(handle), time); }

bool Replace(const std::string& fromModelPath, const std::string& toModelPath, std::string* error) {
    if (IsReadOnlyFile(toModelPath)) {
        *error = ErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    if (MoveFileExA(fromModelPath.c_str(), toModelPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    DWORD code = GetLastError();
    if (code == ERROR_CALL_NOT_IMPLEMENTED) {
        // Windows 95, 98 and ME have no MoveFileEx: remove the old file, then move the new one.
        DeleteFileA(toModelPath.c_str());
        if (MoveFileA(fromModelPath.c_str(), toModelPath.c_str())) {
            return true;
        }
        code = GetLastError();
    }
    *error = ErrorText(code);
    return false;
}

}  // namespace raw
}  // namespace platform
