// MSZIP compression, in a file of its own so that a program that only extracts links no compressor.
#include "cabinet/Mszip.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace cab {

namespace {
constexpr size_t kWindow = kMszipWindow;
constexpr int kRawDeflate = kMszipRawDeflate;
constexpr int kLevel = 4;
// deflateTune: good length, lazy length, nice length, chain length (level 4 has 4, 4, 16, 16).
constexpr int kGoodLength = 4;
constexpr int kLazyLength = 6;
constexpr int kNiceLength = 32;
constexpr int kChainLength = 16;
}  // namespace

MszipCompressor::MszipCompressor() : stream_(new z_stream{}) {
    ready_ = deflateInit2(stream_, kLevel, Z_DEFLATED, kRawDeflate, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

MszipCompressor::~MszipCompressor() {
    if (ready_) {
        deflateEnd(stream_);
    }
    delete stream_;
}

bool MszipCompressor::Compress(const uint8_t* history, size_t historySize, const uint8_t* input,
                               size_t inputSize, std::vector<uint8_t>* output) {
    if (!ready_ || inputSize > kWindow) {
        return false;
    }
    output->resize(2 + deflateBound(stream_, static_cast<uLong>(inputSize)) + 16);
    (*output)[0] = 'C';
    (*output)[1] = 'K';
    // A reset brings back the level's own lengths, so the tuning follows every reset.
    bool deflated = deflateReset(stream_) == Z_OK &&
                    deflateTune(stream_, kGoodLength, kLazyLength, kNiceLength, kChainLength) == Z_OK;
    if (deflated && historySize > 0) {
        size_t used = std::min(historySize, kWindow);
        deflated = deflateSetDictionary(stream_, history + historySize - used, static_cast<uInt>(used)) == Z_OK;
    }
    if (deflated) {
        stream_->next_in = const_cast<Bytef*>(input);
        stream_->avail_in = static_cast<uInt>(inputSize);
        stream_->next_out = output->data() + 2;
        stream_->avail_out = static_cast<uInt>(output->size() - 2);
        deflated = deflate(stream_, Z_FINISH) == Z_STREAM_END;
    }
    size_t produced = deflated ? 2 + stream_->total_out : SIZE_MAX;
    if (produced <= 2 + 5 + inputSize) {
        output->resize(produced);
        return true;
    }
    // One stored block, final: header bits 1 (BFINAL) and 00 (stored), then LEN and its complement.
    output->resize(2 + 5 + inputSize);
    uint8_t* out = output->data() + 2;
    out[0] = 0x01;
    out[1] = static_cast<uint8_t>(inputSize);
    out[2] = static_cast<uint8_t>(inputSize >> 8);
    out[3] = static_cast<uint8_t>(~inputSize);
    out[4] = static_cast<uint8_t>(~inputSize >> 8);
    if (inputSize > 0) {
        std::memcpy(out + 5, input, inputSize);
    }
    return true;
}

}  // namespace cab
