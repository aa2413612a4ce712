#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "platform/File.h"
#include "platform/FindFiles.h"
#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/Paths.h"
#include "platform/RawFile.h"
#include "platform/TSException.h"
#include "tests/TestSupport.h"

using platform::File;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

TEST(FileTest, WritesAcrossBufferBoundariesAndPatchesEarlierBytes) {
    TempFolder folder;
    const std::string path = folder / "big.bin";
    std::vector<uint8_t> expected = Pattern(300 * 1024);
    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Replace));
    // Small and large writes mixed, so that some cross the buffer and some bypass it.
    size_t at = 0;
    for (size_t piece : {1u, 3u, 70000u, 9u, 100000u, 5u}) {
        file.Write(expected.data() + at, piece);
        at += piece;
    }
    file.Write(expected.data() + at, expected.size() - at);
    // Patches far behind the buffer (already flushed) and inside it (still pending).
    const uint8_t patch[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    for (size_t pos : {size_t{10}, size_t{65535}, expected.size() - 6}) {
        file.Seek(pos);
        file.Write(patch, 4);
        std::copy(patch, patch + 4, expected.begin() + static_cast<long>(pos));
    }
    file.Seek(expected.size());
    EXPECT_EQ(file.Size(), expected.size());
    file.Close();
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(FileTest, ReadsAtAnyPositionAndRefusesToReadPastTheEnd) {
    TempFolder folder;
    const std::string path = folder / "data.bin";
    std::vector<uint8_t> content = Pattern(200 * 1024);
    WriteBytes(path, content);

    File file;
    ASSERT_TRUE(file.Open(path, File::Mode::Read));
    EXPECT_EQ(file.Size(), content.size());
    for (size_t pos : {size_t{0}, size_t{150000}, size_t{65530}, size_t{3}, content.size() - 8}) {
        uint8_t got[8];
        file.Seek(pos);
        file.Read(got, sizeof got);
        EXPECT_TRUE(std::equal(got, got + 8, content.begin() + static_cast<long>(pos))) << "at " << pos;
    }
    uint8_t byte;
    file.Seek(content.size());
    EXPECT_THROW(file.Read(&byte, 1), CTSException);
    file.Seek(content.size() + 100);
    EXPECT_THROW(file.Read(&byte, 1), CTSException);
}

TEST(FileTest, FailedOrUnfinishedReplaceLeavesTheOldFileIntact) {
    TempFolder folder;
    const std::string path = folder / "project.tsp";
    const std::vector<uint8_t> original = Pattern(1000);
    WriteBytes(path, original);
    {
        File file;
        ASSERT_TRUE(file.Open(path, File::Mode::Replace));
        file.Write("partial", 7);
        // Destroyed without Close: the save did not finish.
    }
    EXPECT_EQ(ReadBytes(path), original);
    const std::vector<platform::FoundEntry> left = platform::FindFiles(folder / "*");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "project.tsp");

    File abandoned;
    ASSERT_TRUE(abandoned.Open(path, File::Mode::Replace));
    abandoned.Write("x", 1);
    abandoned.Abandon();
    EXPECT_EQ(ReadBytes(path), original);
}

TEST(FileTest, MissingFilesAndFoldersAreReportedWithTheirName) {
    TempFolder folder;
    File reader;
    EXPECT_FALSE(reader.Open(folder / "absent.bin", File::Mode::Read));
    EXPECT_FALSE(reader.OpenError().empty());
    EXPECT_FALSE(reader.Open(folder.Path(), File::Mode::Read)) << "a folder is not a file";

    File writer;
    const std::string inMissingFolder = folder / "no-such-folder\\out.bin";
    EXPECT_FALSE(writer.Open(inMissingFolder, File::Mode::Replace));
    try {
        writer.Write("x", 1);
        FAIL() << "a write to a file that could not be created must fail";
    } catch (const CTSException& e) {
        EXPECT_NE(e.Message().find("out.bin"), std::string::npos) << e.Message();
        EXPECT_EQ(e.Message().back(), '!');
    }
}

TEST(FileTest, ReadAllReturnsTheWholeContentOrNothing) {
    TempFolder folder;
    std::vector<uint8_t> content;
    EXPECT_FALSE(File::ReadAll(folder / "absent", &content));
    WriteBytes(folder / "empty", {});
    EXPECT_TRUE(File::ReadAll(folder / "empty", &content));
    EXPECT_TRUE(content.empty());
    WriteBytes(folder / "some", Pattern(70000));
    EXPECT_TRUE(File::ReadAll(folder / "some", &content));
    EXPECT_EQ(content, Pattern(70000));
}

// A new file is created exclusively: whatever is at the path, a file or a link, is neither opened nor
// followed, and a work file is always one that nothing else had.
TEST(FileTest, NewFilesAreCreatedExclusively) {
    TempFolder folder;
    const std::string other = folder / "other.txt";
    WriteBytes(other, Pattern(10));
    std::string error;
    bool exists = false;
    EXPECT_EQ(platform::raw::CreateNew(other, &exists, &error), platform::raw::kNoHandle);
    EXPECT_TRUE(exists);
#ifndef _WIN32
    const std::string link = folder / "link.txt";
    ASSERT_EQ(symlink(platform::ToNativePath(other).c_str(), platform::ToNativePath(link).c_str()), 0);
    EXPECT_EQ(platform::raw::CreateNew(link, &exists, &error), platform::raw::kNoHandle);
    EXPECT_TRUE(exists);
#endif
    EXPECT_EQ(ReadBytes(other), Pattern(10));

    std::set<std::string> paths;
    for (int n = 0; n < 20; ++n) {
        std::string path;
        platform::raw::Handle handle = platform::raw::CreateWorkFile(other, &path, &error);
        ASSERT_NE(handle, platform::raw::kNoHandle) << error;
        platform::raw::Close(handle, &error);
        EXPECT_EQ(platform::FileTitle(path).rfind("other.txt.", 0), 0u) << path;
        paths.insert(path);
    }
    EXPECT_EQ(paths.size(), 20u);
    EXPECT_EQ(ReadBytes(other), Pattern(10));
}

}  // namespace
