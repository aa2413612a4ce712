#include "platform/Paths.h"

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

TEST(PathsTest, FileTitleIsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(platform::FileTitle("C:\\Proj\\img\\s.bmp"), "s.bmp");
    EXPECT_EQ(platform::FileTitle("s.bmp"), "s.bmp");
    EXPECT_EQ(platform::FileTitle("C:\\Proj\\"), "");
    EXPECT_EQ(platform::FileTitle(""), "");
}

TEST(PathsTest, FolderPartIsTheTextBeforeTheLastBackslash) {
    EXPECT_EQ(platform::FolderPart("C:\\Proj\\img\\s.bmp"), "C:\\Proj\\img");
    EXPECT_EQ(platform::FolderPart("C:\\s.bmp"), "C:");
    EXPECT_EQ(platform::FolderPart("C:\\Proj\\"), "C:\\Proj");
    EXPECT_EQ(platform::FolderPart("s.bmp"), "");
    EXPECT_EQ(platform::FolderPart(""), "");
}

TEST(PathsTest, ModelPathsAreAbsoluteWindowsPathsThatMapBackToTheSameFile) {
    testing_support::TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    EXPECT_EQ(folder.Path()[1], ':');
    EXPECT_EQ(folder.Path()[2], '\\');
    const std::string file = folder / "x.bin";
    testing_support::WriteBytes(platform::ToModelPath(platform::ToNativePath(file)), {1, 2, 3});
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_TRUE(platform::RemoveFile(file));
    EXPECT_FALSE(platform::FileExists(file));
}

#ifndef _WIN32
TEST(PathsTest, DriveZIsTheRootOfTheLinuxFileSystem) {
    EXPECT_EQ(platform::ToNativePath("Z:\\home\\u\\p\\a.tsp"), "/home/u/p/a.tsp");
    EXPECT_EQ(platform::ToNativePath("z:\\tmp"), "/tmp");
    EXPECT_EQ(platform::ToModelPath("/home/u/p/a.tsp"), "Z:\\home\\u\\p\\a.tsp");
    EXPECT_EQ(platform::ToModelPath("C:\\x"), "C:\\x");
}

TEST(PathsTest, RelativeLinuxPathsAreTakenAgainstTheCurrentFolder) {
    std::string model = platform::ToModelPath("sub/a.tsp");
    EXPECT_EQ(model.substr(0, 3), "Z:\\");
    EXPECT_EQ(model.substr(model.size() - 10), "\\sub\\a.tsp");
}
#endif

}  // namespace
