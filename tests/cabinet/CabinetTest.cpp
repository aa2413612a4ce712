// CCabinet: the layout of sets on disk, the extraction hooks, the search for the next cabinet, and the
// messages of its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include "cabinet/CabFormat.h"
#include "cabinet/Cabinet.h"
#include "platform/FindFiles.h"
#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"

using testing_support::TempFolder;

namespace {

std::string ThrownBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const CCabinetException& e) {
        return e.Message();
    }
    return "(nothing thrown)";
}

cab::format::Header HeaderOf(const std::string& path) {
    std::vector<uint8_t> bytes = cabtest::ReadFile(path);
    struct Memory : cab::format::Source {
        std::vector<uint8_t>& b;
        explicit Memory(std::vector<uint8_t>& bytes) : b(bytes) {}
        bool ReadAt(uint64_t pos, void* data, size_t size) override {
            if (pos > b.size() || size > b.size() - pos) return false;
            std::memcpy(data, b.data() + pos, size);
            return true;
        }
        uint64_t Size() const override { return b.size(); }
    } source(bytes);
    cab::format::Header header;
    EXPECT_EQ(cab::format::ParseHeader(source, &header), 0) << path;
    return header;
}

// Source files in temp\src with known times and attributes.
struct Sources {
    explicit Sources(const TempFolder& temp) : folder(temp / "src") { platform::CreateFolder(folder); }
    std::string Add(const std::string& name, const std::vector<uint8_t>& content) {
        std::string path = folder + "\\" + name;
        cabtest::WriteFile(path, content);
        return path;
    }
    std::string folder;
};

TEST(Cabinet, WithoutDiskSizeOneCabinetInTheBaseFolder) {
    TempFolder temp;
    Sources src(temp);
    std::string out = temp / "media";
    platform::CreateFolder(out);
    {
        CCabinet cabinet(out, "TSFiles", "TSFiles.cab", 0, 0);
        EXPECT_EQ(cabinet.SizeLimit(), 0x7FFFFFFFu);
        cabinet.Open();
        cabinet.AddFile(src.Add("a.txt", cabtest::TextBytes(300000, 1)));
        cabinet.AddFile(src.Add("b.bin", cabtest::RandomBytes(200000, 2)));
        cabinet.Close();
        EXPECT_EQ(cabinet.LastCabinet(), 1);
    }
    std::vector<platform::FoundEntry> entries = platform::FindFiles(out + "\\*");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "TSFiles.cab");
    EXPECT_FALSE(entries[0].isFolder);
}

TEST(Cabinet, FloppySetOneCabinetPerDiskFolder) {
    TempFolder temp;
    Sources src(temp);
    const int32_t reserve = 400000;
    CCabinet cabinet(temp.Path(), "Disk%02d", "TSData%d.cab", 1440000, reserve);
    EXPECT_TRUE(platform::FolderExists(temp / "Disk01"));  // made by the constructor
    EXPECT_EQ(cabinet.SizeLimit(), 1440000u - reserve);
    EXPECT_EQ(cabinet.LastCabinet(), 1);
    EXPECT_EQ(cabinet.CurrentDisk(), 0);
    cabinet.Open();
    cabinet.AddFile(src.Add("noise.bin", cabtest::RandomBytes(2000000, 3)));
    cabinet.AddFile(src.Add("text.txt", cabtest::TextBytes(500000, 4)));
    cabinet.Close();
    EXPECT_EQ(cabinet.LastCabinet(), 2);
    EXPECT_EQ(cabinet.CurrentDisk(), 2);

    std::vector<uint8_t> first = cabtest::ReadFile(temp / "Disk01\\TSData1.cab");
    std::vector<uint8_t> second = cabtest::ReadFile(temp / "Disk02\\TSData2.cab");
    EXPECT_LE(first.size(), 1440000u - reserve);
    EXPECT_GT(first.size(), 1440000u - reserve - 1024);  // filled, not cut early
    EXPECT_LE(second.size(), 1440000u);
    cab::format::Header h1 = HeaderOf(temp / "Disk01\\TSData1.cab");
    cab::format::Header h2 = HeaderOf(temp / "Disk02\\TSData2.cab");
    EXPECT_EQ(h1.nextCabinet, "TSData2.cab");
    EXPECT_EQ(h1.nextDisk, "Disk02");
    EXPECT_EQ(h2.prevCabinet, "TSData1.cab");
    EXPECT_EQ(h2.prevDisk, "Disk01");
    EXPECT_EQ(h1.setID, 12345);
    EXPECT_EQ(h2.setID, 12345);
}

