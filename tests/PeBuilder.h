#pragma once

// Small PE files made by the tests themselves: a DOS header, the PE headers, one ".rsrc" section and a
// version resource, with every field where the headers put it.
#include <cstdint>
#include <cstring>
#include <vector>

namespace testing_support {

struct PeLayout {
    bool pe32Plus = false;
    bool withVersion = true;
    uint32_t versionMS = 0x00010002;
    uint32_t versionLS = 0x00030004;
};

// Offsets of interesting fields in the file BuildPe makes, for tests that damage them.
constexpr size_t kPeHeaderOffset = 0x40;
constexpr size_t kResourceFileOffset = 0x200;
constexpr size_t kVersionBlockOffset = kResourceFileOffset + 0x58;

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

inline std::vector<uint8_t> BuildPe(const PeLayout& layout) {
    const uint32_t sectionRva = 0x1000;
    const size_t optionalSize = layout.pe32Plus ? 240 : 224;
    const size_t countAt = layout.pe32Plus ? 108 : 92;
    const size_t resourceSize = 0x58 + 92;
    std::vector<uint8_t> pe(kResourceFileOffset + resourceSize, 0);

    pe[0] = 'M';
    pe[1] = 'Z';
    Put32(pe, 0x3C, kPeHeaderOffset);
    std::memcpy(&pe[kPeHeaderOffset], "PE\0\0", 4);
    const size_t coff = kPeHeaderOffset + 4;
    Put16(pe, coff, layout.pe32Plus ? 0x8664 : 0x14C);
    Put16(pe, coff + 2, 1);  // sections
    Put16(pe, coff + 16, static_cast<uint32_t>(optionalSize));
    const size_t optional = coff + 20;
    Put16(pe, optional, layout.pe32Plus ? 0x20B : 0x10B);
    Put32(pe, optional + countAt, 16);
    Put32(pe, optional + countAt + 4 + 16, sectionRva);  // resource directory
    Put32(pe, optional + countAt + 4 + 20, static_cast<uint32_t>(resourceSize));
    const size_t section = optional + optionalSize;
    std::memcpy(&pe[section], ".rsrc", 5);
    Put32(pe, section + 8, static_cast<uint32_t>(resourceSize));
    Put32(pe, section + 12, sectionRva);
    Put32(pe, section + 16, static_cast<uint32_t>(resourceSize));
    Put32(pe, section + 20, kResourceFileOffset);

    const size_t r = kResourceFileOffset;
    // Three directory levels of one entry each: type, name, language; then the data entry.
    Put16(pe, r + 14, 1);
    Put32(pe, r + 16, layout.withVersion ? 16 : 6);
    Put32(pe, r + 20, 0x80000000u | 0x18);
    Put16(pe, r + 0x18 + 14, 1);
    Put32(pe, r + 0x18 + 16, 1);
    Put32(pe, r + 0x18 + 20, 0x80000000u | 0x30);
    Put16(pe, r + 0x30 + 14, 1);
    Put32(pe, r + 0x30 + 16, 0x409);
    Put32(pe, r + 0x30 + 20, 0x48);
    Put32(pe, r + 0x48, sectionRva + 0x58);
    Put32(pe, r + 0x48 + 4, 92);

    const size_t v = kVersionBlockOffset;
    Put16(pe, v, 92);
    Put16(pe, v + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key - 1; ++i) {
        Put16(pe, v + 6 + 2 * i, static_cast<uint8_t>(key[i]));
    }
    Put32(pe, v + 40, 0xFEEF04BDu);
    Put32(pe, v + 44, 0x00010000);
    Put32(pe, v + 48, layout.versionMS);
    Put32(pe, v + 52, layout.versionLS);
    return pe;
}

}  // namespace testing_support
