#pragma once

// Decoding tables for the prefix codes of DEFLATE. A table is looked up with the next bits of the stream
// (least significant bit first): a primary table of 2^rootBits entries, and for codes longer than rootBits
// a sub-table per primary entry, reached by the bits after the first rootBits. Each entry packs everything
// the decoder needs for a symbol: how many bits its code takes, what kind of symbol it is, and its value
// (a literal byte, or a length or distance base with the count of extra bits that follow the code).
#include <cstddef>
#include <cstdint>

namespace cab {
namespace huffman {

// Entry layout: bits 0-3 the code's length (within the table looked up), bits 4-7 the count of extra bits
// (for a sub-table pointer: the sub-table's index bits), bits 8-11 the kind, bits 16-31 the value.
enum EntryKind : uint32_t {
    kBaseAndExtra = 0,        // a length or a distance: value is the base, extra bits follow
    kLiteral = 1u << 8,       // value is the byte
    kEndOfBlock = 1u << 9,    //
    kSubtable = 1u << 10,     // value is the sub-table's first index
    kInvalid = 1u << 11,      // no code leads here, or a symbol that is not allowed
    kPlainSymbol = 1u << 12,  // value is the symbol itself (the code length alphabet)
};
constexpr uint32_t kSpecialKinds = kEndOfBlock | kSubtable | kInvalid;

inline uint32_t MakeEntry(uint32_t kind, uint32_t value, uint32_t extraBits) {
    return kind | (value << 16) | (extraBits << 4);
}
inline unsigned CodeBits(uint32_t entry) { return entry & 0xF; }
inline unsigned ExtraBits(uint32_t entry) { return (entry >> 4) & 0xF; }
inline unsigned Value(uint32_t entry) { return entry >> 16; }

// What each symbol of an alphabet decodes to (the entry without its code length).
enum class Alphabet { kLiteralLength, kDistance, kCodeLength };

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kLiteralLengthSymbols = 288;
constexpr unsigned kDistanceSymbols = 32;
constexpr unsigned kCodeLengthSymbols = 19;

// Room for the largest table of an alphabet: the primary table and, at worst, one full-size sub-table for
// every symbol.
constexpr size_t Capacity(unsigned symbols, unsigned rootBits) {
    return (size_t{1} << rootBits) + symbols * (size_t{1} << (kMaxCodeBits - rootBits));
}

// Fills table (of capacity entries) for the code given by the lengths of symbols 0..count-1 (0: unused).
// False for a code that is over-subscribed, or incomplete where DEFLATE decoders refuse it: an incomplete
// code is accepted only when it is a single code of one bit (not for the code length alphabet), and an
// empty code only when allowEmpty (the distance code of a block that has no matches).
bool Build(Alphabet alphabet, const uint8_t* lengths, unsigned count, unsigned rootBits, bool allowEmpty,
           uint32_t* table, size_t capacity);

}  // namespace huffman
}  // namespace cab
