#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The model keeps Windows paths (drive letters, backslashes) everywhere. On POSIX they are mapped at this
// boundary the way Wine maps them: drive Z: is the root of the file system, other drives are looked up in
// the Wine prefix's dosdevices folder.
namespace platform {

// The path to hand to the operating system for a model path.
std::string ToNativePath(const std::string& modelPath);

// The absolute model path for a path given by a user or the operating system (relative paths are taken
// against the current folder).
std::string ToModelPath(const std::string& nativePath);

// The part of a model path after its last backslash, or the whole path when it has none.
std::string FileTitle(const std::string& modelPath);
// The part of a model path before its last backslash, or an empty text when it has none.
std::string FolderPart(const std::string& modelPath);

bool FileExists(const std::string& modelPath);
// Something other than a file or a folder is at the path: a pipe, a device, a socket.
bool IsSpecialEntry(const std::string& modelPath);
bool RemoveFile(const std::string& modelPath);
// Creates one folder (its parent must exist); false when it cannot.
bool CreateFolder(const std::string& modelPath);

// A new, empty folder for temporary work; returns its model path with no trailing backslash.
std::string MakeTempFolder(const std::string& prefix);
// Removes a folder and everything below it; quiet about what cannot be removed.
void RemoveTree(const std::string& modelPath);

bool FolderExists(const std::string& modelPath);
// Creates a folder and any missing folders above it; true when it exists afterwards.
bool CreateFolderPath(const std::string& modelPath);

// A new, empty file in the system's temporary folder whose name starts with prefix; empty on failure.
std::string MakeTempFile(const std::string& prefix);
// The same in the given folder, created exclusively under a name of its own; empty on failure.
std::string MakeTempFileIn(const std::string& folder, const std::string& prefix);

// A name for the file written beside its target by an atomic replace, until it is moved over the target:
// the target's name, a part that differs from call to call (attempt among them) and ".new~".
std::string ReplaceWorkPath(const std::string& modelPath, unsigned attempt);

// The number of the operating system's last error (errno, or the Win32 error code on Windows).
int LastErrorCode();
// The system's text for such a number.
std::string ErrorCodeText(int code);

// A point in time as the Win32 FILETIME holds it: 100-nanosecond intervals since 1601-01-01 UTC, in two
// halves (FileInfo keeps the same value as one number).
struct FileTime {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};
inline FileTime ToFileTime(uint64_t ticks) {
    return FileTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}
inline uint64_t ToTicks(const FileTime& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// File attributes as Windows numbers them; only these four are carried by cabinets and the model.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeSystem = 0x04;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint32_t kKeptAttributes = 0x27;

// Sets the creation time (where the file system keeps one) and the last-write time.
bool SetFileTimes(const std::string& modelPath, const FileTime& time);
// The read-only, hidden, system and archive bits of a file. On POSIX read-only is the absence of write
// permission and the other three live where Wine keeps them (the user.DOSATTRIB extended attribute), so
// both sides see the same bits; a file that has none recorded counts as archive, as Wine shows it.
bool GetFileAttributeBits(const std::string& modelPath, uint32_t* attributes);
bool SetFileAttributeBits(const std::string& modelPath, uint32_t attributes);

// MS-DOS date and time in local time (as cabinets store them) to and from a UTC FileTime. False when the
// date or time is not a valid one.
bool LocalDosDateTimeToFileTime(uint16_t date, uint16_t time, FileTime* result);
bool FileTimeToLocalDosDateTime(const FileTime& time, uint16_t* date, uint16_t* dosTime);

}  // namespace platform
