#include "platform/IconFile.h"

#include <algorithm>

#include "platform/File.h"
#include "platform/PeResources.h"
#include "platform/TSException.h"

namespace platform {

namespace {

using pe::U16;
using pe::U32;

constexpr uint32_t kIconType = 3;        // RT_ICON
constexpr uint32_t kIconGroupType = 14;  // RT_GROUP_ICON
constexpr size_t kIcoHeaderSize = 6;
constexpr size_t kIcoEntrySize = 16;
constexpr size_t kGroupEntrySize = 14;
constexpr uint32_t kMaxImageSize = 4 * 1024 * 1024;
constexpr uint32_t kMaxGroupEntries = 256;

// The directory fields that an .ico entry and a group entry share: width, height, colours, reserved,
// planes and bits per pixel (8 bytes), then the image's size.
std::vector<uint8_t> OneImageIco(const uint8_t* fields, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> ico(kIcoHeaderSize + kIcoEntrySize + image.size());
    const uint8_t header[kIcoHeaderSize] = {0, 0, 1, 0, 1, 0};
    std::copy(header, header + kIcoHeaderSize, ico.begin());
    std::copy(fields, fields + 8, ico.begin() + kIcoHeaderSize);
    const uint32_t size = static_cast<uint32_t>(image.size());
    const uint32_t offset = kIcoHeaderSize + kIcoEntrySize;
    for (int i = 0; i < 4; ++i) {
        ico[kIcoHeaderSize + 8 + i] = static_cast<uint8_t>(size >> (8 * i));
        ico[kIcoHeaderSize + 12 + i] = static_cast<uint8_t>(offset >> (8 * i));
    }
    std::copy(image.begin(), image.end(), ico.begin() + offset);
    return ico;
}

bool FromIco(ByteSource& source, std::vector<uint8_t>* icoFile) {
    uint8_t header[kIcoHeaderSize];
    uint8_t entry[kIcoEntrySize];
    if (!source.ReadAt(0, header, sizeof header) || U16(header) != 0 || U16(header + 2) != 1 ||
        U16(header + 4) == 0 || !source.ReadAt(kIcoHeaderSize, entry, sizeof entry)) {
        return false;
    }
    const uint32_t size = U32(entry + 8);
    const uint32_t offset = U32(entry + 12);
    if (size == 0 || size > kMaxImageSize) {
        return false;
    }
    std::vector<uint8_t> image(size);
    if (!source.ReadAt(offset, image.data(), size)) {
        return false;
    }
    *icoFile = OneImageIco(entry, image);
    return true;
}

bool FromPe(ByteSource& source, int32_t index, std::vector<uint8_t>* icoFile) {
    pe::PeReader reader(source);
    uint32_t groups = 0;
    if (!reader.ReadHeaders() || !reader.FindEntry(0, kIconGroupType, &groups) || (groups & pe::kHighBit) == 0) {
        return false;
    }
    uint32_t languages = 0;
    if (index >= 0) {
        uint32_t name = 0;
        if (!reader.EntryAt(groups & ~pe::kHighBit, static_cast<uint32_t>(index), &name, &languages)) {
            return false;
        }
    } else if (!reader.FindEntry(groups & ~pe::kHighBit, -static_cast<long>(index), &languages)) {
        return false;
    }
    uint32_t data = 0;
    uint64_t groupOffset = 0;
    uint32_t groupSize = 0;
    if ((languages & pe::kHighBit) == 0 || !reader.FindEntry(languages & ~pe::kHighBit, -1, &data) ||
        !reader.DataOf(data, &groupOffset, &groupSize)) {
        return false;
    }
    uint8_t header[kIcoHeaderSize];
    if (groupSize < kIcoHeaderSize || !reader.Read(groupOffset, header, sizeof header) || U16(header + 2) != 1) {
        return false;
    }
    const uint32_t count = U16(header + 4);
    if (count == 0 || count > kMaxGroupEntries || kIcoHeaderSize + count * kGroupEntrySize > groupSize) {
        return false;
    }
    std::vector<uint8_t> entries(count * kGroupEntrySize);
    if (!reader.Read(groupOffset + kIcoHeaderSize, entries.data(), entries.size())) {
        return false;
    }
    // The image the shell shows as a large icon: 32 pixels wide, the most bits per pixel.
    size_t chosen = 0;
    int best = -1;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = &entries[i * kGroupEntrySize];
        if (e[0] == 32 && static_cast<int>(U16(e + 6)) > best) {
            best = U16(e + 6);
            chosen = i;
        }
    }
    const uint8_t* e = &entries[chosen * kGroupEntrySize];
    uint64_t imageOffset = 0;
    uint32_t imageSize = 0;
    if (!reader.FindResource(kIconType, U16(e + 12), &imageOffset, &imageSize) || imageSize == 0 ||
        imageSize > kMaxImageSize) {
        return false;
    }
    std::vector<uint8_t> image(imageSize);
    if (!reader.Read(imageOffset, image.data(), imageSize)) {
        return false;
    }
    *icoFile = OneImageIco(e, image);
    return true;
}

bool ReadFrom(ByteSource& source, int32_t index, std::vector<uint8_t>* icoFile) {
    uint8_t magic[2];
    if (!source.ReadAt(0, magic, sizeof magic)) {
        return false;
    }
    return magic[0] == 'M' && magic[1] == 'Z' ? FromPe(source, index, icoFile) : FromIco(source, icoFile);
}

}  // namespace

bool ReadIconImage(const uint8_t* data, size_t size, int32_t index, std::vector<uint8_t>* icoFile) {
    MemoryByteSource source(data, size);
    return ReadFrom(source, index, icoFile);
}

bool ReadIconImage(const std::string& modelPath, int32_t index, std::vector<uint8_t>* icoFile) {
    File file;
    if (!file.Open(modelPath, File::Mode::Read)) {
        return false;
    }
    pe::FileByteSource source(file);
    try {
        return ReadFrom(source, index, icoFile);
    } catch (const CTSException&) {
        return false;
    }
}

}  // namespace platform
