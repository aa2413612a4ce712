#include "setup/engine/Crc32.h"

#include <memory>

namespace {

using Table = uint32_t[256];

// Four tables, so that four bytes are taken at a time ("slicing by four"); made on first use rather than
// stored in the image (the Windows compilers store even a zeroed static array there).
std::unique_ptr<Table[]> Make() {
    std::unique_ptr<Table[]> t(new Table[4]);
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n) {
        for (int s = 1; s < 4; ++s) {
            t[s][n] = (t[s - 1][n] >> 8) ^ t[0][t[s - 1][n] & 0xFF];
        }
    }
    return t;
}

const Table* Tables() {
    static const std::unique_ptr<Table[]> tables = Make();
    return tables.get();
}

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    const Table* t = Tables();
    crc = ~crc;
    for (; size >= 4; data += 4, size -= 4) {
        crc ^= static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
               static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
        crc = t[3][crc & 0xFF] ^ t[2][(crc >> 8) & 0xFF] ^ t[1][(crc >> 16) & 0xFF] ^ t[0][crc >> 24];
    }
    for (; size > 0; ++data, --size) {
        crc = t[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}
