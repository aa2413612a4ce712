// Decoding ahead on worker threads changes nothing the caller sees: for sound, damaged and unusual
// cabinets, every number of decoding threads gives the same notifications in the same order, the same
// files, the same bytes written before a failure and the same error as decoding on the caller's thread.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"

using testing_support::TempFolder;

namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Where a cabinet without reserved fields keeps its tables and data blocks.
size_t FolderAt(int folder) {
    return 36 + 8 * static_cast<size_t>(folder);
}
int FolderCount(const std::vector<uint8_t>& cab) {
    return Get16(cab, 0x1A);
}
size_t BlockAt(const std::vector<uint8_t>& cab, int folder, int block) {
    size_t at = Get32(cab, FolderAt(folder));
    for (int i = 0; i < block; ++i) {
        at += 8 + Get16(cab, at + 4);
    }
    return at;
}

// The names of the files whose data is in a folder.
std::set<std::string> FilesInFolder(const std::vector<uint8_t>& cab, int folder) {
    std::set<std::string> names;
    size_t at = Get32(cab, 0x10);
    for (int i = 0; i < Get16(cab, 0x1C); ++i) {
        std::string name(reinterpret_cast<const char*>(&cab[at + 16]));
        if (Get16(cab, at + 8) == folder) {
            names.insert(name);
        }
        at += 16 + name.size() + 1;
    }
    return names;
}

// Names of equal length, so that file records can change places.
std::vector<cabtest::InputFile> Files(int count, size_t size) {
    std::vector<cabtest::InputFile> files;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "file%03d.bin", i);
        files.push_back(
            {name, i % 3 == 2 ? cabtest::RandomBytes(size, i) : cabtest::TextBytes(size + 97 * i, i)});
    }
    return files;
}

// A large file, in a folder of its own, before many small ones: the small folders decode while the large
// one is written, until they hold every slot that they may.
std::vector<cabtest::InputFile> LargeThenSmall() {
    std::vector<cabtest::InputFile> files = Files(40, 9000);
    files.insert(files.begin(), {"fileBIG.bin", cabtest::TextBytes(6'000'000, 99)});
    return files;
}

std::vector<cabtest::InputFile> WithEmptyFiles(std::vector<cabtest::InputFile> files) {
    for (size_t i = 0; i < files.size(); i += 4) {
        files[i].content.clear();
    }
    return files;
}

struct Case {
    const char* name;
    std::vector<cabtest::InputFile> files;
    cabtest::WriteOptions write;
    std::function<void(std::vector<uint8_t>&)> damage;  // changes the first cabinet (may be empty)
    std::set<std::string> skip;
    bool extracts;        // the cabinet extracts without error
    int skipFolder = -1;  // the files of this folder are declined too
};

std::vector<Case> Cases() {
    cabtest::WriteOptions small;  // many small folders
    small.folderThreshold = 20000;
    cabtest::WriteOptions oneFolder;  // one folder of many blocks, files longer than a job
    oneFolder.folderThreshold = 0;
    cabtest::WriteOptions stored = small;
    stored.type = cab::tcompTYPE_NONE;
    cabtest::WriteOptions spanned = small;
    spanned.limit = 150000;
    auto flipInBlock = [](int folder, int block) {
        return
            [folder, block](std::vector<uint8_t>& cab) { cab[BlockAt(cab, folder, block) + 8 + 10] ^= 0x55; };
    };
    auto flipUnchecked = [](int folder, int block) {
        return [folder, block](std::vector<uint8_t>& cab) {
            size_t at = BlockAt(cab, folder, block);
            cab[at] = cab[at + 1] = cab[at + 2] = cab[at + 3] = 0;  // checksum 0: not checked
            cab[at + 8 + 2] ^= 0xFF;
        };
    };
    return {
        {"many folders", Files(40, 9000), small, nullptr, {}, true},
        {"one folder of many blocks", Files(6, 700000), oneFolder, nullptr, {}, true},
        {"stored blocks", Files(20, 15000), stored, nullptr, {}, true},
        {"spanned set", Files(20, 30000), spanned, nullptr, {}, true},
        {"files declined",
         Files(40, 9000),
         small,
         nullptr,
         {"file003.bin", "file017.bin", "file039.bin"},
         true},
        {"bad checksum", Files(40, 9000), small, flipInBlock(5, 0), {}, false},
        {"bad checksum late in one big folder", Files(6, 700000), oneFolder, flipInBlock(0, 70), {}, false},
        {"bad deflate data", Files(40, 9000), small, flipUnchecked(7, 0), {}, false},
        {"bad deflate data in a long folder", Files(6, 700000), oneFolder, flipUnchecked(0, 33), {}, false},
        {"bad deflate data before a bad checksum",
         Files(6, 700000),
         oneFolder,
         [=](std::vector<uint8_t>& cab) {
             flipInBlock(0, 35)(cab);
             flipUnchecked(0, 33)(cab);
         },
         {},
         false},
        {"damage only where no file is wanted", Files(40, 9000), small, flipInBlock(2, 0), {}, true, 2},
        {"a folder with fewer blocks than its files need",
         Files(40, 9000),
         small,
         [](std::vector<uint8_t>& cab) { Put16(cab, FolderAt(3) + 4, Get16(cab, FolderAt(3) + 4) - 1); },
         {},
         false},
        {"a folder of unknown type",
         Files(40, 9000),
         small,
         [](std::vector<uint8_t>& cab) { Put16(cab, FolderAt(4) + 6, 7); },
         {},
         false},
        {"a large folder before many small ones", LargeThenSmall(), small, nullptr, {}, true},
        {"the large folder declined", LargeThenSmall(), small, nullptr, {"fileBIG.bin"}, true},
        {"bad checksum in a small folder decoded while a large one is written",
         LargeThenSmall(),
         small,
         flipInBlock(6, 0),
         {},
         false},
        {"empty files among the others", WithEmptyFiles(Files(40, 9000)), small, nullptr, {}, true},
        {"truncated in the data",
         Files(40, 9000),
         small,
         [](std::vector<uint8_t>& cab) { cab.resize(BlockAt(cab, FolderCount(cab) / 2, 1)); },
         {},
         false},
    };
}

