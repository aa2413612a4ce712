// Our DEFLATE decoder against zlib's inflate: folders that zlib compresses at every level and strategy
// decode to the same bytes, and hand-made streams, broken or merely unusual, get zlib's verdict.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "cabinet/Inflate.h"
#include "cabinet/Mszip.h"
#include "cabinet/ZlibInflate.h"
#include "tests/cabinet/CabTestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kBlock = 32768;

struct Compression {
    const char* name;
    int level;
    int strategy;
    size_t flushEvery;  // 0: one deflate block after another as zlib likes; else a sync flush every so many bytes
};

// One MSZIP block as zlib compresses it, with the folder's preceding 32 KiB as its dictionary.
Bytes ZlibBlock(const uint8_t* data, size_t at, size_t size, const Compression& c) {
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, c.level, Z_DEFLATED, -15, 8, c.strategy), Z_OK);
    const size_t history = std::min(at, kBlock);
    if (history > 0) {
        deflateSetDictionary(&s, data + at - history, static_cast<uInt>(history));
    }
    Bytes block(2 + deflateBound(&s, size) + 16 * (size / std::max<size_t>(c.flushEvery, 1) + 2));
    block[0] = 'C';
    block[1] = 'K';
    s.next_out = block.data() + 2;
    s.avail_out = static_cast<uInt>(block.size() - 2);
    size_t done = 0;
    int result;
    do {
        const size_t piece = c.flushEvery == 0 ? size - done : std::min(c.flushEvery, size - done);
        s.next_in = const_cast<Bytef*>(data + at + done);
        s.avail_in = static_cast<uInt>(piece);
        done += piece;
        result = deflate(&s, done == size ? Z_FINISH : Z_SYNC_FLUSH);
    } while (result == Z_OK && done < size);
    EXPECT_EQ(result, Z_STREAM_END);
    block.resize(block.size() - s.avail_out);
    deflateEnd(&s);
    return block;
}

// Runs of one byte and of short patterns (periods 1 to 9): matches at every short distance, overlapping.
Bytes Runs(size_t size, uint32_t seed) {
    Bytes bytes;
    while (bytes.size() < size) {
        seed = seed * 1103515245 + 12345;
        const size_t period = 1 + (seed >> 8) % 9, length = 1 + (seed >> 16) % 400;
        for (size_t i = 0; i < length && bytes.size() < size; ++i) {
            bytes.push_back(static_cast<uint8_t>('a' + (seed >> 24) % 7 + i % period));
        }
    }
    return bytes;
}

// Machine-code-like bytes: little-endian counters, zeros and noise.
Bytes Binary(size_t size, uint32_t seed) {
    Bytes noise = cabtest::RandomBytes(size, seed), bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = i % 16 < 4 ? static_cast<uint8_t>((i / 16) >> (8 * (i % 4))) : i % 16 < 9 ? 0 : noise[i];
    }
    return bytes;
}

TEST(InflateTest, FoldersCompressedByZlibDecodeToTheirBytes) {
    const std::map<std::string, Bytes> inputs = {
        {"text", cabtest::TextBytes(100000, 1)}, {"binary", Binary(90000, 2)},
        {"random", cabtest::RandomBytes(70000, 3)}, {"runs", Runs(80000, 4)},
        {"empty", {}}, {"one byte", {'x'}}, {"one whole block", cabtest::TextBytes(kBlock, 5)},
    };
    const Compression compressions[] = {
        {"level 0", 0, Z_DEFAULT_STRATEGY, 0},  {"level 1", 1, Z_DEFAULT_STRATEGY, 0},
        {"level 6", 6, Z_DEFAULT_STRATEGY, 0},  {"level 9", 9, Z_DEFAULT_STRATEGY, 0},
        {"filtered", 6, Z_FILTERED, 0},         {"Huffman only", 6, Z_HUFFMAN_ONLY, 0},
        {"RLE", 6, Z_RLE, 0},                   {"fixed codes", 9, Z_FIXED, 0},
        {"sync flush every 1000 bytes", 6, Z_DEFAULT_STRATEGY, 1000},
    };
    cab::MszipDecompressor decoder;
    for (const auto& input : inputs) {
        for (const Compression& c : compressions) {
            SCOPED_TRACE(input.first + ", " + c.name);
            const Bytes& data = input.second;
            decoder.StartFolder();
            Bytes decoded;
            size_t at = 0;
            do {
                const size_t size = std::min(kBlock, data.size() - at);
                const Bytes block = ZlibBlock(data.data(), at, size, c);
                Bytes output(size);
                ASSERT_TRUE(decoder.Decode(block.data(), block.size(), output.data(), size)) << "block at " << at;
                decoded.insert(decoded.end(), output.begin(), output.end());
                at += size;
            } while (at < data.size());
            EXPECT_TRUE(decoded == data);
        }
    }
}

