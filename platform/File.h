#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

namespace raw {
using Handle = intptr_t;
constexpr Handle kNoHandle = -1;
}  // namespace raw

// A binary file with a position, buffered for the many small reads and writes of the archive format.
// Read and write failures (including a read past the end) throw CTSException with a message naming the
// file. A file opened with Mode::Replace is written beside its target and put in its place only by a
// successful Close, so a failed save never destroys the file it was meant to replace.
class File {
public:
    enum class Mode { Read, Replace };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Returns false when the file cannot be opened; the reason is kept for OpenError and for the
    // first Write of a Replace file, which then fails with it.
    bool Open(const std::string& modelPath, Mode mode);
    // Finishes the file: a Replace file is flushed and moved over its target. Throws on failure, after
    // removing the unfinished file.
    void Close();
    // Closes without finishing: a Replace file is removed and its target left as it was.
    void Abandon();

    bool IsOpen() const { return handle_ != raw::kNoHandle; }
    const std::string& Path() const { return path_; }
    const std::string& OpenError() const { return openError_; }
    uint64_t Size() const;
    uint64_t Tell() const { return pos_; }
    void Seek(uint64_t pos) { pos_ = pos; }

    void Read(void* data, size_t size);
    void Write(const void* data, size_t size);

    // Reads a whole file into memory; false (and nothing read) when it cannot be opened or held.
    static bool ReadAll(const std::string& modelPath, std::vector<uint8_t>* content);

private:
    static constexpr size_t kBufferSize = 64 * 1024;

    void Flush();
    void Refill();
    [[noreturn]] void Fail(const char* what, const std::string& reason) const;

    raw::Handle handle_ = raw::kNoHandle;
    Mode mode_ = Mode::Read;
    std::string path_;
    std::string workPath_;  // the file actually written (Replace) or read
    std::string openError_;
    uint64_t pos_ = 0;
    uint64_t size_ = 0;  // Read: the file's length; Replace: bytes written so far

    std::vector<uint8_t> buffer_;
    uint64_t bufferStart_ = 0;  // file position of buffer_[0]
    size_t bufferLength_ = 0;   // valid (Read) or pending (Replace) bytes
};

}  // namespace platform
