#include "cabinet/CabinetFiles.h"

#include <cerrno>
#include <limits>
#include <new>

#include "platform/Paths.h"
#include "platform/RawFile.h"

namespace cabfiles {

namespace {

struct OpenFile {
    platform::raw::Handle handle = platform::raw::kNoHandle;
    uint64_t position = 0;
    std::string workPath;  // set for a file that replaces its target when committed
    std::string target;
    bool newTarget = false;  // written at target itself, where nothing was: removed when abandoned
};

OpenFile* FileOf(cab::INT_PTR file) { return reinterpret_cast<OpenFile*>(file); }

cab::INT_PTR Wrap(platform::raw::Handle handle, int* error) {
    if (handle == platform::raw::kNoHandle) {
        *error = platform::LastErrorCode();
        if (*error == 0) {
            *error = EACCES;
        }
        return -1;
    }
    OpenFile* file = new (std::nothrow) OpenFile;
    if (file == nullptr) {
        std::string ignored;
        platform::raw::Close(handle, &ignored);
        *error = ENOMEM;
        return -1;
    }
    file->handle = handle;
    return reinterpret_cast<cab::INT_PTR>(file);
}

}  // namespace

cab::INT_PTR Open(const char* path, int oflag, int pmode, int* error) {
    std::string reason;
    std::string modelPath = path;
    if ((oflag & cab::CAB_O_ACCMODE) == cab::CAB_O_RDONLY) {
        return Wrap(platform::raw::OpenForRead(modelPath, &reason), error);
    }
    if ((oflag & cab::CAB_O_EXCL) && platform::FileExists(modelPath)) {
        *error = EEXIST;
        return -1;
    }
    return Wrap(platform::raw::OpenForUpdate(modelPath, (oflag & cab::CAB_O_CREAT) != 0,
                                             (oflag & cab::CAB_O_TRUNC) != 0, &reason),
                error);
}

cab::UINT Read(cab::INT_PTR file, void* data, cab::UINT size, int* error) {
    OpenFile* f = FileOf(file);
    std::string reason;
    int64_t got = platform::raw::ReadAt(f->handle, f->position, data, size, &reason);
    if (got < 0) {
        *error = platform::LastErrorCode();
        return static_cast<cab::UINT>(-1);
    }
    f->position += static_cast<uint64_t>(got);
    return static_cast<cab::UINT>(got);
}

cab::UINT Write(cab::INT_PTR file, const void* data, cab::UINT size, int* error) {
    OpenFile* f = FileOf(file);
    std::string reason;
    if (!platform::raw::WriteAt(f->handle, f->position, data, size, &reason)) {
        *error = platform::LastErrorCode();
        return static_cast<cab::UINT>(-1);
    }
    f->position += size;
    return size;
}

int Close(cab::INT_PTR file, int* error) {
    OpenFile* f = FileOf(file);
    std::string reason;
    bool closed = platform::raw::Close(f->handle, &reason);
    if (!closed) {
        *error = platform::LastErrorCode();
    }
    if (!f->workPath.empty()) {
        platform::RemoveFile(f->workPath);
    }
    if (f->newTarget) {
        platform::RemoveFile(f->target);
    }
    delete f;
    return closed ? 0 : -1;
}

cab::LONG Seek(cab::INT_PTR file, cab::LONG distance, int origin, int* error) {
    OpenFile* f = FileOf(file);
    int64_t base = 0;
    if (origin == cab::CAB_SEEK_CUR) {
        base = static_cast<int64_t>(f->position);
    } else if (origin == cab::CAB_SEEK_END) {
        uint64_t size = 0;
        std::string reason;
        if (!platform::raw::SizeOf(f->handle, &size, &reason)) {
            *error = platform::LastErrorCode();
            return -1;
        }
        base = static_cast<int64_t>(size);
    } else if (origin != cab::CAB_SEEK_SET) {
        *error = EINVAL;
        return -1;
    }
    int64_t target = base + distance;
    if (target < 0 || target > std::numeric_limits<cab::LONG>::max()) {
        *error = EINVAL;
        return -1;
    }
    f->position = static_cast<uint64_t>(target);
    return static_cast<cab::LONG>(target);
}

int Remove(const char* path, int* error) {
    if (!platform::RemoveFile(path)) {
        *error = platform::LastErrorCode();
        return -1;
    }
    return 0;
}

cab::INT_PTR OpenReplacing(const std::string& target, int* error) {
    // One exclusive creation answers whether anything lies at target: each further look-up of a name
    // that is not there costs a scan of its folder on some systems.
    bool exists = false;
    std::string reason;
    platform::raw::Handle handle = platform::raw::CreateNew(target, &exists, &reason);
    if (handle != platform::raw::kNoHandle || !exists) {
        cab::INT_PTR file = Wrap(handle, error);
        if (file != -1) {
            FileOf(file)->target = target;
            FileOf(file)->newTarget = true;
        }
        return file;
    }
    uint32_t attributes = 0;
    if (platform::GetFileAttributeBits(target, &attributes) && (attributes & platform::kAttributeReadOnly)) {
        *error = EACCES;
        return -1;
    }
    std::string workPath;
    cab::INT_PTR file = Wrap(platform::raw::CreateWorkFile(target, &workPath, &reason), error);
    if (file != -1) {
        FileOf(file)->workPath = workPath;
        FileOf(file)->target = target;
    }
    return file;
}

bool CommitAndClose(cab::INT_PTR file, const platform::FileTime* time, int* error) {
    OpenFile* f = FileOf(file);
    if (f->newTarget && time != nullptr) {
        platform::raw::SetTimes(f->handle, *time);
    }
    std::string reason;
    bool ok = platform::raw::Close(f->handle, &reason) &&
              (f->newTarget || platform::raw::Replace(f->workPath, f->target, &reason));
    if (!ok) {
        *error = platform::LastErrorCode();
        platform::RemoveFile(f->newTarget ? f->target : f->workPath);
    } else if (!f->newTarget && time != nullptr) {
        platform::SetFileTimes(f->target, *time);
    }
    delete f;
    return ok;
}

}  // namespace cabfiles
