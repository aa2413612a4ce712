#include "cabinet/Inflate.h"

#include <cstring>
#include <new>

#include "cabinet/HuffmanTable.h"

namespace cab {

using namespace huffman;

// The codes of the current dynamic block, and the fixed codes (no longer than the primary tables' bits).
struct Inflater::Tables {
    uint32_t literal[Capacity(kLiteralLengthSymbols, kLiteralRootBits)];
    uint32_t distance[Capacity(kDistanceSymbols, kDistanceRootBits)];
    uint32_t fixedLiteral[size_t{1} << kLiteralRootBits];
    uint32_t fixedDistance[size_t{1} << kDistanceRootBits];
};

namespace {

constexpr uint64_t LowBits(unsigned n) { return (uint64_t{1} << n) - 1; }

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

inline void Copy8(uint8_t* to, const uint8_t* from) { std::memcpy(to, from, 8); }

}  // namespace

// The stream's bits, least significant first, in a 64-bit buffer. Past the input's end the careful refill
// feeds zero bytes and counts them: the stream is broken once any of them has been used.
struct BitReader {
    const uint8_t* next;
    const uint8_t* end;
    uint64_t bits = 0;     // the next count bits; above them zeros (fast path: bits of the bytes at next)
    unsigned count = 0;    // bits held, taken from the bytes before next
    unsigned padding = 0;  // zero bytes fed past the end (the last ones in bits)

    BitReader(const uint8_t* input, size_t size) : next(input), end(input + size) {}

