#include "platform/PeVersion.h"

#include "platform/File.h"
#include "platform/TSException.h"

#include <cstring>
#include <exception>
#include <vector>

namespace platform {

bool MemoryByteSource::ReadAt(uint64_t offset, void* data, size_t size) {
    if (offset > size_ || size > size_ - offset) {
        return false;
    }
    std::memcpy(data, data_ + offset, size);
    return true;
}

namespace {

constexpr uint16_t kDosSignature = 0x5A4D;      // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;   // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectory = 2;      // index among the optional header's data directories
constexpr uint32_t kVersionType = 16;           // RT_VERSION
constexpr uint32_t kVersionName = 1;            // VS_VERSION_INFO
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr size_t kFixedInfoSize = 52;           // VS_FIXEDFILEINFO
constexpr size_t kSectionHeaderSize = 40;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

class PeReader {
public:
    explicit PeReader(ByteSource& source) : source_(source) {}

    bool FindVersionBlock(uint64_t* offset, uint32_t* size) {
        return ReadHeaders() && FindVersionResource(offset, size);
    }

    bool Read(uint64_t offset, void* data, size_t size) { return source_.ReadAt(offset, data, size); }

private:
    bool ReadHeaders() {
        uint8_t dos[64];
        if (!Read(0, dos, sizeof dos) || U16(dos) != kDosSignature) {
            return false;
        }
        const uint64_t peOffset = U32(dos + 0x3C);
        uint8_t coff[24];  // signature and file header
        if (!Read(peOffset, coff, sizeof coff) || U32(coff) != kPeSignature) {
            return false;
        }
        sectionCount_ = U16(coff + 6);
        const uint16_t optionalSize = U16(coff + 20);
        const uint64_t optionalOffset = peOffset + sizeof coff;
        uint8_t magic[2];
        if (!Read(optionalOffset, magic, sizeof magic)) {
            return false;
        }
        size_t countAt = 0;
        if (U16(magic) == kPe32Magic) {
            countAt = 92;
        } else if (U16(magic) == kPe32PlusMagic) {
            countAt = 108;
        } else {
            return false;
        }
        const size_t directoriesAt = countAt + 4;
        const size_t resourceAt = directoriesAt + 8 * kResourceDirectory;
        if (optionalSize < resourceAt + 8) {
            return false;
        }
        uint8_t count[4];
        uint8_t directory[8];
        if (!Read(optionalOffset + countAt, count, sizeof count) || U32(count) <= kResourceDirectory ||
            !Read(optionalOffset + resourceAt, directory, sizeof directory)) {
            return false;
        }
        resourceRva_ = U32(directory);
        sectionsOffset_ = optionalOffset + optionalSize;
        return resourceRva_ != 0 && RvaToOffset(resourceRva_, &resourceOffset_);
    }

    // The file offset of an address of the loaded image, through the section that holds its bytes in the
    // file.
    bool RvaToOffset(uint32_t rva, uint64_t* offset) {
        for (uint32_t i = 0; i < sectionCount_; ++i) {
            uint8_t section[kSectionHeaderSize];
            if (!Read(sectionsOffset_ + uint64_t{i} * kSectionHeaderSize, section, sizeof section)) {
                return false;
            }
            const uint32_t address = U32(section + 12);
            const uint32_t rawSize = U32(section + 16);
            const uint32_t rawOffset = U32(section + 20);
            if (rva >= address && rva - address < rawSize) {
                *offset = uint64_t{rawOffset} + (rva - address);
                return true;
            }
        }
        return false;
    }

    // Looks for an entry with a numeric id in the resource directory at a given offset from the start of
    // the resource section (any entry when id is negative). Gives the entry's OffsetToData field.
    bool FindEntry(uint32_t directoryOffset, long id, uint32_t* target) {
        uint8_t header[16];
        const uint64_t at = resourceOffset_ + directoryOffset;
        if (!Read(at, header, sizeof header)) {
            return false;
        }
        const uint32_t entries = uint32_t{U16(header + 12)} + U16(header + 14);
        for (uint32_t i = 0; i < entries; ++i) {
            uint8_t entry[8];
            if (!Read(at + sizeof header + uint64_t{i} * 8, entry, sizeof entry)) {
                return false;
            }
            const uint32_t name = U32(entry);
            if (id < 0 || ((name & kHighBit) == 0 && name == static_cast<uint32_t>(id))) {
                *target = U32(entry + 4);
                return true;
            }
        }
        return false;
    }

