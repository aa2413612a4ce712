#include "tests/builder/BuilderTestSupport.h"
#include "builder/MediaBuild.h"
#include "platform/IconFile.h"

using testing_support::BuilderFixture;
using testing_support::ReadBytes;

namespace {

// An .ico file of images of the given sizes (bytes), each image filled with its number.
std::vector<uint8_t> Ico(const std::vector<uint32_t>& sizes) {
    std::vector<uint8_t> ico = {0, 0, 1, 0, static_cast<uint8_t>(sizes.size()), 0};
    uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const uint8_t entry[16] = {static_cast<uint8_t>(16 * (i + 1)), static_cast<uint8_t>(16 * (i + 1)), 0, 0, 1, 0,
                                   32, 0, static_cast<uint8_t>(sizes[i]), static_cast<uint8_t>(sizes[i] >> 8), 0, 0,
                                   static_cast<uint8_t>(offset), static_cast<uint8_t>(offset >> 8), 0, 0};
        ico.insert(ico.end(), entry, entry + 16);
        offset += sizes[i];
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        ico.insert(ico.end(), sizes[i], static_cast<uint8_t>(i + 1));
    }
    return ico;
}

TEST(IconFileTest, TakesTheFirstImageOfAnIcoFile) {
    const auto ico = Ico({40, 70});
    std::vector<uint8_t> one;
    ASSERT_TRUE(platform::ReadIconImage(ico.data(), ico.size(), 0, &one));
    ASSERT_EQ(one.size(), 6u + 16u + 40u);
    EXPECT_EQ(one[4], 1);   // one image
    EXPECT_EQ(one[6], 16);  // its width
    EXPECT_EQ(one[18], 22); // its offset
    EXPECT_EQ(std::vector<uint8_t>(one.begin() + 22, one.end()), std::vector<uint8_t>(40, 1));
}

TEST(IconFileTest, RefusesDamagedFiles) {
    std::vector<uint8_t> one;
    auto ico = Ico({40});
    ico.resize(ico.size() - 1);  // the image runs past the end
    EXPECT_FALSE(platform::ReadIconImage(ico.data(), ico.size(), 0, &one));
    ico = Ico({40});
    ico[14] = 0xFF;  // a size of megabytes
    ico[15] = 0xFF;
    EXPECT_FALSE(platform::ReadIconImage(ico.data(), ico.size(), 0, &one));
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', '!', 0, 0};
    EXPECT_FALSE(platform::ReadIconImage(text.data(), text.size(), 0, &one));
    // A PE file cut short anywhere gives no icon and reads nothing outside it.
    std::vector<uint8_t> pe(512, 0);
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[0x3C] = 0xF0;
    pe[0x3D] = 0xFF;
    EXPECT_FALSE(platform::ReadIconImage(pe.data(), pe.size(), 0, &one));
    EXPECT_TRUE(one.empty());
}

TEST(IconFileTest, TakesAnIconGroupOfAPeFile) {
    const std::string notepad = "Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows\\notepad.exe";
    if (!platform::FileExists(notepad)) {
        GTEST_SKIP() << "no Wine notepad.exe here";
    }
    std::vector<uint8_t> one;
    ASSERT_TRUE(platform::ReadIconImage(notepad, 0, &one));
    ASSERT_GT(one.size(), 22u);
    EXPECT_EQ(one[2], 1);
    EXPECT_EQ(one[4], 1);
    EXPECT_EQ(one[6], 32);  // the large icon the shell shows
    const uint32_t size = one[14] | one[15] << 8 | one[16] << 16;
    EXPECT_EQ(one.size(), 22u + size);
    const auto bytes = ReadBytes(notepad);
    for (int cut : {64, 1024, 4096}) {
        std::vector<uint8_t> out;
        platform::ReadIconImage(bytes.data(), bytes.size() - static_cast<size_t>(cut), 0, &out);  // no crash
    }
    std::vector<uint8_t> none;
    EXPECT_FALSE(platform::ReadIconImage(notepad, 500, &none));
}

class AutorunIconTest : public BuilderFixture {};

TEST_F(AutorunIconTest, CdIconIsWrittenAndNamed) {
    main->files.Add(AddFile("app.exe", {1}, bin));
    project.cdIconFile = Source("cd.ico", Ico({40, 70}));
    project.cdIconIndex = 3;
    CMediaBuild build;
    ASSERT_TRUE(build.Build(project, lines, BuildOptions{output, rawSetup, {}}));
    const std::string cd1 = output + "\\CD\\CD1";
    const auto autorun = ReadBytes(cd1 + "\\autorun.inf");
    EXPECT_EQ(std::string(autorun.begin(), autorun.end()), "[autorun]\r\nopen=Setup.exe\r\nicon=CDIcon.ico,0\r\n");
    const auto icon = ReadBytes(cd1 + "\\CDIcon.ico");
    EXPECT_EQ(icon.size(), 62u);
    EXPECT_EQ(build.FirstDiskBytes(),
              int64_t(ReadBytes(rawSetup).size() + ReadBytes(cd1 + "\\tsdb.dat").size() + icon.size() + autorun.size()));
}

}  // namespace