// Writes a stream bit by bit: values least significant bit first, prefix codes first bit first.
struct BitStream {
    Bytes bytes;
    unsigned used = 8;  // bits used in the last byte

    BitStream& Bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i, ++used) {
            if (used == 8) {
                bytes.push_back(0);
                used = 0;
            }
            bytes.back() |= ((value >> i) & 1) << used;
        }
        return *this;
    }
    BitStream& Code(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;) {
            Bits(code >> i, 1);
        }
        return *this;
    }
    BitStream& Stored(bool last, const std::string& data, uint16_t complement) {
        Bits(last, 1).Bits(0, 2);
        used = 8;
        Bits(static_cast<uint32_t>(data.size()), 16).Bits(complement, 16);
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    BitStream& Stored(bool last, const std::string& data) {
        return Stored(last, data, static_cast<uint16_t>(~data.size()));
    }
    // A symbol of the fixed literal/length code, and a distance symbol of the fixed distance code.
    BitStream& Fixed(unsigned symbol) {
        return symbol < 144   ? Code(0x30 + symbol, 8)
               : symbol < 256 ? Code(0x190 + symbol - 144, 9)
               : symbol < 280 ? Code(symbol - 256, 7)
                              : Code(0xC0 + symbol - 280, 8);
    }
    BitStream& FixedDistance(unsigned symbol) { return Code(symbol, 5); }
};

// A dynamic block's header: the code length code (lengths by symbol), then the code lengths sent as
// code-length symbols with their extra bits ({symbol, extra}).
struct Header {
    unsigned literals = 258, distances = 1;
    std::map<unsigned, unsigned> codeLengthCode = {{0, 2}, {1, 2}, {2, 2}, {18, 2}};
    std::vector<std::pair<unsigned, unsigned>> lengths = {{18, 86}, {2, 0}, {2, 0}, {18, 127},
                                                          {18, 8},  {2, 0}, {2, 0}, {1, 0}};
};

BitStream& Dynamic(BitStream& s, const Header& h) {
    static const unsigned kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    s.Bits(1, 1).Bits(2, 2).Bits(h.literals - 257, 5).Bits(h.distances - 1, 5).Bits(19 - 4, 4);
    unsigned lengthOf[19] = {}, count[8] = {}, next[8] = {}, codeOf[19] = {};
    for (const auto& symbol : h.codeLengthCode) {
        lengthOf[symbol.first] = symbol.second;
        count[symbol.second]++;
    }
    for (unsigned length = 1, code = 0; length < 8; ++length) {
        code = (code + (length > 1 ? count[length - 1] : 0)) << 1;
        next[length] = code;
    }
    for (unsigned symbol = 0; symbol < 19; ++symbol) {
        codeOf[symbol] = lengthOf[symbol] ? next[lengthOf[symbol]]++ : 0;
        s.Bits(lengthOf[kOrder[symbol]], 3);
    }
    for (const auto& l : h.lengths) {
        s.Code(codeOf[l.first], lengthOf[l.first]);
        s.Bits(l.second, l.first == 16 ? 2 : l.first == 17 ? 3 : l.first == 18 ? 7 : 0);
    }
    return s;
}

