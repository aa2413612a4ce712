#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A one-image icon file (.ico) made from an icon of a file: the first image of an .ico file, or from a
// PE file (.exe, .dll) the icon group at a position among its icon groups (a negative index names a group
// by its resource number, as Windows reads icon indexes), of whose images the 32-pixel one with the most
// colours is taken (else the first). Every count, offset and size read from the file is checked; false
// when the file has no such icon or is damaged.
bool ReadIconImage(const std::string& modelPath, int32_t index, std::vector<uint8_t>* icoFile);

// The same over bytes in memory.
bool ReadIconImage(const uint8_t* data, size_t size, int32_t index, std::vector<uint8_t>* icoFile);

}  // namespace platform