TEST(Cabinet, FileNameInCabinetIsThePartAfterTheLastBackslash) {
    TempFolder temp;
    Sources src(temp);
    platform::CreateFolder(src.folder + "\\b");
    std::string path = src.Add("b\\readme.txt", cabtest::TextBytes(100, 1));
    {
        CCabinet cabinet(temp.Path(), "Disk%d", "one.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(path);
        cabinet.AddFile(path, "docs\\other.txt");
        cabinet.Close();
    }
    cabtest::ExtractResult r = cabtest::Extract(temp.Path(), "one.cab");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.files.count("readme.txt"), 1u);
    EXPECT_EQ(r.files.count("docs\\other.txt"), 1u);
}

TEST(Cabinet, OpenTwiceThrowsAndKeepsTheFirstContext) {
    TempFolder temp;
    Sources src(temp);
    CCabinet writer(temp.Path(), "D%d", "w.cab", 0, 0);
    writer.Open();
    EXPECT_EQ(ThrownBy([&] { writer.Open(); }), "The Cabinet is already open for compression!");
    writer.AddFile(src.Add("x.txt", cabtest::TextBytes(10, 1)));
    writer.Close();

    CCabinet reader(temp / "w.cab");
    reader.Open();
    EXPECT_EQ(ThrownBy([&] { reader.Open(); }), "The Cabinet is already open for decompression!");
    reader.Extract(nullptr, nullptr, nullptr);
    EXPECT_TRUE(platform::FileExists(temp / "x.txt"));
}

TEST(Cabinet, OpeningWhatIsNotACabinet) {
    TempFolder temp;
    cabtest::WriteFile(temp / "fake.cab", cabtest::TextBytes(5000, 1));
    CCabinet fake(temp / "fake.cab");
    EXPECT_EQ(ThrownBy([&] { fake.Open(); }), "\"" + temp / "fake.cab" + "\" is not a cabinet file");
    EXPECT_EQ(ThrownBy([&] { fake.Extract(nullptr, nullptr, nullptr); }), "The cabinet is not open!");
    CCabinet missing(temp / "missing.cab");
    EXPECT_EQ(ThrownBy([&] { missing.Open(); }), "Unable to open \"" + temp / "missing.cab" + "\" for input!\n");
}

TEST(Cabinet, CompressionFailures) {
    TempFolder temp;
    Sources src(temp);
    CCabinet cabinet(temp.Path(), "D%d", "c.cab", 0, 0);
    EXPECT_EQ(ThrownBy([&] { cabinet.AddFile(src.Add("a", {})); }), "The cabinet is not open!");
    EXPECT_EQ(ThrownBy([&] { cabinet.Flush(); }), "The cabinet is not open!");
    cabinet.Open();
    EXPECT_EQ(ThrownBy([&] { cabinet.AddFile(temp / "no-such-file"); }),
              "Cannot add file!(Failure opening file to be stored in cabinet)");
    // The cabinet stays open and usable after a file that could not be added.
    cabinet.AddFile(src.Add("real.txt", cabtest::TextBytes(1000, 2)));
    cabinet.Close();
    cabtest::ExtractResult r = cabtest::Extract(temp.Path(), "c.cab");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.files.size(), 1u);
}

TEST(Cabinet, ErrorTextsByMode) {
    TempFolder temp;
    CCabinet writer(temp.Path(), "D%d", "c.cab", 0, 0);
    CCabinet reader(temp / "c.cab");
    EXPECT_STREQ(writer.ErrorText(0), "No error");
    EXPECT_STREQ(writer.ErrorText(6), "Could not create cabinet file");
    EXPECT_STREQ(writer.ErrorText(9), "Unknown error");
    EXPECT_STREQ(reader.ErrorText(1), "Cabinet not found");
    EXPECT_STREQ(reader.ErrorText(9), "Cabinets in set have different RESERVE sizes");
    EXPECT_STREQ(reader.ErrorText(11), "User aborted");
    EXPECT_STREQ(reader.ErrorText(12), "Unknown error");
    EXPECT_STREQ(reader.ErrorText(-1), "Unknown error");
}

