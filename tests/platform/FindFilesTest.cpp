#include "platform/FindFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/FileInfo.h"
#include "platform/Guid.h"
#include "tests/TestSupport.h"

using platform::WildcardMatch;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

TEST(WildcardTest, MatchesAsWindowsMatchesFileNames) {
    EXPECT_TRUE(WildcardMatch("*.txt", "readme.TXT"));
    EXPECT_TRUE(WildcardMatch("*.txt", "a.b.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "readme.txt.bak"));
    EXPECT_FALSE(WildcardMatch("*.txt", "readme.tx"));
    EXPECT_TRUE(WildcardMatch("a?c.*", "abc.dll"));
    EXPECT_FALSE(WildcardMatch("a?c.*", "ac.dll"));
    EXPECT_TRUE(WildcardMatch("*.*", "Makefile"));
    EXPECT_TRUE(WildcardMatch("*", ".hidden"));
    EXPECT_TRUE(WildcardMatch("data.*", "data")) << "\".*\" also takes names without extension";
    EXPECT_TRUE(WildcardMatch("*.", "Makefile"));
    EXPECT_FALSE(WildcardMatch("*.", "a.txt"));
    EXPECT_TRUE(WildcardMatch("*a*b*c", "xxaxxbxxc"));
    EXPECT_FALSE(WildcardMatch("*a*b*c", "xxaxxcxxb"));
    EXPECT_TRUE(WildcardMatch("Thumbs.db", "thumbs.DB"));
}

TEST(WildcardTest, LongPatternsStayCheap) {
    const std::string name(4000, 'a');
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", name));
}

TEST(FindFilesTest, ListsMatchingFilesAndFolders) {
    TempFolder folder;
    WriteBytes(folder / "one.txt", {1});
    WriteBytes(folder / "Two.TXT", {2});
    WriteBytes(folder / "three.ini", {3});
    platform::FileInfo info;
    ASSERT_TRUE(platform::GetFileInfo(folder / "one.txt", &info));
    ASSERT_TRUE(platform::GetFileInfo(folder / "Two.TXT", &info));
    ASSERT_TRUE(platform::CreateFolder(folder / "sub.txt"));
    std::vector<platform::FoundEntry> found = platform::FindFiles(folder / "*.txt");
    std::vector<std::string> names;
    for (const auto& entry : found) {
        names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Two.TXT", "one.txt", "sub.txt\\"}));
    EXPECT_TRUE(platform::FindFiles(folder / "missing\\*.*").empty());
}

TEST(FindFilesTest, SearchesTheRootOfADrive) {
    // Z: is the root of the Linux file system, natively and under Wine alike.
    const std::vector<platform::FoundEntry> found = platform::FindFiles("Z:\\*.*");
    EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                            [](const platform::FoundEntry& e) { return e.name == "usr" && e.isFolder; }));
}

TEST(FileInfoTest, SizeAndTimeOfAFileAndNothingForAFolder) {
    TempFolder folder;
    WriteBytes(folder / "f.bin", std::vector<uint8_t>(1234, 7));
    platform::FileInfo info;
    ASSERT_TRUE(platform::GetFileInfo(folder / "f.bin", &info));
    EXPECT_EQ(info.size, 1234u);
    // 2020-01-01 is 132223104000000000 in FILETIME units; the file was written after that.
    EXPECT_GT(info.lastWriteTime, 132223104000000000ull);
    EXPECT_FALSE(platform::GetFileInfo(folder.Path(), &info));
    EXPECT_FALSE(platform::GetFileInfo(folder / "missing", &info));
}

TEST(GuidTest, NewGuidsDifferAndPrintInTheSystemsFormat) {
    const platform::Guid a = platform::NewGuid();
    const platform::Guid b = platform::NewGuid();
    EXPECT_NE(a, b);
    EXPECT_FALSE(a.IsNull());
    platform::Guid known;
    const uint8_t bytes[16] = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xEF, 0xDE,
                               0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    std::copy(bytes, bytes + 16, known.bytes);
    EXPECT_EQ(platform::GuidText(known), "{12345678-9ABC-deef-0123-456789ABCDEF}");
}

}  // namespace
