#pragma once

// CRC-32 as zip and zlib compute it (reflected polynomial 0xEDB88320), for the single-file image's payload
// check: the setup program carries this rather than the compression library.
#include <cstddef>
#include <cstdint>

// Continues crc (0 to begin) over size bytes.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);
