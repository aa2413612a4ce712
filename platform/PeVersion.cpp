#include "platform/PeVersion.h"

#include "platform/File.h"
#include "platform/PeResources.h"
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

constexpr uint32_t kVersionType = 16;  // RT_VERSION
constexpr uint32_t kVersionName = 1;   // VS_VERSION_INFO
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr size_t kFixedInfoSize = 52;  // VS_FIXEDFILEINFO

using pe::U16;
using pe::U32;

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
    pe::PeReader reader(source);
    uint64_t offset = 0;
    uint32_t resourceSize = 0;
    if (!reader.ReadHeaders() || !reader.FindResource(kVersionType, kVersionName, &offset, &resourceSize) ||
        resourceSize < 6) {
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

bool ReadPeFileVersion(const std::string& modelPath, uint32_t* versionMS, uint32_t* versionLS) {
    File file;
    if (!file.Open(modelPath, File::Mode::Read)) {
        return false;
    }
    pe::FileByteSource source(file);
    try {
        return ReadPeFileVersion(source, versionMS, versionLS);
    } catch (const CTSException&) {
        return false;  // a read error of the device: no version can be told
    }
}

}  // namespace platform
