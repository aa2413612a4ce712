#pragma once

// Our DEFLATE decoder (RFC 1951) for streams that lie wholly in memory and whose output size is known,
// as MSZIP's blocks are. The output goes to one contiguous buffer behind the history that matches may
// refer to, so a match copies from history and new output alike.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace cab {

struct BitReader;

class Inflater {
public:
    Inflater();
    ~Inflater();
    // False when the tables could not be allocated.
    bool IsReady() const { return tables_ != nullptr; }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Decodes the raw DEFLATE stream in input into output, which must come to exactly outputSize bytes.
    // The historySize bytes before output are the data that precede it (matches may refer to them). Bytes
    // after the final block are ignored. False, with output's contents undefined, for anything else:
    // malformed or truncated data, a distance beyond the history, too much output or too little.
    bool Inflate(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize, size_t historySize);

    // Primary table sizes: most literal and length codes, and most distance codes, take one look-up.
    static constexpr unsigned kLiteralRootBits = 11;
    static constexpr unsigned kDistanceRootBits = 8;
    static constexpr unsigned kCodeLengthRootBits = 7;

private:
    struct Tables;
    bool ReadDynamicTables(BitReader& reader);

    std::unique_ptr<Tables> tables_;  // large: kept off the stack
};

}  // namespace cab
