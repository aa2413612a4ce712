#pragma once

// The resource directory of a PE file, read through a ByteSource without trusting the file: every
// offset and count is checked against the file before it is used. Shared by the version and icon readers.
#include <cstdint>

#include "platform/File.h"
#include "platform/PeVersion.h"

namespace platform::pe {

inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint32_t kHighBit = 0x80000000u;

class PeReader {
public:
    explicit PeReader(ByteSource& source) : source_(source) {}

    // Reads the headers and finds the resource section; false when the file is no PE file or has none.
    bool ReadHeaders();

    bool Read(uint64_t offset, void* data, size_t size) { return source_.ReadAt(offset, data, size); }

    // The OffsetToData field of the entry with a numeric id (any entry when id is negative) in the
    // resource directory at directoryOffset (from the start of the resource section).
    bool FindEntry(uint32_t directoryOffset, long id, uint32_t* target);
    // The entry at a position of a directory: its name field and its OffsetToData field.
    bool EntryAt(uint32_t directoryOffset, uint32_t index, uint32_t* name, uint32_t* target);
    // The file offset and size of the data of a resource of a type and numeric name, in its first language.
    bool FindResource(uint32_t type, long name, uint64_t* offset, uint32_t* size);
    // The same for a data entry's offset (an OffsetToData of the last directory level).
    bool DataOf(uint32_t dataEntry, uint64_t* offset, uint32_t* size);

private:
    bool RvaToOffset(uint32_t rva, uint64_t* offset);

    ByteSource& source_;
    uint32_t sectionCount_ = 0;
    uint64_t sectionsOffset_ = 0;
    uint32_t resourceRva_ = 0;
    uint64_t resourceOffset_ = 0;
};

// A ByteSource over an open file; reads outside the file are refused.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(File& file) : file_(file), size_(file.Size()) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* data, size_t size) override;

private:
    File& file_;
    uint64_t size_;
};

}  // namespace platform::pe
