#include <gtest/gtest.h>
#include <windows.h>

#include "platform/NoCase.h"

namespace {

// The system's table agrees with the portable one that the native side uses, byte for byte, on a Western
// machine; on any machine ASCII folds the same and CharUpperA agrees with each single-byte folding.
TEST(NoCaseWin, SystemCodePageMatchesThePortableRules) {
    const nocase::CodePage& system = nocase::System();
    const nocase::CodePage& western = nocase::Western();
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        if (GetACP() == 1252) {
            EXPECT_EQ(system.upper[b], western.upper[b]);
            EXPECT_EQ(system.lower[b], western.lower[b]);
            EXPECT_FALSE(system.lead[b]);
        } else if (b < 0x80) {
            EXPECT_EQ(system.upper[b], western.upper[b]);
        }
        if (!system.lead[b] && system.upper[b] != b) {
            char c[2] = {static_cast<char>(b), '\0'};
            CharUpperA(c);
            EXPECT_EQ(static_cast<unsigned char>(c[0]), system.upper[b]);
        }
    }
    EXPECT_TRUE(nocase::Equal("Windows System Folder", "WINDOWS system folder"));
}

}  // namespace
