#pragma once

// zlib's inflate doing the job of our Inflater (one raw DEFLATE stream of a known output size behind a
// history): the peer that our decoder is checked and measured against, in tests, fuzzing and benchmarks.
// The engine itself does not use it.
#include <cstddef>
#include <cstdint>

struct z_stream_s;

namespace cab {

class ZlibInflater {
public:
    ZlibInflater();
    ~ZlibInflater();
    ZlibInflater(const ZlibInflater&) = delete;
    ZlibInflater& operator=(const ZlibInflater&) = delete;

    // True when the stream ends having produced exactly outputSize bytes, as Inflater::Inflate; history is
    // the historySize bytes that precede the output (at most the last 32768 count).
    bool Inflate(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize, const uint8_t* history,
                 size_t historySize);

private:
    z_stream_s* stream_;
    bool ready_ = false;
};

}  // namespace cab