    bool FindVersionResource(uint64_t* offset, uint32_t* size) {
        uint32_t names = 0;
        uint32_t languages = 0;
        uint32_t data = 0;
        if (!FindEntry(0, kVersionType, &names) || (names & kHighBit) == 0 ||
            !FindEntry(names & ~kHighBit, kVersionName, &languages) || (languages & kHighBit) == 0 ||
            !FindEntry(languages & ~kHighBit, -1, &data) || (data & kHighBit) != 0) {
            return false;
        }
        uint8_t dataEntry[16];
        if (!Read(resourceOffset_ + data, dataEntry, sizeof dataEntry)) {
            return false;
        }
        *size = U32(dataEntry + 4);
        return RvaToOffset(U32(dataEntry), offset);
    }

    ByteSource& source_;
    uint32_t sectionCount_ = 0;
    uint64_t sectionsOffset_ = 0;
    uint32_t resourceRva_ = 0;
    uint64_t resourceOffset_ = 0;
};

size_t AlignTo4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// The offset of the root block's value inside a version block: after its header and key, aligned to 4
// bytes. Blocks of 32-bit files have a type field and a UTF-16 key; the older 16-bit layout, recognised
// by a printable character where the type would be, has no type field and a key of single bytes.
bool RootValueOffset(const uint8_t* block, size_t length, size_t* valueOffset) {
    const bool singleByteKey = length > 4 && block[4] >= ' ';
    size_t at = singleByteKey ? 4 : 6;
    const size_t unit = singleByteKey ? 1 : 2;
    for (;; at += unit) {
        if (at + unit > length) {
            return false;
        }
        if (block[at] == 0 && (unit == 1 || block[at + 1] == 0)) {
            break;
        }
    }
    *valueOffset = AlignTo4(at + unit);
    return true;
}

}  // namespace

bool ReadPeFileVersion(ByteSource& source, uint32_t* versionMS, uint32_t* versionLS) {
    PeReader reader(source);
    uint64_t offset = 0;
    uint32_t resourceSize = 0;
    if (!reader.FindVersionBlock(&offset, &resourceSize) || resourceSize < 6) {
        return false;
    }
    uint8_t header[4];
    if (!reader.Read(offset, header, sizeof header)) {
        return false;
    }
    const size_t length = U16(header);
    const size_t valueLength = U16(header + 2);
    // The block's length is a 16-bit field, so at most 64 KB are ever read.
    std::vector<uint8_t> block(length);
    size_t valueOffset = 0;
    if (length < 6 || length > resourceSize || !reader.Read(offset, block.data(), length) ||
        !RootValueOffset(block.data(), length, &valueOffset) || valueLength < kFixedInfoSize ||
        valueOffset + kFixedInfoSize > length || U32(&block[valueOffset]) != kFixedInfoSignature) {
        return false;
    }
    *versionMS = U32(&block[valueOffset + 8]);
    *versionLS = U32(&block[valueOffset + 12]);
    return true;
}

namespace {

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(File& file) : file_(file), size_(file.Size()) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* data, size_t size) override {
        if (offset > size_ || size > size_ - offset) {
            return false;
        }
        file_.Seek(offset);
        file_.Read(data, size);
        return true;
    }

private:
    File& file_;
    uint64_t size_;
};

}  // namespace

bool ReadPeFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS) {
    File file;
    if (!file.Open(modelPath, File::Mode::Read)) {
        return false;
    }
    FileByteSource source(file);
    try {
        return ReadPeFileVersion(source, versionMS, versionLS);
    } catch (const CTSException&) {
        return false;  // a read error of the device: no version can be told
    }
}

}  // namespace platform
