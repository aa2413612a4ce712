#include "platform/File.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/Paths.h"
#include "platform/RawFile.h"
#include "platform/TSException.h"

namespace platform {

File::~File() { Abandon(); }

namespace raw {

Handle CreateWorkFile(const std::string& target, std::string* workPath, std::string* error) {
    constexpr unsigned kAttempts = 64;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        *workPath = ReplaceWorkPath(target, attempt);
        bool exists = false;
        Handle handle = CreateNew(*workPath, &exists, error);
        if (handle != kNoHandle || !exists) {
            return handle;
        }
    }
    return kNoHandle;
}

}  // namespace raw

std::string MakeTempFileIn(const std::string& folder, const std::string& prefix) {
    std::string path;
    std::string error;
    raw::Handle handle = raw::CreateWorkFile(folder + "\\" + prefix, &path, &error);
    if (handle == raw::kNoHandle) {
        return std::string();
    }
    raw::Close(handle, &error);
    return path;
}

bool File::Open(const std::string& modelPath, Mode mode) {
    Abandon();
    path_ = modelPath;
    mode_ = mode;
    openError_.clear();
    pos_ = size_ = bufferStart_ = 0;
    bufferLength_ = 0;
    if (mode == Mode::Read) {
        workPath_ = modelPath;
        handle_ = raw::OpenForRead(modelPath, &openError_);
        std::string error;
        if (handle_ != raw::kNoHandle && !raw::SizeOf(handle_, &size_, &error)) {
            openError_ = error;
            raw::Close(handle_, &error);
            handle_ = raw::kNoHandle;
        }
    } else {
        handle_ = raw::CreateWorkFile(modelPath, &workPath_, &openError_);
    }
    if (handle_ == raw::kNoHandle) {
        return false;
    }
    buffer_.resize(kBufferSize);
    return true;
}

void File::Close() {
    if (!IsOpen()) {
        return;
    }
    if (mode_ == Mode::Read) {
        Abandon();
        return;
    }
    try {
        Flush();
    } catch (...) {
        Abandon();
        throw;
    }
    std::string error;
    bool closed = raw::Close(handle_, &error);
    handle_ = raw::kNoHandle;
    if (!closed || !raw::Replace(workPath_, path_, &error)) {
        RemoveFile(workPath_);
        Fail("write", error);
    }
}

void File::Abandon() {
    if (!IsOpen()) {
        return;
    }
    std::string ignored;
    raw::Close(handle_, &ignored);
    handle_ = raw::kNoHandle;
    if (mode_ == Mode::Replace) {
        RemoveFile(workPath_);
    }
    bufferLength_ = 0;
}

uint64_t File::Size() const {
    return mode_ == Mode::Read ? size_ : std::max(size_, bufferStart_ + bufferLength_);
}

void File::Fail(const char* what, const std::string& reason) const {
    throw CTSException("Cannot " + std::string(what) + " the file \"" + path_ + "\": " + reason + "!");
}

void File::Refill() {
    bufferStart_ = pos_;
    bufferLength_ = 0;
    std::string error;
    int64_t got = raw::ReadAt(handle_, pos_, buffer_.data(), buffer_.size(), &error);
    if (got < 0) {
        Fail("read", error);
    }
    bufferLength_ = static_cast<size_t>(got);
}

void File::Read(void* data, size_t size) {
    if (!IsOpen() || mode_ != Mode::Read) {
        Fail("read", openError_.empty() ? "it is not open for reading" : openError_);
    }
    if (size > size_ || pos_ > size_ - size) {
        Fail("read", "it ends before the data it describes");
    }
    auto* out = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (pos_ < bufferStart_ || pos_ >= bufferStart_ + bufferLength_) {
            Refill();
            if (bufferLength_ == 0) {
                Fail("read", "it became shorter while it was read");
            }
        }
        size_t offset = static_cast<size_t>(pos_ - bufferStart_);
        size_t chunk = std::min(size, bufferLength_ - offset);
        std::memcpy(out, buffer_.data() + offset, chunk);
        out += chunk;
        size -= chunk;
        pos_ += chunk;
    }
}

void File::Flush() {
    if (bufferLength_ == 0) {
        return;
    }
    std::string error;
    if (!raw::WriteAt(handle_, bufferStart_, buffer_.data(), bufferLength_, &error)) {
        Fail("write", error);
    }
    size_ = std::max(size_, bufferStart_ + bufferLength_);
    bufferStart_ += bufferLength_;
    bufferLength_ = 0;
}

void File::Write(const void* data, size_t size) {
    if (!IsOpen() || mode_ != Mode::Replace) {
        Fail("write", openError_.empty() ? "it is not open for writing" : openError_);
    }
    const auto* in = static_cast<const uint8_t*>(data);
    std::string error;
    if (pos_ + size <= bufferStart_) {
        // A patch of data already flushed: written in place, the pending data stays buffered.
        if (!raw::WriteAt(handle_, pos_, in, size, &error)) {
            Fail("write", error);
        }
        pos_ += size;
        return;
    }
    if (pos_ < bufferStart_ || pos_ > bufferStart_ + bufferLength_) {
        Flush();
        bufferStart_ = pos_;
    }
    while (size > 0) {
        size_t offset = static_cast<size_t>(pos_ - bufferStart_);
        if (offset == buffer_.size()) {
            Flush();
            offset = 0;
        }
        size_t chunk = std::min(size, buffer_.size() - offset);
        std::memcpy(buffer_.data() + offset, in, chunk);
        bufferLength_ = std::max(bufferLength_, offset + chunk);
        in += chunk;
        size -= chunk;
        pos_ += chunk;
    }
}

bool File::ReadAll(const std::string& modelPath, std::vector<uint8_t>* content) {
    File file;
    if (!file.Open(modelPath, Mode::Read)) {
        return false;
    }
    uint64_t size = file.Size();
    if (size > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    try {
        content->resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    file.Read(content->data(), content->size());
    return true;
}

}  // namespace platform