TEST(Cabinet, PatternsTakeOnlyIntegerConversions) {
    EXPECT_EQ(FormatNumberPattern("Disk%02d", 3), "Disk03");
    EXPECT_EQ(FormatNumberPattern("TSData%d.cab", 12), "TSData12.cab");
    EXPECT_EQ(FormatNumberPattern("TSData.cab", 12), "TSData.cab");
    EXPECT_EQ(FormatNumberPattern("100%% %s %n", 1), "100% %s %n");
}

// Writes a floppy-style set of three files with distinct times and attributes.
struct SetFixture {
    explicit SetFixture(const TempFolder& temp) : src(temp) {
        // first.bin and second.txt go on into cabinet 2, where third.txt and fourth.bin begin; fourth.bin
        // goes on into cabinet 3.
        files = {{"first.bin", cabtest::RandomBytes(90000, 1)},
                 {"second.txt", cabtest::TextBytes(20000, 2)},
                 {"third.txt", cabtest::TextBytes(8000, 3)},
                 {"fourth.bin", cabtest::RandomBytes(50000, 4)}};
        const uint32_t bits[] = {platform::kAttributeArchive | platform::kAttributeReadOnly,
                                 platform::kAttributeArchive | platform::kAttributeHidden,
                                 platform::kAttributeArchive | platform::kAttributeSystem,
                                 platform::kAttributeArchive | platform::kAttributeHidden | platform::kAttributeSystem};
        CCabinet cabinet(temp.Path(), "Disk%d", "TSData%d.cab", 70000, 0);
        cabinet.Open();
        for (size_t i = 0; i < files.size(); ++i) {
            std::string path = src.Add(files[i].first, files[i].second);
            platform::FileTime time;
            EXPECT_TRUE(platform::LocalDosDateTimeToFileTime(static_cast<uint16_t>(0x5A21 + i), 0x6000, &time));
            EXPECT_TRUE(platform::SetFileTimes(path, time));
            times.push_back(time);
            EXPECT_TRUE(platform::SetFileAttributeBits(path, bits[i]));
            attributes.push_back(bits[i]);
            cabinet.AddFile(path);
        }
        cabinet.Close();
        cabinets = cabinet.LastCabinet();
    }
    Sources src;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    std::vector<platform::FileTime> times;
    std::vector<uint32_t> attributes;
    int cabinets = 0;
};

TEST(Cabinet, ExtractionWithoutHooksKeepsBytesTimesAndAttributes) {
    TempFolder temp;
    SetFixture set(temp);
    ASSERT_EQ(set.cabinets, 3);
    // All cabinets in one folder: extraction finds them there without any hook.
    TempFolder flat;
    for (int n = 1; n <= set.cabinets; ++n) {
        std::string name = "TSData" + std::to_string(n) + ".cab";
        cabtest::WriteFile(flat / name, cabtest::ReadFile(temp / ("Disk" + std::to_string(n) + "\\" + name)));
    }
    CCabinet cabinet(flat / "TSData1.cab");
    cabinet.Open();
    cabinet.Extract(nullptr, nullptr, nullptr);
    cabinet.Close();
    for (size_t i = 0; i < set.files.size(); ++i) {
        std::string path = flat / set.files[i].first;
        SCOPED_TRACE(path);
        EXPECT_EQ(cabtest::ReadFile(path), set.files[i].second);
        platform::FileTime time = cabtest::LastWriteTime(path);
        EXPECT_EQ(time.dwLowDateTime, set.times[i].dwLowDateTime);
        EXPECT_EQ(time.dwHighDateTime, set.times[i].dwHighDateTime);
        uint32_t attributes = 0;
        ASSERT_TRUE(platform::GetFileAttributeBits(path, &attributes));
        EXPECT_EQ(attributes, set.attributes[i]);
    }
}

