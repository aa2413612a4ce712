#include "cabinet/ZlibInflate.h"

#include <zlib.h>

#include <algorithm>

namespace cab {

ZlibInflater::ZlibInflater() : stream_(new z_stream{}) { ready_ = inflateInit2(stream_, -15) == Z_OK; }

ZlibInflater::~ZlibInflater() {
    if (ready_) {
        inflateEnd(stream_);
    }
    delete stream_;
}

bool ZlibInflater::Inflate(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                           const uint8_t* history, size_t historySize) {
    if (!ready_ || inflateReset(stream_) != Z_OK) {
        return false;
    }
    const size_t kept = std::min<size_t>(historySize, 32768);
    if (kept > 0 && inflateSetDictionary(stream_, history + historySize - kept, static_cast<uInt>(kept)) != Z_OK) {
        return false;
    }
    stream_->next_in = const_cast<Bytef*>(input);
    stream_->avail_in = static_cast<uInt>(inputSize);
    uint8_t none;  // zlib refuses to work without an output pointer, even for no output
    stream_->next_out = output != nullptr ? output : &none;
    stream_->avail_out = static_cast<uInt>(outputSize);
    return inflate(stream_, Z_FINISH) == Z_STREAM_END && stream_->avail_out == 0;
}

}  // namespace cab
