// Formatting into fixed buffers: the same text on every system, cut to fit and always terminated (the
// Windows runtime's formatter, used there, terminates nothing that fills the buffer).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Format.h"

namespace {

TEST(FormatTo, GivesTheSameTextsOnEverySystem) {
    char text[64];
    platform::FormatTo(text, sizeof text, "%04d-%02d-%02u %s", 2026, 7, 3u, "done");
    EXPECT_STREQ(text, "2026-07-03 done");
    platform::FormatTo(text, sizeof text, "%.1f MB", 1536.0 / 1024.0);
    EXPECT_STREQ(text, "1.5 MB");
    platform::FormatTo(text, sizeof text, "Service Pack %u", 3u);
    EXPECT_STREQ(text, "Service Pack 3");
}

TEST(FormatTo, CutsATextThatDoesNotFitAndTerminatesIt) {
    struct Case {
        size_t size;
        const char* expected;
    };
    const Case cases[] = {{1, ""}, {4, "abc"}, {8, "abcdefg"}, {9, "abcdefgh"}, {10, "abcdefgh"}};
    for (const Case& c : cases) {
        char text[16];
        std::memset(text, 'x', sizeof text);
        platform::FormatTo(text, c.size, "%s", "abcdefgh");
        EXPECT_STREQ(text, c.expected) << "buffer of " << c.size;
        EXPECT_EQ(text[c.size], 'x') << "written past a buffer of " << c.size;
    }
}

}  // namespace
