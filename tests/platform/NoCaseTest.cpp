#include <gtest/gtest.h>

#include "platform/NoCase.h"

namespace {

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC; a second byte may be an ASCII letter or a backslash.
const nocase::CodePage& Japanese() {
    static const nocase::CodePage page = nocase::DoubleByte({{0x81, 0x9F}, {0xE0, 0xFC}});
    return page;
}

struct Case {
    const char* a;
    const char* b;
    bool japanese;
    bool equal;
    bool aStartsWithB;
    bool aEndsWithB;
};

TEST(NoCase, WholeNamesPrefixesAndSuffixes) {
    const Case cases[] = {
        {"Program Files", "PROGRAM FILES", false, true, true, true},
        {"bin", "BIN", false, true, true, true},
        {"bin", "bins", false, false, false, false},
        {"Setup.EXE", "exe", false, false, false, true},
        {"Setup.exe", "SETUP", false, false, true, false},
        {"", "", false, true, true, true},
        {"abc", "", false, false, true, true},
        // Latin-1 letters fold as the Western code page folds them; the signs do not.
        {"\xE9t\xE9", "\xC9T\xC9", false, true, true, true},        // ete with accents
        {"\xFF", "\x9F", false, true, true, true},                  // y with diaeresis
        {"\x9A\x9C\x9E", "\x8A\x8C\x8E", false, true, true, true},  // s caron, oe, z caron
        {"\xF7", "\xD7", false, false, false, false},               // division and multiplication
        {"stra\xDF"
         "e",
         "STRASSE", false, false, false, false},  // sharp s has no upper case
        // In a double-byte code page the second byte of a character is never folded: 0x83 0x61 and
        // 0x83 0x41 are two katakana, not one in two cases.
        {"\x83\x61", "\x83\x41", true, false, false, false},
        {"\x83\x61z", "\x83\x61Z", true, true, true, true},
        {"\x82\xA0x.TXT", ".txt", true, false, false, true},
        // A suffix that begins on the second byte of a character does not match, though its bytes do.
        {"\x83\x5C", "\\", true, false, false, false},
        {"\x83\x5C", "\x83", true, false, false, false},
        // A byte above 0x7F has no other case in a double-byte code page.
        {"\xE9", "\xC9", true, false, false, false},
    };
    for (const Case& c : cases) {
        const nocase::CodePage& page = c.japanese ? Japanese() : nocase::Western();
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(nocase::Equal(c.a, c.b, page), c.equal);
        EXPECT_EQ(nocase::Equal(c.b, c.a, page), c.equal);
        EXPECT_EQ(nocase::Compare(c.a, c.b, page) == 0, c.equal);
        EXPECT_EQ(nocase::StartsWith(c.a, c.b, page), c.aStartsWithB);
        EXPECT_EQ(nocase::EndsWith(c.a, c.b, page), c.aEndsWithB);
    }
}

TEST(NoCase, OrderIgnoresCaseAndIsConsistent) {
    EXPECT_LT(nocase::Compare("alpha", "BETA"), 0);
    EXPECT_GT(nocase::Compare("Gamma", "beta"), 0);
    EXPECT_LT(nocase::Compare("abc", "ABCD"), 0);
    EXPECT_EQ(nocase::Compare("MiXeD", "mixed"), 0);
}

TEST(NoCase, UpperAndLowerKeepDoubleByteCharacters) {
    EXPECT_EQ(nocase::Upper("Target Folder", nocase::Western()), "TARGET FOLDER");
    EXPECT_EQ(nocase::Lower("<Source Folder>", nocase::Western()), "<source folder>");
    EXPECT_EQ(nocase::Lower("\xC9T\xC9", nocase::Western()), "\xE9t\xE9");
    EXPECT_EQ(nocase::Lower("A\x83\x41"
                            "B",
                            Japanese()),
              "a\x83\x41"
              "b");
    EXPECT_EQ(nocase::Upper("a\x83\x61"
                            "b",
                            Japanese()),
              "A\x83\x61"
              "B");
    // A lead byte at the very end stands alone and is kept.
    EXPECT_EQ(nocase::Upper("a\x83", Japanese()), "A\x83");
}

}  // namespace
