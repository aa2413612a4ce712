// POSIX side of the platform layer: Windows paths of the model mapped the way Wine maps them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/Paths.h"
#include "platform/RawFile.h"

namespace platform {

namespace {

bool HasDriveLetter(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The folder that stands for a drive letter other than Z:, from the Wine prefix when there is one.
std::string DriveRoot(char letter) {
    const char* prefix = std::getenv("WINEPREFIX");
    std::string base;
    if (prefix != nullptr && *prefix != '\0') {
        base = prefix;
    } else if (const char* home = std::getenv("HOME")) {
        base = std::string(home) + "/.wine";
    }
    std::string device = base + "/dosdevices/" + static_cast<char>(std::tolower(letter)) + ":";
    char resolved[PATH_MAX];
    if (!base.empty() && realpath(device.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return device;
}

std::string ErrorText(int error) { return std::strerror(error); }

std::string TempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// Windows refuses to write to or replace a file with the read-only attribute whoever asks; POSIX lets
// the superuser do it. The layer keeps the Windows rule on both sides.
bool IsReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

bool IsReadOnlyFile(const std::string& native) {
    struct stat info;
    return stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode) && IsReadOnly(info);
}

// Where Wine keeps the hidden and system attributes of a file, as the text "0x%x".
const char kDosAttributeName[] = "user.DOSATTRIB";
constexpr uint32_t kExtendedAttributeBits = kAttributeHidden | kAttributeSystem | kAttributeArchive;

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kUnixEpochSeconds = 11644473600ULL;  // seconds from 1601-01-01 to 1970-01-01

struct DosFields {
    int year, month, day, hour, minute, second;
    bool valid;
};

DosFields SplitDosDateTime(uint16_t date, uint16_t time) {
    DosFields f;
    f.year = 1980 + (date >> 9);
    f.month = (date >> 5) & 15;
    f.day = date & 31;
    f.hour = time >> 11;
    f.minute = (time >> 5) & 63;
    f.second = (time & 31) * 2;
    f.valid = f.month >= 1 && f.month <= 12 && f.day >= 1 && f.hour <= 23 && f.minute <= 59 && f.second <= 59;
    return f;
}

bool JoinDosDateTime(int year, int month, int day, int hour, int minute, int second, uint16_t* date,
                     uint16_t* time) {
    if (year < 1980 || year > 2107) {
        return false;
    }
    *date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    *time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
    return true;
}

}  // namespace

std::string ToNativePath(const std::string& modelPath) {
    std::string rest = modelPath;
    std::string root;
    if (HasDriveLetter(modelPath)) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(modelPath[0])));
        root = letter == 'Z' ? "" : DriveRoot(letter);
        rest = modelPath.substr(2);
        if (rest.empty() || rest[0] != '\\') {
            rest.insert(rest.begin(), '\\');
        }
    }
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    return root + rest;
}

std::string ToModelPath(const std::string& nativePath) {
    if (HasDriveLetter(nativePath)) {
        return nativePath;
    }
    std::string path = nativePath;
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) != nullptr) {
            path = std::string(cwd) + "/" + path;
        }
    }
    std::string result = "Z:";
    for (char c : path) {
        result += c == '/' ? '\\' : c;
    }
    return result;
}

