// POSIX side of the platform layer: Windows paths of the model mapped the way Wine maps them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

bool RemoveFile(const std::string& modelPath) { return unlink(ToNativePath(modelPath).c_str()) == 0; }

bool CreateFolder(const std::string& modelPath) { return mkdir(ToNativePath(modelPath).c_str(), 0777) == 0; }

std::string MakeTempFolder(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    std::string buffer = pattern;
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

namespace raw {

Handle OpenForRead(const std::string& modelPath, std::string* error) {
    std::string native = ToNativePath(modelPath);
    int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrorText(errno);
        return kNoHandle;
    }
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        *error = "it is a folder";
        return kNoHandle;
    }
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

bool Replace(const std::string& fromModelPath, const std::string& toModelPath, std::string* error) {
    if (rename(ToNativePath(fromModelPath).c_str(), ToNativePath(toModelPath).c_str()) != 0) {
        *error = ErrorText(errno);
        return false;
    }
    return true;
}

}  // namespace raw
}  // namespace platform