TEST(Cabinet, MissingSecondCabinetAsksTheHookWhichMayPointElsewhere) {
    TempFolder temp;
    SetFixture set(temp);
    TempFolder out;
    std::vector<std::pair<std::string, int>> asked;
    CCabinet cabinet(temp / "Disk1\\TSData1.cab");
    cabinet.Open();
    cabinet.Extract(
        [&](int, const std::string& base, char* path) {
            EXPECT_EQ(base, temp / "Disk1");
            std::string target = out / path;
            std::snprintf(path, CCabinet::kPathBuffer, "%s", target.c_str());
            return 1;
        },
        nullptr,
        [&](const char* cabinetName, const char* disk, char* folder, int error) {
            asked.emplace_back(cabinetName, error);
            EXPECT_EQ(std::string("Disk") + cabinetName[6], disk);
            if (error == cab::FDIERROR_CABINET_NOT_FOUND) {
                std::string next = temp / (std::string(disk) + "\\");
                std::snprintf(folder, CCabinet::kPathBuffer, "%s", next.c_str());
            }
            return 0;
        });
    cabinet.Close();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0].first, "TSData2.cab");
    bool askedWithNotFound = false;
    for (const auto& a : asked) {
        askedWithNotFound |= a.second == cab::FDIERROR_CABINET_NOT_FOUND;
    }
    EXPECT_TRUE(askedWithNotFound);
    for (const auto& file : set.files) {
        EXPECT_EQ(cabtest::ReadFile(out / file.first), file.second) << file.first;
    }
}

TEST(Cabinet, DecliningTheNextCabinetOfAContinuedFileIsAUserAbort) {
    TempFolder temp;
    SetFixture set(temp);
    CCabinet cabinet(temp / "Disk1\\TSData1.cab");
    cabinet.Open();
    std::string message = ThrownBy([&] {
        cabinet.Extract(nullptr, nullptr, [](const char*, const char*, char*, int error) { return error == 0 ? 0 : 1; });
    });
    EXPECT_EQ(message, "Cannot Extract files!(User aborted)");
}

TEST(Cabinet, ContinuedFileIsSkippedWhenItsSecondCabinetIsReadAlone) {
    TempFolder temp;
    SetFixture set(temp);
    TempFolder alone;
    cabtest::WriteFile(alone / "TSData2.cab", cabtest::ReadFile(temp / "Disk2\\TSData2.cab"));
    std::vector<std::string> offered;
    CCabinet cabinet(alone / "TSData2.cab");
    cabinet.Open();
    // Files that go on into cabinet 3 need it; it is not there, and the hook gives up.
    try {
        cabinet.Extract(
            [&](int, const std::string&, char* path) {
                offered.push_back(path);
                return 0;
            },
            nullptr, [](const char*, const char*, char*, int error) { return error == 0 ? 0 : 1; });
    } catch (const CCabinetException&) {
    }
    cab::format::Header h = HeaderOf(alone / "TSData2.cab");
    ASSERT_TRUE(h.flags & cab::format::kFlagPrevCabinet);
    // first.bin and second.txt began in cabinet 1.
    EXPECT_EQ(offered, (std::vector<std::string>{"third.txt", "fourth.bin"}));
}

TEST(Cabinet, ExtractionReplacesLongerFilesWithoutStaleBytes) {
    TempFolder temp;
    Sources src(temp);
    std::vector<uint8_t> content = cabtest::TextBytes(1000, 1);
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(src.Add("short.txt", content));
        cabinet.Close();
    }
    cabtest::WriteFile(temp / "short.txt", cabtest::RandomBytes(50000, 2));
    CCabinet cabinet(temp / "t.cab");
    cabinet.Open();
    cabinet.Extract(nullptr, nullptr, nullptr);
    EXPECT_EQ(cabtest::ReadFile(temp / "short.txt"), content);
}