// "abbbb" with the default header's codes: 'a' 00, 'b' 01, end of block 10, length 3 11; distance 1 is 0
// (or 00, for a distance code of two-bit codes).
BitStream DynamicStream(const Header& h, unsigned distanceBits = 1) {
    BitStream s;
    return Dynamic(s, h).Code(0, 2).Code(1, 2).Code(3, 2).Code(0, distanceBits).Code(2, 2);
}

Header With(std::vector<std::pair<unsigned, unsigned>> lengths, unsigned distances = 1) {
    Header h;
    h.lengths = std::move(lengths);
    h.distances = distances;
    return h;
}

struct StreamCase {
    const char* name;
    Bytes stream;
    size_t outputSize;
    std::string history;
    const char* expected;  // null: refused
};

BitStream Fixed(std::initializer_list<unsigned> symbols) {
    BitStream s;
    s.Bits(1, 1).Bits(1, 2);
    for (unsigned symbol : symbols) {
        s.Fixed(symbol);
    }
    return s;
}

TEST(InflateTest, HandMadeStreamsGetZlibsVerdict) {
    Header bigLiterals, bigDistances, oversubscribedLengths, incompleteLengths, oneLengthCode, onlyEndOfBlock,
        crossing;
    bigLiterals.literals = 287;
    bigDistances.distances = 31;
    oversubscribedLengths.codeLengthCode = {{0, 1}, {1, 1}, {2, 1}, {18, 1}};
    incompleteLengths.codeLengthCode = {{0, 2}, {1, 2}, {2, 2}, {18, 3}};
    oneLengthCode.codeLengthCode = {{18, 1}};
    onlyEndOfBlock.literals = 257;
    onlyEndOfBlock.codeLengthCode = {{0, 2}, {1, 2}, {18, 1}};
    onlyEndOfBlock.lengths = {{18, 127}, {18, 107}, {1, 0}, {0, 0}};
    crossing = With({{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0}, {2, 0}, {16, 0}, {2, 0}}, 4);
    crossing.codeLengthCode = {{0, 2}, {1, 3}, {2, 2}, {18, 2}, {16, 3}};
    BitStream onlyEnd;
    Dynamic(onlyEnd, onlyEndOfBlock).Code(0, 1);
    BitStream noMatches;
    Dynamic(noMatches, With({{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0}, {2, 0}, {0, 0}}))
        .Code(0, 2).Code(1, 2).Code(2, 2);
    // Codes left unused: 'a' 00, end of block 01 (10 unused, 11 length 3).
    BitStream incompleteLiterals;
    Dynamic(incompleteLiterals, With({{18, 86}, {2, 0}, {0, 0}, {18, 127}, {18, 8}, {2, 0}, {2, 0}, {1, 0}}))
        .Code(0, 2).Code(1, 2);
    // Without the lengths past the end it would be "ab", no distance codes.
    BitStream repeatPastEnd;
    Dynamic(repeatPastEnd, With({{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0}, {2, 0}, {18, 0}}))
        .Code(0, 2).Code(1, 2).Code(2, 2);
    // 'a', 'b' and end of block of one bit each: 'b' (1), end of block (0) if the last code won.
    BitStream oversubscribedLiterals;
    Dynamic(oversubscribedLiterals, With({{18, 86}, {1, 0}, {1, 0}, {18, 127}, {18, 8}, {1, 0}, {0, 0}, {0, 0}}))
        .Code(1, 1).Code(0, 1);
    BitStream crossed;
    Dynamic(crossed, crossing).Code(0, 2).Code(1, 2).Code(3, 2).Code(0, 2).Code(2, 2);
    const Bytes valid = DynamicStream(Header()).bytes;
    Bytes truncated(valid.begin(), valid.begin() + 5), trailing = valid;
    trailing.insert(trailing.end(), {0xFF, 0x00, 0x13});
    Bytes storedShort = BitStream().Stored(true, "abc").bytes;
    storedShort.pop_back();

    const StreamCase cases[] = {
        // Valid, if unusual: accepted with the same bytes.
        {"single distance code of one bit", valid, 5, "", "abbbb"},
        {"no distance codes at all", noMatches.bytes, 2, "", "ab"},
        {"literal code of only the end of block", onlyEnd.bytes, 0, "", ""},
        {"repeat from the literal lengths into the distance lengths", crossed.bytes, 5, "", "abbbb"},
        {"bytes after the final block ignored", trailing, 5, "", "abbbb"},
        {"empty stored blocks", BitStream().Stored(false, "").Stored(false, "ab").Stored(true, "").bytes, 2, "", "ab"},
        {"match into the history", Fixed({'a', 257}).FixedDistance(2).Fixed(256).bytes, 4, "xy", "axya"},
        // Broken: refused.
        {"block type 3", BitStream().Bits(1, 1).Bits(3, 2).Bits(0, 16).bytes, 0, "", nullptr},
        {"stored length not complemented", BitStream().Stored(true, "abc", 0x1234).bytes, 3, "", nullptr},
        {"stored data ends early", storedShort, 3, "", nullptr},
        {"more output than the block has", BitStream().Stored(true, "abcde").bytes, 4, "", nullptr},
        {"less output than the block has", BitStream().Stored(true, "abc").bytes, 4, "", nullptr},
        {"literals past the output", Fixed({'a', 'b', 256}).bytes, 1, "", nullptr},
        {"no final block", BitStream().Stored(false, "abcd").bytes, 4, "", nullptr},
        {"fixed literal/length symbol 286", Fixed({'a', 286}).bytes, 1, "", nullptr},
        {"fixed distance symbol 30", Fixed({'a', 257}).FixedDistance(30).Fixed(256).bytes, 4, "", nullptr},
        {"distance before the folder's first byte", Fixed({'a', 257}).FixedDistance(1).Fixed(256).bytes, 4, "",
         nullptr},
        {"distance one byte beyond the history", Fixed({'a', 257}).FixedDistance(2).Fixed(256).bytes, 4, "x",
         nullptr},
        {"input ends before the end of block", Fixed({'a'}).bytes, 1, "", nullptr},
        {"input ends in a dynamic header", truncated, 5, "", nullptr},
        {"287 literal/length codes", DynamicStream(bigLiterals).bytes, 5, "", nullptr},
        {"31 distance codes", DynamicStream(bigDistances).bytes, 5, "", nullptr},
        {"code length code over-subscribed", DynamicStream(oversubscribedLengths).bytes, 5, "", nullptr},
        {"code length code incomplete", DynamicStream(incompleteLengths).bytes, 5, "", nullptr},
        {"code length code of one code", DynamicStream(oneLengthCode).bytes, 5, "", nullptr},
        {"repeat before the first length", DynamicStream(With({{16, 0}, {18, 83}, {2, 0}, {2, 0}, {18, 127},
                                                               {18, 8}, {2, 0}, {2, 0}, {1, 0}})).bytes, 5, "", nullptr},
        {"repeat past the last length", repeatPastEnd.bytes, 2, "", nullptr},
        {"no end-of-block code", DynamicStream(With({{18, 86}, {2, 0}, {2, 0}, {2, 0}, {18, 127}, {18, 7},
                                                     {0, 0}, {2, 0}, {1, 0}})).bytes, 5, "", nullptr},
        {"literal code over-subscribed", oversubscribedLiterals.bytes, 1, "", nullptr},
        {"literal code incomplete", incompleteLiterals.bytes, 1, "", nullptr},
        {"distance code incomplete", DynamicStream(With({{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0},
                                                         {2, 0}, {2, 0}, {2, 0}, {0, 0}}, 3), 2).bytes, 5, "", nullptr},
        {"distance code over-subscribed", DynamicStream(With({{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0},
                                                              {2, 0}, {1, 0}, {1, 0}, {1, 0}}, 3)).bytes, 5, "", nullptr},
    };
    cab::Inflater ours;
    cab::ZlibInflater zlib;
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t history = c.history.size();
        Bytes window(c.history.begin(), c.history.end()), zlibOutput(c.outputSize + 1);
        window.resize(history + c.outputSize + 1);  // one byte more: a write past the output would show
        const bool oursAccepts = ours.Inflate(c.stream.data(), c.stream.size(), window.data() + history,
                                              c.outputSize, history);
        const bool zlibAccepts = zlib.Inflate(c.stream.data(), c.stream.size(), zlibOutput.data(), c.outputSize,
                                              reinterpret_cast<const uint8_t*>(c.history.data()), history);
        EXPECT_EQ(zlibAccepts, c.expected != nullptr) << "the case is not what zlib thinks";
        ASSERT_EQ(oursAccepts, c.expected != nullptr);
        EXPECT_EQ(window.back(), 0) << "written past the output";
        if (c.expected != nullptr) {
            EXPECT_EQ(std::string(window.begin() + history, window.end() - 1), c.expected);
        }
    }
}

