#include "platform/PeResources.h"

namespace platform::pe {

namespace {

constexpr uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectory = 2;  // index among the optional header's data directories
constexpr size_t kSectionHeaderSize = 40;

}  // namespace

bool PeReader::ReadHeaders() {
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

// The file offset of an address of the loaded image, through the section that holds its bytes in the file.
bool PeReader::RvaToOffset(uint32_t rva, uint64_t* offset) {
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

bool PeReader::EntryAt(uint32_t directoryOffset, uint32_t index, uint32_t* name, uint32_t* target) {
    uint8_t header[16];
    const uint64_t at = resourceOffset_ + directoryOffset;
    if (!Read(at, header, sizeof header) || index >= uint32_t{U16(header + 12)} + U16(header + 14)) {
        return false;
    }
    uint8_t entry[8];
    if (!Read(at + sizeof header + uint64_t{index} * 8, entry, sizeof entry)) {
        return false;
    }
    *name = U32(entry);
    *target = U32(entry + 4);
    return true;
}

bool PeReader::FindEntry(uint32_t directoryOffset, long id, uint32_t* target) {
    uint8_t header[16];
    if (!Read(resourceOffset_ + directoryOffset, header, sizeof header)) {
        return false;
    }
    const uint32_t entries = uint32_t{U16(header + 12)} + U16(header + 14);
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t name = 0;
        if (!EntryAt(directoryOffset, i, &name, target)) {
            return false;
        }
        if (id < 0 || ((name & kHighBit) == 0 && name == static_cast<uint32_t>(id))) {
            return true;
        }
    }
    return false;
}

bool PeReader::DataOf(uint32_t dataEntry, uint64_t* offset, uint32_t* size) {
    uint8_t entry[16];
    if ((dataEntry & kHighBit) != 0 || !Read(resourceOffset_ + dataEntry, entry, sizeof entry)) {
        return false;
    }
    *size = U32(entry + 4);
    return RvaToOffset(U32(entry), offset);
}

bool PeReader::FindResource(uint32_t type, long name, uint64_t* offset, uint32_t* size) {
    uint32_t names = 0;
    uint32_t languages = 0;
    uint32_t data = 0;
    return FindEntry(0, type, &names) && (names & kHighBit) != 0 &&
           FindEntry(names & ~kHighBit, name, &languages) && (languages & kHighBit) != 0 &&
           FindEntry(languages & ~kHighBit, -1, &data) && DataOf(data, offset, size);
}

bool FileByteSource::ReadAt(uint64_t offset, void* data, size_t size) {
    if (offset > size_ || size > size_ - offset) {
        return false;
    }
    file_.Seek(offset);
    file_.Read(data, size);
    return true;
}

}  // namespace platform::pe
