// The engine through its FCI/FDI interface: round trips, cabinet sets and their layout, and the same
// bytes whatever the number of compression threads.
#include <gtest/gtest.h>

#include <cstring>

#include "cabinet/CabFormat.h"
#include "platform/File.h"
#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"

using cabtest::InputFile;
using testing_support::TempFolder;

namespace {

// Sizes around the block size and across several blocks, empty files, text and noise.
std::vector<InputFile> MixedFiles() {
    return {
        {"empty.txt", {}},
        {"one.bin", cabtest::RandomBytes(1, 1)},
        {"block.bin", cabtest::RandomBytes(32768, 2)},
        {"block-plus.txt", cabtest::TextBytes(32769, 3)},
        {"dir\\text.txt", cabtest::TextBytes(250000, 4)},
        {"noise.bin", cabtest::RandomBytes(180000, 5)},
        {"empty2", {}},
        {"dir\\sub\\last.txt", cabtest::TextBytes(70001, 6)},
    };
}

std::map<std::string, std::vector<uint8_t>> AsMap(const std::vector<InputFile>& files) {
    std::map<std::string, std::vector<uint8_t>> map;
    for (const InputFile& f : files) {
        map[f.name] = f.content;
    }
    return map;
}

class FileSource : public cab::format::Source {
public:
    explicit FileSource(const std::string& path) : bytes_(cabtest::ReadFile(path)) {}
    bool ReadAt(uint64_t pos, void* data, size_t size) override {
        if (pos > bytes_.size() || size > bytes_.size() - pos) return false;
        std::memcpy(data, bytes_.data() + pos, size);
        return true;
    }
    uint64_t Size() const override { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

cab::format::Cabinet Parse(const std::string& path) {
    FileSource source(path);
    cab::format::Cabinet cabinet;
    EXPECT_EQ(cab::format::ParseCabinet(source, &cabinet), 0) << path;
    return cabinet;
}

TEST(Engine, RoundTripOfOneCabinetKeepsEveryByte) {
    TempFolder temp;
    auto files = MixedFiles();
    auto written = cabtest::WriteSet(temp.Path(), files, {});
    ASSERT_EQ(written.size(), 1u);
    cabtest::ExtractResult result = cabtest::Extract(temp.Path(), "set1.cab");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.files, AsMap(files));
}

TEST(Engine, StoredFoldersRoundTripToo) {
    TempFolder temp;
    auto files = MixedFiles();
    cabtest::WriteOptions options;
    options.type = cab::tcompTYPE_NONE;
    cabtest::WriteSet(temp.Path(), files, options);
    cab::format::Cabinet cabinet = Parse(temp / "set1.cab");
    EXPECT_EQ(cabinet.folders[0].typeCompress, cab::tcompTYPE_NONE);
    cabtest::ExtractResult result = cabtest::Extract(temp.Path(), "set1.cab");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.files, AsMap(files));
}

TEST(Engine, SameBytesWhateverTheNumberOfThreads) {
    TempFolder one, four;
    auto files = MixedFiles();
    cabtest::WriteOptions options;
    options.limit = 120000;
    options.threads = 1;
    auto a = cabtest::WriteSet(one.Path(), files, options);
    options.threads = 4;
    auto b = cabtest::WriteSet(four.Path(), files, options);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 2u);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(cabtest::ReadFile(a[i]), cabtest::ReadFile(b[i])) << "cabinet " << i + 1;
    }
}

// Sets cut at many different sizes: every cabinet within its limit and parseable, the whole set
// extracts to the input, and each file not continued from an earlier cabinet lies in a folder that
// begins in its own cabinet.
TEST(Engine, SetsOfManySizesKeepLimitsAndLayout) {
    auto files = MixedFiles();
    for (uint32_t limit : {40000u, 52000u, 66000u, 99999u, 123457u, 150000u}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        TempFolder temp;
        cabtest::WriteOptions options;
        options.limit = limit;
        options.threads = 2;
        options.folderThreshold = 60000;
        auto written = cabtest::WriteSet(temp.Path(), files, options);
        ASSERT_GE(written.size(), 2u);
        for (size_t i = 0; i < written.size(); ++i) {
            std::vector<uint8_t> bytes = cabtest::ReadFile(written[i]);
            EXPECT_LE(bytes.size(), limit) << written[i];
            cab::format::Cabinet cabinet = Parse(written[i]);
            EXPECT_EQ(cabinet.header.iCabinet, i);
            EXPECT_EQ((cabinet.header.flags & cab::format::kFlagPrevCabinet) != 0, i > 0);
            EXPECT_EQ((cabinet.header.flags & cab::format::kFlagNextCabinet) != 0, i + 1 < written.size());
            bool folderZeroContinued = false;
            for (const auto& f : cabinet.files) {
                folderZeroContinued |= cabinet.ContinuesFromPrevious(f);
            }
            for (const auto& f : cabinet.files) {
                if (folderZeroContinued && cabinet.FolderOf(f) == 0) {
                    EXPECT_TRUE(cabinet.ContinuesFromPrevious(f)) << f.name << " begins in a continued folder";
                }
            }
        }
        EXPECT_EQ(cabtest::ExtractSet(temp.Path(), written.size()), AsMap(files));
    }
}

