#include "cabinet/Mszip.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace cab {

namespace {
constexpr size_t kWindow = kMszipWindow;
constexpr int kRawDeflate = kMszipRawDeflate;
}  // namespace

MszipDecompressor::MszipDecompressor() : stream_(new z_stream{}), history_(kWindow) {
    ready_ = inflateInit2(stream_, kRawDeflate) == Z_OK;
}

MszipDecompressor::~MszipDecompressor() {
    if (ready_) {
        inflateEnd(stream_);
    }
    delete stream_;
}

bool MszipDecompressor::Decode(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize) {
    if (!ready_ || inputSize < 2 || input[0] != 'C' || input[1] != 'K' || outputSize > kWindow) {
        return false;
    }
    if (inflateReset(stream_) != Z_OK) {
        return false;
    }
    if (historySize_ > 0 &&
        inflateSetDictionary(stream_, history_.data() + kWindow - historySize_, static_cast<uInt>(historySize_)) !=
            Z_OK) {
        return false;
    }
    stream_->next_in = const_cast<Bytef*>(input + 2);
    stream_->avail_in = static_cast<uInt>(inputSize - 2);
    stream_->next_out = output;
    stream_->avail_out = static_cast<uInt>(outputSize);
    int result = inflate(stream_, Z_FINISH);
    if (result != Z_STREAM_END || stream_->avail_out != 0) {
        return false;
    }
    // The history is kept right-aligned in a 32 KiB buffer: the newest bytes at its end.
    if (outputSize >= kWindow) {
        std::memcpy(history_.data(), output, kWindow);
        historySize_ = kWindow;
    } else {
        std::memmove(history_.data(), history_.data() + outputSize, kWindow - outputSize);
        std::memcpy(history_.data() + kWindow - outputSize, output, outputSize);
        historySize_ = std::min(kWindow, historySize_ + outputSize);
    }
    return true;
}

}  // namespace cab