TEST(Cabinet, ReadOnlyTargetsAndDamagedCabinetsLeaveExistingFilesAlone) {
    TempFolder temp;
    Sources src(temp);
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(src.Add("a.txt", cabtest::TextBytes(100000, 1)));
        cabinet.Close();
    }
    std::vector<uint8_t> old = cabtest::RandomBytes(777, 5);
    cabtest::WriteFile(temp / "a.txt", old);
    ASSERT_TRUE(platform::SetFileAttributeBits(temp / "a.txt", platform::kAttributeReadOnly));
    {
        CCabinet cabinet(temp / "t.cab");
        cabinet.Open();
        EXPECT_EQ(ThrownBy([&] { cabinet.Extract(nullptr, nullptr, nullptr); }),
                  "Cannot Extract files!(Failure writing to target file)");
    }
    EXPECT_EQ(cabtest::ReadFile(temp / "a.txt"), old);
    ASSERT_TRUE(platform::SetFileAttributeBits(temp / "a.txt", platform::kAttributeArchive));

    // The same cabinet with its last data block damaged: the file being written is abandoned.
    std::vector<uint8_t> bytes = cabtest::ReadFile(temp / "t.cab");
    bytes[bytes.size() - 10] ^= 0xFF;
    cabtest::WriteFile(temp / "bad.cab", bytes);
    CCabinet cabinet(temp / "bad.cab");
    cabinet.Open();
    EXPECT_EQ(ThrownBy([&] { cabinet.Extract(nullptr, nullptr, nullptr); }), "Cannot Extract files!(Corrupt cabinet)");
    EXPECT_EQ(cabtest::ReadFile(temp / "a.txt"), old);
    // No work file is left beside the target.
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : platform::FindFiles(temp / "*")) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "bad.cab", "src", "t.cab"}));
}

// New files are written at their place and replaced ones through a work file; either way each keeps the
// stored bytes, time and attributes, and a file's folders are made however the files alternate between them.
TEST(Cabinet, NewAndReplacedFilesKeepTheirTimesAndAttributes) {
    struct Case {
        const char* name;  // also the target below out
        uint32_t attributes;
        bool there;  // an older file lies at the target
    };
    const Case cases[] = {
        {"a\\archive.bin", platform::kAttributeArchive, false},
        {"b\\none.bin", 0, false},
        {"old\\replaced.bin", platform::kAttributeArchive, true},
        {"a\\readonly.bin", platform::kAttributeArchive | platform::kAttributeReadOnly, false},
        {"old\\hidden.bin", platform::kAttributeArchive | platform::kAttributeHidden, true},
    };
    TempFolder temp;
    Sources src(temp);
    std::vector<std::vector<uint8_t>> contents;
    std::vector<platform::FileTime> times;
    std::vector<uint32_t> attributes;
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        for (size_t i = 0; i < std::size(cases); ++i) {
            contents.push_back(cabtest::RandomBytes(20000 + 1000 * i, static_cast<uint32_t>(i)));
            const std::string path = src.Add("f" + std::to_string(i), contents.back());
            platform::FileTime time;
            ASSERT_TRUE(platform::LocalDosDateTimeToFileTime(static_cast<uint16_t>(0x4A21 + 40 * i), 0x5000, &time));
            ASSERT_TRUE(platform::SetFileTimes(path, time));
            ASSERT_TRUE(platform::SetFileAttributeBits(path, cases[i].attributes));
            // As the system keeps them (Wine, for one, keeps no regular file without the archive bit).
            uint32_t kept = 0;
            ASSERT_TRUE(platform::GetFileAttributeBits(path, &kept));
            attributes.push_back(kept);
            times.push_back(time);
            cabinet.AddFile(path);
        }
        cabinet.Close();
    }
    TempFolder out;
    platform::CreateFolder(out / "old");
    for (const Case& c : cases) {
        if (c.there) {
            cabtest::WriteFile(out / c.name, cabtest::TextBytes(90000, 3));
        }
    }
    CCabinet cabinet(temp / "t.cab");
    cabinet.Open();
    cabinet.Extract(
        [&](int index, const std::string&, char* path) {
            std::snprintf(path, CCabinet::kPathBuffer, "%s", (out / cases[index].name).c_str());
            return 1;
        },
        nullptr, nullptr);
    cabinet.Close();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string path = out / cases[i].name;
        SCOPED_TRACE(path);
        EXPECT_EQ(cabtest::ReadFile(path), contents[i]);
        const platform::FileTime time = cabtest::LastWriteTime(path);
        EXPECT_EQ(platform::ToTicks(time), platform::ToTicks(times[i]));
        uint32_t extracted = 0;
        ASSERT_TRUE(platform::GetFileAttributeBits(path, &extracted));
        EXPECT_EQ(extracted, attributes[i]);
    }
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : platform::FindFiles(out / "a\\*")) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"archive.bin", "readonly.bin"}));
}