void ExpectSame(const cabtest::ExtractResult& expected, const cabtest::ExtractResult& actual) {
    EXPECT_EQ(actual.ok, expected.ok);
    EXPECT_EQ(actual.error, expected.error);
    EXPECT_TRUE(actual.files == expected.files) << "files differ";
    EXPECT_TRUE(actual.unfinished == expected.unfinished) << "bytes written before the failure differ";
    ASSERT_EQ(actual.notifications.size(), expected.notifications.size());
    for (size_t i = 0; i < actual.notifications.size(); ++i) {
        EXPECT_EQ(actual.notifications[i].type, expected.notifications[i].type) << "notification " << i;
        EXPECT_EQ(actual.notifications[i].name, expected.notifications[i].name) << "notification " << i;
        EXPECT_EQ(actual.notifications[i].error, expected.notifications[i].error) << "notification " << i;
    }
}

TEST(ReadAhead, EveryNumberOfThreadsExtractsAsTheCallersThreadDoes) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        std::vector<std::string> cabinets = cabtest::WriteSet(temp.Path(), c.files, c.write);
        ASSERT_FALSE(cabinets.empty());
        if (c.damage) {
            std::vector<uint8_t> bytes = cabtest::ReadFile(temp / "set1.cab");
            c.damage(bytes);
            cabtest::WriteFile(temp / "set1.cab", bytes);
        }
        cabtest::ExtractOptions options;
        options.skip = c.skip;
        if (c.skipFolder >= 0) {
            std::set<std::string> declined =
                FilesInFolder(cabtest::ReadFile(temp / "set1.cab"), c.skipFolder);
            ASSERT_FALSE(declined.empty());
            options.skip.insert(declined.begin(), declined.end());
        }
        options.threads = 0;
        const cabtest::ExtractResult alone = cabtest::Extract(temp.Path(), "set1.cab", options);
        EXPECT_EQ(alone.ok, c.extracts) << "error " << alone.error;
        if (c.extracts && cabinets.size() == 1) {
            EXPECT_EQ(alone.files.size(), c.files.size() - options.skip.size());
            for (const cabtest::InputFile& file : c.files) {
                if (options.skip.count(file.name) == 0) {
                    EXPECT_TRUE(alone.files.count(file.name) && alone.files.at(file.name) == file.content)
                        << file.name;
                }
            }
        }
        for (int threads : {1, 2, 4}) {
            SCOPED_TRACE("threads " + std::to_string(threads));
            options.threads = threads;
            ExpectSame(alone, cabtest::Extract(temp.Path(), "set1.cab", options));
        }
    }
}

TEST(ReadAhead, ASpannedSetExtractsWholeWithReadAhead) {
    TempFolder temp;
    cabtest::WriteOptions write;
    write.folderThreshold = 20000;
    write.limit = 120000;
    const std::vector<cabtest::InputFile> files = Files(24, 30000);
    const size_t count = cabtest::WriteSet(temp.Path(), files, write).size();
    ASSERT_GE(count, 3u);
    std::map<std::string, std::vector<uint8_t>> all = cabtest::ExtractSet(temp.Path(), count);
    ASSERT_EQ(all.size(), files.size());
    for (const cabtest::InputFile& file : files) {
        EXPECT_TRUE(all[file.name] == file.content) << file.name;
    }
}

// One engine object extracts several cabinets in turn, and a failed copy leaves nothing behind that the
// next one would read.
TEST(ReadAhead, OneEngineReadsCabinetsInTurnAfterAFailure) {
    TempFolder temp;
    cabtest::WriteOptions write;
    write.folderThreshold = 20000;
    const std::vector<cabtest::InputFile> files = Files(30, 9000);
    cabtest::WriteSet(temp.Path(), files, write);
    std::vector<uint8_t> bytes = cabtest::ReadFile(temp / "set1.cab");
    std::vector<uint8_t> damaged = bytes;
    damaged[BlockAt(damaged, 1, 0) + 8 + 10] ^= 0x55;
    cabtest::WriteFile(temp / "bad.cab", damaged);
    cabtest::ExtractOptions options;
    options.threads = 2;
    const std::vector<std::string> order = {"set1.cab", "bad.cab", "set1.cab", "bad.cab", "set1.cab"};
    const std::vector<cabtest::ExtractResult> results = cabtest::ExtractSeveral(temp.Path(), order, options);
    ASSERT_EQ(results.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const bool good = order[i] == "set1.cab";
        EXPECT_EQ(results[i].ok, good) << i;
        EXPECT_EQ(results[i].files.size() == files.size(), good) << i;
        EXPECT_EQ(results[i].error, good ? 0 : static_cast<int>(cab::FDIERROR_CORRUPT_CABINET)) << i;
    }
}

}  // namespace
