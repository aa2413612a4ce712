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

// The code's length bits in the order the stream sends them (the code's first bit lowest).
unsigned Reversed(unsigned code, unsigned length) {
    code = ((code & 0x5555) << 1) | ((code >> 1) & 0x5555);
    code = ((code & 0x3333) << 2) | ((code >> 2) & 0x3333);
    code = ((code & 0x0F0F) << 4) | ((code >> 4) & 0x0F0F);
    code = ((code & 0x00FF) << 8) | ((code >> 8) & 0x00FF);
    return code >> (16 - length);
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
    if (maxLength == 0 ? !allowEmpty
                       : unusedCodes > 0 && (maxLength != 1 || alphabet == Alphabet::kCodeLength)) {
        return false;
    }
    // The symbols in the order of their canonical codes: by length, and within a length by symbol.
    uint16_t sorted[kLiteralLengthSymbols];
    unsigned next[kMaxCodeBits + 1] = {}, coded = 0;
    for (unsigned length = 1; length <= kMaxCodeBits; ++length) {
        next[length] = coded;
        coded += perLength[length];
    }
    for (unsigned s = 0; s < count; ++s) {
        if (lengths[s] != 0) {
            sorted[next[lengths[s]]++] = static_cast<uint16_t>(s);
        }
    }
    const size_t rootSize = size_t{1} << rootBits;
    const unsigned subBits = maxLength > rootBits ? maxLength - rootBits : 0;
    const uint32_t invalid = MakeEntry(kInvalid, 0, 0) | 1;  // takes one bit: decoding stops there anyway
    if (unusedCodes > 0 || maxLength == 0) {
        for (size_t i = 0; i < rootSize; ++i) {
            table[i] = invalid;  // where no code leads
        }
    }
    // Each code is one more than the one before it, shifted left where the length grows. The long codes
    // that share their first rootBits bits follow each other, and share a sub-table.
    size_t nextSubtable = rootSize;
    unsigned code = 0, length = 0, prefix = ~0u;
    uint32_t* subtable = nullptr;
    for (unsigned i = 0; i < coded; ++i) {
        const unsigned s = sorted[i];
        code <<= lengths[s] - length;
        length = lengths[s];
        const unsigned bits = Reversed(code++, length);
        const uint32_t entry = SymbolEntry(alphabet, s);
        if (length <= rootBits) {
            for (size_t at = bits; at < rootSize; at += size_t{1} << length) {
                table[at] = entry | length;
            }
            continue;
        }
        if ((bits & (rootSize - 1)) != prefix) {
            if (nextSubtable + (size_t{1} << subBits) > capacity) {
                return false;  // cannot happen for a code that is not over-subscribed
            }
            prefix = bits & (rootSize - 1);
            table[prefix] = MakeEntry(kSubtable, static_cast<uint32_t>(nextSubtable), subBits) | rootBits;
            subtable = table + nextSubtable;
            nextSubtable += size_t{1} << subBits;
        }
        for (size_t at = bits >> rootBits; at < size_t{1} << subBits;
             at += size_t{1} << (length - rootBits)) {
            subtable[at] = entry | (length - rootBits);
        }
    }
    return true;
}

}  // namespace huffman
}  // namespace cab