// A new file whose data turns out damaged is taken away again: nothing half-written is left where nothing
// was, while the files finished before it stay.
TEST(Cabinet, DamagedDataLeavesNoHalfWrittenNewFile) {
    TempFolder temp;
    Sources src(temp);
    const std::vector<uint8_t> first = cabtest::TextBytes(3000, 1);
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(src.Add("first.txt", first));
        cabinet.AddFile(src.Add("second.bin", cabtest::RandomBytes(200000, 2)));
        cabinet.Close();
    }
    std::vector<uint8_t> bytes = cabtest::ReadFile(temp / "t.cab");
    bytes[bytes.size() - 10] ^= 0xFF;
    cabtest::WriteFile(temp / "bad.cab", bytes);
    TempFolder out;
    CCabinet cabinet(temp / "bad.cab");
    cabinet.Open();
    EXPECT_EQ(ThrownBy([&] {
                  cabinet.Extract(
                      [&](int, const std::string&, char* path) {
                          std::snprintf(path, CCabinet::kPathBuffer, "%s", (out / path).c_str());
                          return 1;
                      },
                      nullptr, nullptr);
              }),
              "Cannot Extract files!(Corrupt cabinet)");
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : platform::FindFiles(out / "*")) names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"first.txt"}));
    EXPECT_EQ(cabtest::ReadFile(out / "first.txt"), first);
}

TEST(Cabinet, ACabinetChainThatLoopsIsRefused) {
    TempFolder temp;
    SetFixture set(temp);
    // Cabinet 2 made to name cabinet 1 as its successor: 1 -> 2 -> 1 -> ...
    TempFolder loop;
    cabtest::WriteFile(loop / "TSData1.cab", cabtest::ReadFile(temp / "Disk1\\TSData1.cab"));
    std::vector<uint8_t> second = cabtest::ReadFile(temp / "Disk2\\TSData2.cab");
    const char* next = "TSData3.cab";
    auto at = std::search(second.begin(), second.end(), next, next + std::strlen(next));
    ASSERT_NE(at, second.end());
    (*(at + 6)) = '1';
    cabtest::WriteFile(loop / "TSData2.cab", second);
    CCabinet cabinet(loop / "TSData1.cab");
    cabinet.Open();
    std::string message = ThrownBy([&] { cabinet.Extract(nullptr, nullptr, nullptr); });
    EXPECT_TRUE(message == "Cannot Extract files!(Cabinet returned on fdintNEXT_CABINET is incorrect)" ||
                message == "Cannot Extract files!(Corrupt cabinet)")
        << message;
}

// The work file of an extraction is a new file of its own beside the target: a cabinet file named as an
// earlier work file once was, or a link planted at such a name, changes nothing but its own file.
TEST(Cabinet, WorkFilesNeverMeetOtherFilesOrLinks) {
    TempFolder temp;
    Sources src(temp);
    const std::vector<uint8_t> first = cabtest::RandomBytes(3000, 7);
    const std::vector<uint8_t> second = cabtest::TextBytes(5000, 8);
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(src.Add("x.txt.new~", first));
        cabinet.AddFile(src.Add("x.txt", second));
        cabinet.Close();
    }
    TempFolder out;
    const std::vector<uint8_t> victim = cabtest::TextBytes(100, 9);
    cabtest::WriteFile(temp / "victim.txt", victim);
#ifndef _WIN32
    // A link where the work file of y.txt used to be written, pointing at a file of someone else's.
    ASSERT_EQ(symlink(platform::ToNativePath(temp / "victim.txt").c_str(),
                      platform::ToNativePath(out / "y.txt.new~").c_str()),
              0);
#endif
    CCabinet cabinet(temp / "t.cab");
    cabinet.Open();
    std::vector<uint32_t> sizes;
    cabinet.Extract(
        [&](int index, const std::string&, char* path) {
            sizes.push_back(cabinet.ExtractingSize());
            // The first file as it is named, the second under y.txt.
            std::snprintf(path, CCabinet::kPathBuffer, "%s",
                          (out / (index == 0 ? "x.txt.new~" : "y.txt")).c_str());
            return 1;
        },
        nullptr, nullptr);
    cabinet.Close();
    EXPECT_EQ(sizes, (std::vector<uint32_t>{3000, 5000}));
    EXPECT_EQ(cabtest::ReadFile(out / "x.txt.new~"), first);
    EXPECT_EQ(cabtest::ReadFile(out / "y.txt"), second);
    EXPECT_EQ(cabtest::ReadFile(temp / "victim.txt"), victim);
    std::vector<std::string> names;
    for (const platform::FoundEntry& entry : platform::FindFiles(out / "*")) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
