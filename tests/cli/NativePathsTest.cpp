#include "cli/NativePaths.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(NativePathsTest, QuotedPathsOfTheLinuxFileSystemAreShownAsPosixPaths) {
    struct Case {
        const char* line;
        const char* shown;
    };
    const Case cases[] = {
        // Below the working folder: relative, as typed in the working folder.
        {"error: Cannot find the file \"Z:\\work\\p\\missing\\a.txt\"!", "error: Cannot find the file \"missing/a.txt\"!"},
        // Elsewhere: absolute.
        {"error: Cannot find the file \"Z:\\opt\\TSS.dat\"!", "error: Cannot find the file \"/opt/TSS.dat\"!"},
        // A folder that only starts like the working folder is not below it.
        {"\"Z:\\work\\project\\x\"", "\"/work/project/x\""},
        // The working folder itself stays absolute.
        {"\"Z:\\work\\p\"", "\"/work/p\""},
        // Two paths in one line, and a lower-case drive letter.
        {"\"z:\\work\\p\\a\" and \"Z:\\b\"", "\"a\" and \"/b\""},
        // Windows paths of the target system and text that is not a path stay as they are.
        {"\"C:\\Program Files\\X\" \"Target Folder\\a.txt\"", "\"C:\\Program Files\\X\" \"Target Folder\\a.txt\""},
        {"no quotes at all: Z:\\work\\p\\a", "no quotes at all: Z:\\work\\p\\a"},
        {"an unclosed \"Z:\\work\\p\\a", "an unclosed \"Z:\\work\\p\\a"},
        {"\"Z:\\\"", "\"/\""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cli::ShowNativePaths(c.line, "/work/p"), c.shown) << c.line;
    }
    EXPECT_EQ(cli::ShowNativePaths("\"Z:\\work\\a\"", "/"), "\"/work/a\"");
}

TEST(NativePathsTest, TheStreamPassesWholeLinesAndTheRestAtAFlush) {
    std::ostringstream target;
    {
        cli::NativePathStream out(target);
        out << "first \"Z:\\";
        EXPECT_EQ(target.str(), "");  // half a line is held back, so that a path is never cut
        out << "opt\\a\"\nsecond \"Z:\\opt\\b\"";
        EXPECT_EQ(target.str(), "first \"/opt/a\"\n");
        out.flush();
        EXPECT_EQ(target.str(), "first \"/opt/a\"\nsecond \"/opt/b\"");
        out << "\nlast \"Z:\\opt\\c\"";
    }
    EXPECT_EQ(target.str(), "first \"/opt/a\"\nsecond \"/opt/b\"\nlast \"/opt/c\"");
}

}  // namespace