    bool Overran() const { return padding * 8 > count; }
    // Holds at least 57 bits after it; false once the stream has used bits beyond the input.
    bool Refill() {
        if (Overran()) {
            return false;
        }
        for (; count <= 56; count += 8) {
            if (next < end) {
                bits |= uint64_t{*next++} << count;
            } else {
                padding++;
            }
        }
        return true;
    }
    // The same with one unaligned load: needs 8 bytes of input left. Leaves count at 56..63, and above it
    // bits of the bytes at next, which the following refill puts in the same place again.
    void RefillFast() {
        bits |= Load64(next) << count;
        next += (63 - count) >> 3;
        count |= 56;
    }
    void Drop(unsigned n) {
        bits >>= n;
        count -= n;
    }
    uint32_t Take(unsigned n) {
        uint32_t value = static_cast<uint32_t>(bits & LowBits(n));
        Drop(n);
        return value;
    }
    // Decodes a symbol (bits must hold a whole code): its entry, the code's bits dropped.
    uint32_t Decode(const uint32_t* table, unsigned rootBits) {
        uint32_t entry = table[bits & LowBits(rootBits)];
        if (entry & kSubtable) {
            Drop(rootBits);
            entry = table[Value(entry) + (bits & LowBits(ExtraBits(entry)))];
        }
        Drop(CodeBits(entry));
        return entry;
    }
};

namespace {

constexpr unsigned kLiteralRoot = Inflater::kLiteralRootBits;
constexpr unsigned kDistanceRoot = Inflater::kDistanceRootBits;

// The fast loop runs while three literals and a match of the longest length, copied in whole words, stay
// inside the output, and while two refills find their eight bytes of input.
constexpr size_t kFastOutputMargin = 258 + 3 + 16;
constexpr size_t kFastInputMargin = 16;

// Appends length bytes copied from distance bytes back, in eight-byte words; writes up to 7 bytes past the
// end of the copy (up to 13 when it is shorter than 16).
inline uint8_t* CopyMatchFast(uint8_t* out, size_t distance, size_t length) {
    const uint8_t* from = out - distance;
    uint8_t* const end = out + length;
    if (distance >= 8) {
        // Most matches are short: their first 16 bytes without a test.
        Copy8(out, from);
        Copy8(out + 8, from + 8);
        for (out += 16, from += 16; out < end; out += 8, from += 8) {
            Copy8(out, from);
        }
    } else if (distance == 1) {
        uint64_t run = uint64_t{*from} * 0x0101010101010101ull;
        do {
            std::memcpy(out, &run, 8);
            out += 8;
        } while (out < end);
    } else {
        // Each word read from distance back gets its first distance bytes right; the rest are rewritten.
        do {
            Copy8(out, out - distance);
            out += distance;
        } while (out < end);
    }
    return end;
}

// Where the output goes: history lies before start, and out never passes end.
struct Output {
    const uint8_t* start;  // the first byte a distance may reach
    uint8_t* out;
    uint8_t* end;
};

// Decodes literals and matches until the end-of-block code; the fast loop first, where the margins allow,
// then symbol by symbol with every bound checked.
bool DecodeBlockData(BitReader& reader, const uint32_t* literals, const uint32_t* distances, Output& output) {
    uint8_t* out = output.out;
    if (reader.end - reader.next >= static_cast<ptrdiff_t>(kFastInputMargin) &&
        output.end - out >= static_cast<ptrdiff_t>(kFastOutputMargin)) {
        const uint8_t* const inputLimit = reader.end - kFastInputMargin;
        uint8_t* const outputLimit = output.end - kFastOutputMargin;
        BitReader r = reader;
        while (r.next <= inputLimit && out <= outputLimit) {
            r.RefillFast();
            uint32_t entry = r.Decode(literals, kLiteralRoot);
            if (entry & kLiteral) {
                // Up to three literals from one refill (15 bits at most each).
                *out++ = static_cast<uint8_t>(Value(entry));
                entry = r.Decode(literals, kLiteralRoot);
                if (entry & kLiteral) {
                    *out++ = static_cast<uint8_t>(Value(entry));
                    entry = r.Decode(literals, kLiteralRoot);
                    if (entry & kLiteral) {
                        *out++ = static_cast<uint8_t>(Value(entry));
                        continue;
                    }
                }
                r.RefillFast();
            }
            if (entry & kSpecialKinds) {
                if (entry & kEndOfBlock) {
                    r.bits &= LowBits(r.count);
                    reader = r;
                    output.out = out;
                    return true;
                }
                return false;
            }
            const size_t length = Value(entry) + r.Take(ExtraBits(entry));
            entry = r.Decode(distances, kDistanceRoot);
            if (entry & kInvalid) {
                return false;
            }
            const size_t distance = Value(entry) + r.Take(ExtraBits(entry));
            if (distance > static_cast<size_t>(out - output.start)) {
                return false;
            }
            out = CopyMatchFast(out, distance, length);
        }
        r.bits &= LowBits(r.count);
        reader = r;
    }
    for (;;) {
        if (!reader.Refill()) {
            return false;
        }
        uint32_t entry = reader.Decode(literals, kLiteralRoot);
        if (entry & kLiteral) {
            if (out == output.end) {
                return false;
            }
            *out++ = static_cast<uint8_t>(Value(entry));
            continue;
        }
        if (entry & kSpecialKinds) {
            output.out = out;
            return (entry & kEndOfBlock) != 0;
        }
        const size_t length = Value(entry) + reader.Take(ExtraBits(entry));
        entry = reader.Decode(distances, kDistanceRoot);
        if (entry & kInvalid) {
            return false;
        }
        const size_t distance = Value(entry) + reader.Take(ExtraBits(entry));
        if (distance > static_cast<size_t>(out - output.start) ||
            length > static_cast<size_t>(output.end - out)) {
            return false;
        }
        for (size_t i = 0; i < length; ++i, ++out) {
            *out = *(out - distance);
        }
    }
}

// A stored block: LEN, NLEN (its complement) and LEN bytes, from the next byte boundary.
bool CopyStored(BitReader& reader, Output& output) {
    reader.Drop(reader.count % 8);
    if (!reader.Refill()) {
        return false;
    }
    const uint32_t length = reader.Take(16);
    if (reader.Take(16) != (~length & 0xFFFF) || reader.Overran()) {
        return false;
    }
    // The data follows at the first byte the reader has not used: back up over the real bytes it holds.
    const uint8_t* const at = reader.next - (reader.count / 8 - reader.padding);
    if (static_cast<size_t>(reader.end - at) < length ||
        static_cast<size_t>(output.end - output.out) < length) {
        return false;
    }
    std::memcpy(output.out, at, length);
    output.out += length;
    reader.next = at + length;
    reader.bits = 0;
    reader.count = 0;
    reader.padding = 0;
    return true;
}

}  // namespace

Inflater::Inflater() : tables_(new (std::nothrow) Tables) {
    if (tables_ == nullptr) {
        return;
    }
    uint8_t lengths[kLiteralLengthSymbols];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    Build(Alphabet::kLiteralLength, lengths, kLiteralLengthSymbols, kLiteralRootBits, false,
          tables_->fixedLiteral, sizeof tables_->fixedLiteral / sizeof *tables_->fixedLiteral);
    std::memset(lengths, 5, kDistanceSymbols);
    Build(Alphabet::kDistance, lengths, kDistanceSymbols, kDistanceRootBits, false, tables_->fixedDistance,
          sizeof tables_->fixedDistance / sizeof *tables_->fixedDistance);
}

Inflater::~Inflater() = default;

bool Inflater::ReadDynamicTables(BitReader& reader) {
    static const uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                 11, 4,  12, 3, 13, 2, 14, 1, 15};
    if (!reader.Refill()) {
        return false;
    }
    const unsigned literalCount = reader.Take(5) + 257;
    const unsigned distanceCount = reader.Take(5) + 1;
    const unsigned codeLengthCount = reader.Take(4) + 4;
    if (literalCount > 286 || distanceCount > 30) {
        return false;
    }
    uint8_t codeLengthLengths[kCodeLengthSymbols] = {};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        if (!reader.Refill()) {
            return false;
        }
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(reader.Take(3));
    }
    // Code lengths have 3 bits: the primary table takes every code.
    uint32_t codeLengthTable[size_t{1} << kCodeLengthRootBits];
    if (!Build(Alphabet::kCodeLength, codeLengthLengths, kCodeLengthSymbols, kCodeLengthRootBits, false,
               codeLengthTable, sizeof codeLengthTable / sizeof *codeLengthTable)) {
        return false;
    }
    // The lengths of both codes form one sequence: a repeat may run from one into the other.
    uint8_t lengths[286 + 30];
    const unsigned total = literalCount + distanceCount;
    for (unsigned n = 0; n < total;) {
        if (!reader.Refill()) {
            return false;
        }
        const unsigned symbol = Value(reader.Decode(codeLengthTable, kCodeLengthRootBits));
        if (symbol < 16) {
            lengths[n++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t repeated = 0;
        unsigned times;
        if (symbol == 16) {
            if (n == 0) {
                return false;  // nothing to repeat
            }
            repeated = lengths[n - 1];
            times = 3 + reader.Take(2);
        } else if (symbol == 17) {
            times = 3 + reader.Take(3);
        } else {
            times = 11 + reader.Take(7);
        }
        if (times > total - n) {
            return false;
        }
        std::memset(lengths + n, repeated, times);
        n += times;
    }
    if (lengths[256] == 0) {
        return false;  // no end-of-block code
    }
    return Build(Alphabet::kLiteralLength, lengths, literalCount, kLiteralRootBits, false, tables_->literal,
                 sizeof tables_->literal / sizeof *tables_->literal) &&
           Build(Alphabet::kDistance, lengths + literalCount, distanceCount, kDistanceRootBits, true,
                 tables_->distance, sizeof tables_->distance / sizeof *tables_->distance);
}

bool Inflater::Inflate(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                       size_t historySize) {
    BitReader reader(input, inputSize);
    Output at{output - historySize, output, output + outputSize};
    for (bool last = false; !last;) {
        if (!reader.Refill()) {
            return false;
        }
        last = reader.Take(1) != 0;
        switch (reader.Take(2)) {
            case 0:
                if (!CopyStored(reader, at)) {
                    return false;
                }
                break;
            case 1:
                if (!DecodeBlockData(reader, tables_->fixedLiteral, tables_->fixedDistance, at)) {
                    return false;
                }
                break;
            case 2:
                if (!ReadDynamicTables(reader) ||
                    !DecodeBlockData(reader, tables_->literal, tables_->distance, at)) {
                    return false;
                }
                break;
            default:
                return false;
        }
    }
    return at.out == at.end && !reader.Overran();
}

}  // namespace cab
