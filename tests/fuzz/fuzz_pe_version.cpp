// libFuzzer target: the reader of PE version resources over arbitrary bytes. The byte source refuses
// reads outside the input; the sanitizers watch the reader's own buffers and arithmetic.
#include <cstddef>
#include <cstdint>

#include "platform/PeVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::MemoryByteSource source(data, size);
    uint32_t versionMS = 0;
    uint32_t versionLS = 0;
    platform::ReadPeFileVersion(source, &versionMS, &versionLS);
    return 0;
}
