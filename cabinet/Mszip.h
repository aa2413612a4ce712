#pragma once

// MSZIP, the deflate variant of MS-CAB: every data block is "CK" and a complete raw deflate stream of at
// most 32768 bytes, which may refer back to the 32 KiB that precede it in the same folder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "cabinet/Inflate.h"

struct z_stream_s;

namespace cab {

// The window of MSZIP (each block's history for the next) and zlib's window bits for raw deflate data.
constexpr size_t kMszipWindow = 32768;
constexpr int kMszipRawDeflate = -15;

// Compresses blocks one at a time; one object per thread. The setting is zlib's lazy matcher of level 4
// with longer lazy and nice match lengths: with the history of the preceding block it makes cabinets
// smaller than level 6 without history does, at about half the work.
class MszipCompressor {
public:
    MszipCompressor();
    ~MszipCompressor();
    MszipCompressor(const MszipCompressor&) = delete;
    MszipCompressor& operator=(const MszipCompressor&) = delete;

    bool IsReady() const { return ready_; }
    // Compresses input (at most 32768 bytes) given the folder's preceding bytes as history (at most the
    // last 32768 are used). The output never exceeds kMaxOutput: input that does not shrink is stored.
    bool Compress(const uint8_t* history, size_t historySize, const uint8_t* input, size_t inputSize,
                  std::vector<uint8_t>* output);

    static constexpr size_t kMaxOutput = 2 + 5 + 32768;

private:
    z_stream_s* stream_;
    bool ready_ = false;
};

// Decompresses the blocks of one folder after another, keeping the history between blocks. Each block is
// decoded by our own inflater into a window that holds the folder's preceding bytes right before the new
// output, so that matches read history and output alike, then copied to the caller.
class MszipDecompressor {
public:
    MszipDecompressor();
    ~MszipDecompressor();
    MszipDecompressor(const MszipDecompressor&) = delete;
    MszipDecompressor& operator=(const MszipDecompressor&) = delete;

    bool IsReady() const { return window_ != nullptr && inflater_.IsReady(); }
    // Forgets the history: the next block begins a folder.
    void StartFolder() { historySize_ = 0; }
    // Decodes one block, which must produce exactly outputSize bytes; false when it is not valid MSZIP.
    bool Decode(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize);

private:
    // Blocks are decoded one after the other into the window, each behind the one before it, which is its
    // history; when the window is full, its last 32 KiB move to its start.
    static constexpr size_t kWindowSize = 8 * kMszipWindow;

    Inflater inflater_;
    std::unique_ptr<uint8_t[]> window_;
    size_t writeAt_ = kMszipWindow;  // where the next block goes: its history is right before it
    size_t historySize_ = 0;
};

}  // namespace cab
