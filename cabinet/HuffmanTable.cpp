#include "cabinet/HuffmanTable.h"

namespace cab {
namespace huffman {

namespace {

// Lengths 3..258 of the symbols 257..285, then the two symbols that no stream may use.
const uint16_t kLengthBase[31] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27, 31,
                                  35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
const uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                  3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0};
// Distances 1..32768 of the symbols 0..29; 30 and 31 are not allowed.
const uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

uint32_t SymbolEntry(Alphabet alphabet, unsigned symbol) {
    switch (alphabet) {
        case Alphabet::kLiteralLength:
            if (symbol < 256) {
                return MakeEntry(kLiteral, symbol, 0);
            }
            if (symbol == 256) {
                return MakeEntry(kEndOfBlock, 0, 0);
            }
            if (symbol <= 285) {
                return MakeEntry(kBaseAndExtra, kLengthBase[symbol - 257], kLengthExtra[symbol - 257]);
            }
            return MakeEntry(kInvalid, 0, 0);
        case Alphabet::kDistance:
            if (symbol < 30) {
                return MakeEntry(kBaseAndExtra, kDistanceBase[symbol], kDistanceExtra[symbol]);
            }
            return MakeEntry(kInvalid, 0, 0);
        case Alphabet::kCodeLength:
            break;
    }
    return MakeEntry(kPlainSymbol, symbol, 0);
}

// The first length bits of code, in the order the stream sends them (the code's first bit lowest).
unsigned Reversed(unsigned code, unsigned length) {
    unsigned reversed = 0;
    for (unsigned i = 0; i < length; ++i) {
        reversed = (reversed << 1) | ((code >> i) & 1);
    }
    return reversed;
}

}  // namespace

bool Build(Alphabet alphabet, const uint8_t* lengths, unsigned count, unsigned rootBits, bool allowEmpty,
           uint32_t* table, size_t capacity) {
    unsigned perLength[kMaxCodeBits + 1] = {};
    for (unsigned s = 0; s < count; ++s) {
        perLength[lengths[s]]++;
    }
    unsigned maxLength = 0;
    int unusedCodes = 1;  // codes of the current length not yet given out (a complete code uses all)
    for (unsigned length = 1; length <= kMaxCodeBits; ++length) {
        unusedCodes = unusedCodes * 2 - static_cast<int>(perLength[length]);
        if (unusedCodes < 0) {
            return false;  // over-subscribed
        }
        if (perLength[length] != 0) {
            maxLength = length;
        }
    }
    if (maxLength == 0 ? !allowEmpty : unusedCodes > 0 && (maxLength != 1 || alphabet == Alphabet::kCodeLength)) {
        return false;
    }
    const size_t rootSize = size_t{1} << rootBits;
    const unsigned subBits = maxLength > rootBits ? maxLength - rootBits : 0;
    const uint32_t invalid = MakeEntry(kInvalid, 0, 0) | 1;  // takes one bit: decoding stops there anyway
    for (size_t i = 0; i < rootSize; ++i) {
        table[i] = invalid;
    }
    // Canonical codes: by length, and within a length by symbol, each one more than the one before.
    size_t nextSubtable = rootSize;
    unsigned code = 0;
    for (unsigned length = 1; length <= maxLength; ++length, code <<= 1) {
        for (unsigned s = 0; s < count; ++s) {
            if (lengths[s] != length) {
                continue;
            }
            const unsigned bits = Reversed(code++, length);
            const uint32_t entry = SymbolEntry(alphabet, s);
            if (length <= rootBits) {
                for (size_t i = bits; i < rootSize; i += size_t{1} << length) {
                    table[i] = entry | length;
                }
                continue;
            }
            uint32_t& pointer = table[bits & (rootSize - 1)];
            if ((pointer & kSubtable) == 0) {
                if (nextSubtable + (size_t{1} << subBits) > capacity) {
                    return false;  // cannot happen for a code that is not over-subscribed
                }
                pointer = MakeEntry(kSubtable, static_cast<uint32_t>(nextSubtable), subBits) | rootBits;
                for (size_t i = 0; i < size_t{1} << subBits; ++i) {
                    table[nextSubtable + i] = invalid;
                }
                nextSubtable += size_t{1} << subBits;
            }
            uint32_t* subtable = table + Value(pointer);
            for (size_t i = bits >> rootBits; i < size_t{1} << subBits; i += size_t{1} << (length - rootBits)) {
                subtable[i] = entry | (length - rootBits);
            }
        }
    }
    return true;
}

}  // namespace huffman
}  // namespace cab