// Every proper prefix of a stream is refused, as zlib refuses it: the decoder never makes up the bits
// after the input's end.
TEST(InflateTest, EveryTruncationIsRefused) {
    const Bytes data = cabtest::TextBytes(5000, 7);
    const Bytes block = ZlibBlock(data.data(), 0, data.size(), {"level 6", 6, Z_DEFAULT_STRATEGY, 0});
    cab::Inflater ours;
    Bytes output(data.size());
    ASSERT_TRUE(ours.Inflate(block.data() + 2, block.size() - 2, output.data(), output.size(), 0));
    EXPECT_TRUE(output == data);
    for (size_t size = 0; size + 2 < block.size(); ++size) {
        EXPECT_FALSE(ours.Inflate(block.data() + 2, size, output.data(), output.size(), 0)) << size << " bytes";
    }
}

TEST(InflateTest, MszipBlocksNeedTheirSignatureAndAtMost32KiB) {
    const Bytes data = cabtest::TextBytes(kBlock + 1, 8);
    const Bytes block = ZlibBlock(data.data(), 0, kBlock, {"level 6", 6, Z_DEFAULT_STRATEGY, 0});
    Bytes output(kBlock + 1), noSignature = block;
    noSignature[1] = 'X';
    cab::MszipDecompressor decoder;
    EXPECT_FALSE(decoder.Decode(noSignature.data(), noSignature.size(), output.data(), kBlock));
    EXPECT_FALSE(decoder.Decode(block.data(), 1, output.data(), 0));
    const Bytes tooLong = ZlibBlock(data.data(), 0, kBlock + 1, {"level 6", 6, Z_DEFAULT_STRATEGY, 0});
    EXPECT_FALSE(decoder.Decode(tooLong.data(), tooLong.size(), output.data(), kBlock + 1));
    // A block refused half-way leaves the history as it was: the block after the good one still decodes.
    decoder.StartFolder();
    ASSERT_TRUE(decoder.Decode(block.data(), block.size(), output.data(), kBlock));
    const Bytes last = ZlibBlock(data.data(), kBlock, 1, {"level 6", 6, Z_DEFAULT_STRATEGY, 0});
    EXPECT_FALSE(decoder.Decode(block.data(), block.size(), output.data(), kBlock - 1));
    ASSERT_TRUE(decoder.Decode(last.data(), last.size(), output.data(), 1));
    EXPECT_EQ(output[0], data[kBlock]);
}

}  // namespace
