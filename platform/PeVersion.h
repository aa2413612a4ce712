#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Our own reader of the version resource of a PE file (an .exe or .dll for 32-bit or 64-bit Windows).
// It reads through a ByteSource, so that a file is never read whole and never trusted: every count,
// offset and length taken from the file is checked against the file's size before it is used, and a file
// that is damaged anywhere on the way gives "no version".
namespace platform {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly size bytes at offset; false when they are not all there.
    virtual bool ReadAt(uint64_t offset, void* data, size_t size) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* data, size_t size) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// The file version of the fixed-information block that the version resource (type 16, name 1) holds.
// False, with both values left untouched, when there is no such resource or it is damaged.
bool ReadPeFileVersion(ByteSource& source, uint32_t* versionMS, uint32_t* versionLS);

// The same for a file named by a model path; false also when the file cannot be opened.
bool ReadPeFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS);

}  // namespace platform
