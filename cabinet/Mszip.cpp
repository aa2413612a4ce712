#include "cabinet/Mszip.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace cab {

MszipDecompressor::MszipDecompressor() : window_(new (std::nothrow) uint8_t[kWindowSize]) {}

MszipDecompressor::~MszipDecompressor() = default;

bool MszipDecompressor::Decode(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize) {
    if (!IsReady() || inputSize < 2 || input[0] != 'C' || input[1] != 'K' || outputSize > kMszipWindow) {
        return false;
    }
    if (writeAt_ + outputSize > kWindowSize) {
        std::memmove(window_.get(), window_.get() + writeAt_ - kMszipWindow, kMszipWindow);
        writeAt_ = kMszipWindow;
    }
    uint8_t* const decoded = window_.get() + writeAt_;
    if (!inflater_.Inflate(input + 2, inputSize - 2, decoded, outputSize, historySize_)) {
        return false;
    }
    std::memcpy(output, decoded, outputSize);
    writeAt_ += outputSize;
    historySize_ = std::min(kMszipWindow, historySize_ + outputSize);
    return true;
}

}  // namespace cab
