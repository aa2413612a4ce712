// libFuzzer target for our DEFLATE decoder, with zlib's inflate as the judge. The input is the output size
// (two bytes, little-endian, taken modulo 32769), the history size (two more, the same way) and then the
// stream. Both decoders get the same stream, history and size: they must accept and refuse alike and,
// when they accept, produce the same bytes; ours must never touch memory outside history and output.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cabinet/Inflate.h"
#include "cabinet/ZlibInflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const size_t outputSize = (data[0] | data[1] << 8) % 32769;
    const size_t historySize = (data[2] | data[3] << 8) % 32769;
    static cab::Inflater ours;
    static cab::ZlibInflater zlib;
    // History and output in one allocation of exactly their size, so that a stray access is caught.
    std::vector<uint8_t> window(historySize + outputSize);
    for (size_t i = 0; i < historySize; ++i) {
        window[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    std::vector<uint8_t> expected(outputSize);
    const bool oursAccepts = ours.Inflate(data + 4, size - 4, window.data() + historySize, outputSize, historySize);
    const bool zlibAccepts = zlib.Inflate(data + 4, size - 4, expected.data(), outputSize, window.data(), historySize);
    if (oursAccepts != zlibAccepts ||
        (oursAccepts && outputSize > 0 && std::memcmp(window.data() + historySize, expected.data(), outputSize) != 0)) {
        std::abort();
    }
    return 0;
}