#ifndef _WIN32
    EXPECT_EQ(names, (std::vector<std::string>{"x.txt.new~", "y.txt", "y.txt.new~"}));
#else
    EXPECT_EQ(names, (std::vector<std::string>{"x.txt.new~", "y.txt"}));
#endif
}

// A copy-file hook that answers with a negative value stops the extraction before the file is written;
// the hook's owner gives the reason, so the exception carries none of its own.
TEST(Cabinet, CopyFileHookStopsTheExtraction) {
    TempFolder temp;
    Sources src(temp);
    {
        CCabinet cabinet(temp.Path(), "D%d", "t.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(src.Add("a.txt", cabtest::TextBytes(100, 1)));
        cabinet.AddFile(src.Add("b.txt", cabtest::TextBytes(200, 2)));
        cabinet.Close();
    }
    TempFolder out;
    CCabinet cabinet(temp / "t.cab");
    cabinet.Open();
    int asked = 0;
    EXPECT_EQ(ThrownBy([&] {
                  cabinet.Extract(
                      [&](int index, const std::string&, char* path) {
                          ++asked;
                          std::snprintf(path, CCabinet::kPathBuffer, "%s", (out / "a.txt").c_str());
                          return index == 0 ? -1 : 1;
                      },
                      nullptr, nullptr);
              }),
              "");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(platform::FindFiles(out / "*").empty());
}

// A continuation cabinet that is missing or damaged, with a next-cabinet hook that has no one to ask and
// declines for the engine's error: the extraction fails with that cause, not as a user abort.
TEST(Cabinet, FailedContinuationCabinetIsReportedByItsCause) {
    TempFolder temp;
    SetFixture set(temp);
    struct Case {
        const char* damage;
        std::string message;
    };
    const Case cases[] = {
        {"missing", "Cannot Extract files!(Cabinet not found)"},
        {"truncated", "Cannot Extract files!(Not a cabinet)"},
        {"cut in its data", "Cannot Extract files!(Corrupt cabinet)"},
    };
    const std::vector<uint8_t> second = cabtest::ReadFile(temp / "Disk2\\TSData2.cab");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        TempFolder flat;
        TempFolder out;
        cabtest::WriteFile(flat / "TSData1.cab", cabtest::ReadFile(temp / "Disk1\\TSData1.cab"));
        if (std::string(c.damage) == "truncated") {
            cabtest::WriteFile(flat / "TSData2.cab",
                               std::vector<uint8_t>(second.begin(), second.begin() + 20));
        } else if (std::string(c.damage) == "cut in its data") {
            cabtest::WriteFile(flat / "TSData2.cab",
                               std::vector<uint8_t>(second.begin(), second.begin() + second.size() / 2));
        }
        CCabinet cabinet(flat / "TSData1.cab");
        cabinet.Open();
        EXPECT_EQ(ThrownBy([&] {
                      cabinet.Extract(
                          [&](int, const std::string&, char* path) {
                              const std::string target = out / path;
                              std::snprintf(path, CCabinet::kPathBuffer, "%s", target.c_str());
                              return 1;
                          },
                          nullptr,
                          [](const char*, const char*, char*, int error) {
                              return error == 0 ? 0 : CCabinet::kFailWithEngineError;
                          });
                  }),
                  c.message);
    }
}

#ifndef _WIN32
// A cabinet that cannot be written for a limit of the file system says so in the system's words.
TEST(Cabinet, FileSizeLimitWhileWritingIsReportedByItsCause) {
    TempFolder temp;
    Sources src(temp);
    const std::string big = src.Add("big.bin", cabtest::RandomBytes(400000, 3));
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 200000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string message = ThrownBy([&] {
        CCabinet cabinet(temp.Path(), "D%d", "c.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(big);
        cabinet.Close();
    });
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
}
#endif

}  // namespace