TEST(Engine, ACabinetReadAloneSkipsWhatBeganEarlierAndGivesTheRest) {
    TempFolder temp;
    std::vector<InputFile> files = {{"a.bin", cabtest::RandomBytes(90000, 1)},
                                    {"b.txt", cabtest::TextBytes(400000, 2)},
                                    {"c.bin", cabtest::RandomBytes(20000, 3)}};
    cabtest::WriteOptions options;
    options.limit = 60000;
    auto written = cabtest::WriteSet(temp.Path(), files, options);
    ASSERT_GE(written.size(), 3u);
    // Cabinet 2 alone: a.bin began in cabinet 1 and is only reported as a partial file.
    TempFolder alone;
    cabtest::WriteFile(alone / "set2.cab", cabtest::ReadFile(written[1]));
    cabtest::ExtractResult result = cabtest::Extract(alone.Path(), "set2.cab");
    cab::format::Cabinet second = Parse(written[1]);
    ASSERT_TRUE(second.ContinuesFromPrevious(second.files[0]));
    bool reportedPartial = false;
    for (const auto& n : result.notifications) {
        reportedPartial |= n.type == cab::fdintPARTIAL_FILE && n.name == second.files[0].name;
    }
    EXPECT_TRUE(reportedPartial);
    EXPECT_EQ(result.files.count(second.files[0].name), 0u);
}

TEST(Engine, MissingNextCabinetIsAskedForAgainWithTheReason) {
    TempFolder temp, elsewhere;
    std::vector<InputFile> files = {{"big.bin", cabtest::RandomBytes(150000, 9)}};
    cabtest::WriteOptions options;
    options.limit = 100000;
    auto written = cabtest::WriteSet(temp.Path(), files, options);
    ASSERT_EQ(written.size(), 2u);
    cabtest::WriteFile(elsewhere / "set2.cab", cabtest::ReadFile(written[1]));
    platform::RemoveFile(written[1]);

    cabtest::ExtractResult failed = cabtest::Extract(temp.Path(), "set1.cab");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, cab::FDIERROR_CABINET_NOT_FOUND);
    std::vector<int> asked;
    for (const auto& n : failed.notifications) {
        if (n.type == cab::fdintNEXT_CABINET) asked.push_back(n.error);
    }
    EXPECT_EQ(asked, (std::vector<int>{cab::FDIERROR_NONE, cab::FDIERROR_CABINET_NOT_FOUND}));

    cabtest::ExtractResult found = cabtest::Extract(temp.Path(), "set1.cab", elsewhere.Path() + "\\");
    ASSERT_TRUE(found.ok) << found.error;
    EXPECT_EQ(found.files["big.bin"], files[0].content);
}

}  // namespace

namespace {

// Many small files with long names and a fine sweep of limits, so that boundaries fall everywhere:
// inside blocks, just after a block, and where the records of the files beginning in the next block no
// longer fit (then the previous block is split instead).
TEST(Engine, FineSweepOfLimitsOverManySmallFiles) {
    std::vector<InputFile> files;
    for (int i = 0; i < 120; ++i) {
        size_t size = static_cast<size_t>((i * 7919) % 3000);
        std::string name = "dir\\" + std::to_string(i) + std::string(150, 'n');
        files.push_back({name, i % 3 == 0 ? cabtest::RandomBytes(size, i) : cabtest::TextBytes(size, i)});
    }
    const auto expected = AsMap(files);
#ifdef _WIN32
    const uint32_t step = 1013;  // the same logic as natively; files are slow to make under Wine
#else
    const uint32_t step = 211;
#endif
    for (uint32_t limit = 36000; limit < 44000; limit += step) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        TempFolder temp;
        cabtest::WriteOptions options;
        options.limit = limit;
        auto written = cabtest::WriteSet(temp.Path(), files, options);
        ASSERT_GE(written.size(), 2u);
        for (const std::string& path : written) {
            EXPECT_LE(cabtest::ReadFile(path).size(), limit);
        }
        ASSERT_EQ(cabtest::ExtractSet(temp.Path(), written.size()), expected);
    }
}

}  // namespace