bool FileExists(const std::string& modelPath) {
    struct stat info;
    return stat(ToNativePath(modelPath).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsSpecialEntry(const std::string& modelPath) {
    struct stat info;
    return stat(ToNativePath(modelPath).c_str(), &info) == 0 && !S_ISREG(info.st_mode) &&
           !S_ISDIR(info.st_mode);
}

bool RemoveFile(const std::string& modelPath) { return unlink(ToNativePath(modelPath).c_str()) == 0; }

bool CreateFolder(const std::string& modelPath) { return mkdir(ToNativePath(modelPath).c_str(), 0777) == 0; }

std::string MakeTempFolder(const std::string& prefix) {
    std::string buffer = TempRoot() + "/" + prefix + "XXXXXX";
    if (mkdtemp(buffer.data()) == nullptr) {
        return std::string();
    }
    return ToModelPath(buffer);
}

void RemoveTree(const std::string& modelPath) {
    std::string native = ToNativePath(modelPath);
    if (DIR* dir = opendir(native.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            struct stat info;
            std::string child = native + "/" + name;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                RemoveTree(modelPath + "\\" + name);
            } else {
                unlink(child.c_str());
            }
        }
        closedir(dir);
    }
    rmdir(native.c_str());
}

bool FolderExists(const std::string& modelPath) {
    struct stat info;
    return stat(ToNativePath(modelPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string MakeTempFile(const std::string& prefix) {
    std::string buffer = TempRoot() + "/" + prefix + "XXXXXX";
    int fd = mkstemp(buffer.data());
    if (fd < 0) {
        return std::string();
    }
    close(fd);
    return ToModelPath(buffer);
}

int LastErrorCode() { return errno; }
std::string ErrorCodeText(int code) {
    return ErrorText(code);
}

namespace {

// Access and modification time from a FILETIME; false for times before 1970.
bool ToUnixTimes(const FileTime& time, struct timespec times[2]) {
    uint64_t ticks = ToTicks(time);
    if (ticks < kUnixEpochSeconds * kTicksPerSecond) {
        return false;
    }
    ticks -= kUnixEpochSeconds * kTicksPerSecond;
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(ticks / kTicksPerSecond);
    times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(ticks % kTicksPerSecond) * 100;
    return true;
}

}  // namespace

bool SetFileTimes(const std::string& modelPath, const FileTime& time) {
    struct timespec times[2];
    return ToUnixTimes(time, times) && utimensat(AT_FDCWD, ToNativePath(modelPath).c_str(), times, 0) == 0;
}

bool GetFileAttributeBits(const std::string& modelPath, uint32_t* attributes) {
    std::string native = ToNativePath(modelPath);
    struct stat info;
    if (stat(native.c_str(), &info) != 0) {
        return false;
    }
    uint32_t result = IsReadOnly(info) ? kAttributeReadOnly : 0;
    char text[32] = {};
    ssize_t length = getxattr(native.c_str(), kDosAttributeName, text, sizeof text - 1);
    if (length > 0) {
        result |= static_cast<uint32_t>(std::strtoul(text, nullptr, 16)) & kExtendedAttributeBits;
    } else {
        result |= kAttributeArchive;
    }
    *attributes = result;
    return true;
}

bool SetFileAttributeBits(const std::string& modelPath, uint32_t attributes) {
    std::string native = ToNativePath(modelPath);
    struct stat info;
    if (stat(native.c_str(), &info) != 0) {
        return false;
    }
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & kAttributeReadOnly) ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
    bool ok = chmod(native.c_str(), mode) == 0;
    uint32_t extended = attributes & kExtendedAttributeBits;
    if (extended == kAttributeArchive) {
        if (removexattr(native.c_str(), kDosAttributeName) != 0 && errno != ENODATA && errno != ENOTSUP) {
            ok = false;
        }
    } else {
        char text[32];
        std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(extended));
        if (setxattr(native.c_str(), kDosAttributeName, text, std::strlen(text), 0) != 0) {
            ok = false;
        }
    }
    return ok;
}

bool LocalDosDateTimeToFileTime(uint16_t date, uint16_t dosTime, FileTime* result) {
    DosFields fields = SplitDosDateTime(date, dosTime);
    if (!fields.valid) {
        return false;
    }
    struct tm local = {};
    local.tm_year = fields.year - 1900;
    local.tm_mon = fields.month - 1;
    local.tm_mday = fields.day;
    local.tm_hour = fields.hour;
    local.tm_min = fields.minute;
    local.tm_sec = fields.second;
    local.tm_isdst = -1;
    time_t seconds = mktime(&local);
    if (seconds == static_cast<time_t>(-1) && errno == EOVERFLOW) {
        return false;
    }
    *result = ToFileTime((static_cast<uint64_t>(seconds) + kUnixEpochSeconds) * kTicksPerSecond);
    return true;
}

bool FileTimeToLocalDosDateTime(const FileTime& time, uint16_t* date, uint16_t* dosTime) {
    uint64_t ticks = ToTicks(time);
    if (ticks < kUnixEpochSeconds * kTicksPerSecond) {
        return false;
    }
    time_t seconds = static_cast<time_t>(ticks / kTicksPerSecond - kUnixEpochSeconds);
    struct tm local;
    if (localtime_r(&seconds, &local) == nullptr) {
        return false;
    }
    return JoinDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec, date, dosTime);
}

namespace raw {

Handle OpenForRead(const std::string& modelPath, std::string* error) {
    std::string native = ToNativePath(modelPath);
    // Opened without waiting, so that a pipe without a writer or a device cannot hold the program; only a
    // regular file is read.
    int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = ErrorText(errno);
        return kNoHandle;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        *error = ErrorText(errno);
        close(fd);
        return kNoHandle;
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        *error = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
        return kNoHandle;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

Handle CreateForWrite(const std::string& modelPath, std::string* error) {
    int fd = open(ToNativePath(modelPath).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = ErrorText(errno);
        return kNoHandle;
    }
    return fd;
}

Handle CreateNew(const std::string& modelPath, bool* exists, std::string* error) {
    int fd =
        open(ToNativePath(modelPath).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        *exists = errno == EEXIST;
        *error = ErrorText(errno);
        return kNoHandle;
    }
    *exists = false;
    return fd;
}

Handle OpenForUpdate(const std::string& modelPath, bool create, bool truncate, std::string* error) {
    std::string native = ToNativePath(modelPath);
    if (IsReadOnlyFile(native)) {
        *error = ErrorText(EACCES);
        return kNoHandle;
    }
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0) | (truncate ? O_TRUNC : 0);
    int fd = open(native.c_str(), flags, 0666);
    if (fd < 0) {
        *error = ErrorText(errno);
        return kNoHandle;
    }
    return fd;
}

int64_t ReadAt(Handle handle, uint64_t pos, void* data, size_t size, std::string* error) {
    size_t total = 0;
    while (total < size) {
        ssize_t got = pread(static_cast<int>(handle), static_cast<char*>(data) + total, size - total,
                            static_cast<off_t>(pos + total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = ErrorText(errno);
            return -1;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(total);
}

bool WriteAt(Handle handle, uint64_t pos, const void* data, size_t size, std::string* error) {
    size_t total = 0;
    while (total < size) {
        ssize_t put = pwrite(static_cast<int>(handle), static_cast<const char*>(data) + total, size - total,
                             static_cast<off_t>(pos + total));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            *error = ErrorText(put < 0 ? errno : ENOSPC);
            return false;
        }
        total += static_cast<size_t>(put);
    }
    return true;
}

bool SizeOf(Handle handle, uint64_t* size, std::string* error) {
    struct stat info;
    if (fstat(static_cast<int>(handle), &info) != 0) {
        *error = ErrorText(errno);
        return false;
    }
    *size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool Close(Handle handle, std::string* error) {
    if (close(static_cast<int>(handle)) != 0) {
        *error = ErrorText(errno);
        return false;
    }
    return true;
}

bool SetTimes(Handle handle, const FileTime& time) {
    struct timespec times[2];
    return ToUnixTimes(time, times) && futimens(static_cast<int>(handle), times) == 0;
}

bool Replace(const std::string& fromModelPath, const std::string& toModelPath, std::string* error) {
    if (IsReadOnlyFile(ToNativePath(toModelPath))) {
        *error = ErrorText(EACCES);
        return false;
    }
    if (rename(ToNativePath(fromModelPath).c_str(), ToNativePath(toModelPath).c_str()) != 0) {
        *error = ErrorText(errno);
        return false;
    }
    return true;
}

}  // namespace raw
}  // namespace platform
