#include "model/TreeArchive.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/TSException.h"
#include "tests/TestSupport.h"

using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t length) {
    EXPECT_LE(from + length, bytes.size());
    return std::vector<uint8_t>(bytes.begin() + static_cast<long>(from),
                                bytes.begin() + static_cast<long>(std::min(bytes.size(), from + length)));
}

TEST(TreeArchiveTest, WritesTheDocumentedBytes) {
    TempFolder folder;
    const std::string path = folder / "bytes.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ASSERT_TRUE(ar.OpenForSave(path));
        uint32_t min95 = 0x200;
        ar.ExchangeInt("Min95", &min95, 0);
        ar.BeginObject("Actions");
        ar.EndObject();
        std::string author;
        ar.ExchangeString("Author", &author, "x");
        ar.CloseAfterSave();
    }
    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 7u + 8 + 18 + 16 + 15);
    EXPECT_EQ(Slice(file, 0, 7), Bytes({6, 'T', 'S', 'F', 'i', 'l', 'e'}));
    EXPECT_EQ(Slice(file, 7, 4), Bytes({3, 0, 0, 0})) << "three children";
    const uint32_t mainSize = file[11] | file[12] << 8 | file[13] << 16 | static_cast<uint32_t>(file[14]) << 24;
    EXPECT_EQ(mainSize, file.size() - 9 - 6);
    EXPECT_EQ(Slice(file, 15, 18), Bytes({0x05, 0x4D, 0x69, 0x6E, 0x39, 0x35, 0, 0, 0, 0, 4, 0, 0, 0, 0, 2, 0, 0}));
    EXPECT_EQ(Slice(file, 33, 16), Bytes({0x07, 0x41, 0x63, 0x74, 0x69, 0x6F, 0x6E, 0x73, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Slice(file, 49, 15), Bytes({0x06, 0x41, 0x75, 0x74, 0x68, 0x6F, 0x72, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// A small record with every kind of value, written once for both directions like the model's own.
struct Sample {
    int32_t number = 0;
    uint32_t mask = 0;
    long wide = 0;
    bool flag = false;
    uint8_t byte = 0;
    uint8_t guid[16] = {};
    std::string text;
    std::string empty = "not empty";
    std::vector<int32_t> list;

    void Serialize(CTreeArchive& ar) {
        ar.BeginObject("Sample");
        ar.ExchangeInt("Number", &number, 0);
        ar.ExchangeInt("Mask", &mask, 0);
        ar.ExchangeInt("Wide", &wide, 0);
        ar.ExchangeBool("Flag", &flag, false);
        ar.ExchangeBool("Byte", &byte, 0);
        ar.ExchangeBlock("Guid", guid, sizeof guid);
        ar.ExchangeString("Text", &text, "");
        ar.ExchangeString("Empty", &empty, "default");
        if (ar.BeginObject("List")) {
            if (!ar.IsStoring()) {
                list.assign(static_cast<size_t>(ar.ChildCount()), 0);
            }
            for (size_t i = 0; i < list.size(); ++i) {
                ar.BeginObject("Arr" + std::to_string(i));
                ar.ExchangeInt("Value", &list[i], -1);
                ar.EndObject();
            }
            ar.EndObject();
        }
        ar.EndObject();
    }
};

Sample FilledSample() {
    Sample s;
    s.number = -123456;
    s.mask = 0xFFFF0200u;
    s.wide = -7;
    s.flag = true;
    s.byte = 0xAB;
    for (int i = 0; i < 16; ++i) {
        s.guid[i] = static_cast<uint8_t>(i * 17);
    }
    s.text = std::string("multi\nline \"text\" with \xE9 and \0 inside", 36);
    s.empty.clear();
    s.list = {5, 6, 7};
    return s;
}

void ExpectSame(const Sample& a, const Sample& b) {
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.mask, b.mask);
    EXPECT_EQ(a.wide, b.wide);
    EXPECT_EQ(a.flag, b.flag);
    EXPECT_EQ(a.byte, b.byte);
    EXPECT_EQ(0, std::memcmp(a.guid, b.guid, sizeof a.guid));
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.empty, b.empty);
    EXPECT_EQ(a.list, b.list);
}

void Save(const std::string& path, Sample sample) {
    CTreeArchive ar("TSFile", kSaveProject);
    ar.OpenForSave(path);
    sample.Serialize(ar);
    ar.CloseAfterSave();
}

TEST(TreeArchiveTest, RoundTripsEveryKindOfValueWithOneProbePerKey) {
    TempFolder folder;
    const std::string path = folder / "sample.tsp";
    Save(path, FilledSample());

    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    Sample loaded;
    loaded.Serialize(ar);
    ar.CloseAfterLoad();
    ExpectSame(loaded, FilledSample());
    // TSFile, Sample, 8 values, List, 3 elements with one value each: every lookup found its key at once.
    EXPECT_EQ(ar.ProbeCount(), 1u + 1 + 8 + 1 + 3 * 2);
}

TEST(TreeArchiveTest, FindsKeysInAnyOrder) {
    TempFolder folder;
    const std::string path = folder / "sample.tsp";
    Save(path, FilledSample());

    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    ASSERT_TRUE(ar.BeginObject("Sample"));
    std::string empty = "x";
    std::string text;
    int32_t number = 0;
    uint32_t mask = 0;
    ar.ExchangeString("Empty", &empty, "default");
    ar.ExchangeString("Text", &text, "");
    ar.ExchangeInt("Mask", &mask, 0);
    ar.ExchangeInt("Number", &number, 0);
    ar.ExchangeInt("Number", &number, 1);  // again: the round-robin comes back to it
    EXPECT_EQ(empty, "") << "an empty string loads as empty, not as the default";
    EXPECT_EQ(text, FilledSample().text);
    EXPECT_EQ(mask, 0xFFFF0200u);
    EXPECT_EQ(number, -123456);
    int32_t missing = 5;
    ar.ExchangeInt("NoSuchKey", &missing, 42);
    EXPECT_EQ(missing, 42);
    // A full fruitless cycle leaves the cursor where it was, after Number: Mask is found at once.
    uint64_t before = ar.ProbeCount();
    ar.ExchangeInt("Mask", &mask, 0);
    EXPECT_EQ(ar.ProbeCount() - before, 1u);
    ar.EndObject();
}

TEST(TreeArchiveTest, MismatchedEntriesGiveDefaultsOrKeepTheData) {
    TempFolder folder;
    const std::string path = folder / "mixed.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        uint8_t narrow = 9;
        ar.ExchangeBool("Narrow", &narrow, 0);
        ar.BeginObject("Object");
        int32_t inner = 3;
        ar.ExchangeInt("Inner", &inner, 0);
        ar.EndObject();
        int32_t four = 0x01020304;
        ar.ExchangeInt("Four", &four, 0);
        ar.CloseAfterSave();
    }
    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    int32_t value = 77;
    ar.ExchangeInt("Narrow", &value, -1);
    EXPECT_EQ(value, -1) << "a 1-byte value read as a 4-byte integer takes the default";
    ar.ExchangeInt("Object", &value, -2);
    EXPECT_EQ(value, -2) << "an object read as a value takes the default";
    std::string text = "kept?";
    ar.ExchangeString("Object", &text, "default");
    EXPECT_EQ(text, "default");
    uint8_t block[3] = {1, 2, 3};
    ar.ExchangeBlock("Four", block, sizeof block);
    EXPECT_EQ(block[0], 1) << "a block without default keeps its content when the size differs";
    EXPECT_EQ(block[2], 3);
    ar.ExchangeBlock("Absent", block, sizeof block);
    EXPECT_EQ(block[1], 2);
    bool flag = false;
    ar.ExchangeBool("Narrow", &flag, false);
    EXPECT_TRUE(flag);
    ar.ExchangeString("Four", &text, "");
    EXPECT_EQ(text, std::string("\x04\x03\x02\x01", 4)) << "a string takes whatever bytes are stored";
}

TEST(TreeArchiveTest, DuplicateKeysAreFoundFromTheCursorOn) {
    TempFolder folder;
    const std::string path = folder / "dup.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        for (int32_t v : {1, 2, 3}) {
            int32_t value = v;
            ar.ExchangeInt(v == 2 ? "Other" : "Key", &value, 0);
        }
        ar.CloseAfterSave();
    }
    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    int32_t value = 0;
    ar.ExchangeInt("Key", &value, 0);
    EXPECT_EQ(value, 1);
    ar.ExchangeInt("Key", &value, 0);
    EXPECT_EQ(value, 3) << "the cursor stood after the first Key";
    ar.ExchangeInt("Key", &value, 0);
    EXPECT_EQ(value, 1) << "the cursor wrapped round to the first child";
}

TEST(TreeArchiveTest, EmptyListsAndMissingContainers) {
    TempFolder folder;
    const std::string path = folder / "lists.tsp";
    Sample empty = FilledSample();
    empty.list.clear();
    Save(path, empty);

    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    Sample loaded;
    loaded.list = {9, 9};
    loaded.Serialize(ar);
    EXPECT_TRUE(loaded.list.empty());
    ASSERT_TRUE(ar.BeginObject("Sample"));
    EXPECT_FALSE(ar.BeginObject("NoList"));
    EXPECT_EQ(ar.Depth(), 2);
    ar.EndObject();
}

TEST(TreeArchiveTest, OnlyFilesThatBeginWithTheMainClassOpen) {
    TempFolder folder;
    const std::string path = folder / "a.tsp";
    Save(path, FilledSample());
    CTreeArchive other("Other", kLoadProject);
    EXPECT_FALSE(other.OpenForLoad(path));
    CTreeArchive ar("TSFile", kLoadProject);
    EXPECT_FALSE(ar.OpenForLoad(folder / "missing.tsp"));
    WriteBytes(folder / "empty.tsp", {});
    EXPECT_FALSE(ar.OpenForLoad(folder / "empty.tsp"));
    WriteBytes(folder / "text.tsp", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});
    EXPECT_FALSE(ar.OpenForLoad(folder / "text.tsp"));
    EXPECT_TRUE(ar.OpenForLoad(path));
}

TEST(TreeArchiveTest, KindMasks) {
    EXPECT_FALSE(CTreeArchive("TSFile", kSetupProgram).IsProjectFile());
    EXPECT_TRUE(CTreeArchive("TSFile", kLoadProject).IsProjectFile());
    EXPECT_TRUE(CTreeArchive("TSFile", kSaveProject).IsProjectFile());
    EXPECT_FALSE(CTreeArchive("TSFile", kBuildDatabase).IsProjectFile());
    EXPECT_TRUE(CTreeArchive("TSFile", kBuildDatabase).IsBuildingDatabase());
    EXPECT_EQ(CTreeArchive().MainClass(), "MainClass");
}

TEST(TreeArchiveTest, NestsUpToTheLimitAndRefusesDeeper) {
    TempFolder folder;
    const std::string path = folder / "deep.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        for (int level = 2; level <= CTreeArchive::kMaxDepth; ++level) {
            ar.BeginObject("L" + std::to_string(level));
        }
        int32_t leaf = 49;
        ar.ExchangeInt("Leaf", &leaf, 0);
        EXPECT_THROW(ar.BeginObject("TooDeep"), CTSException);
    }
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        for (int level = 2; level <= CTreeArchive::kMaxDepth; ++level) {
            ar.BeginObject("L" + std::to_string(level));
        }
        int32_t leaf = 49;
        ar.ExchangeInt("Leaf", &leaf, 0);
        ar.CloseAfterSave();
    }
    CTreeArchive ar("TSFile", kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    for (int level = 2; level <= CTreeArchive::kMaxDepth; ++level) {
        ASSERT_TRUE(ar.BeginObject("L" + std::to_string(level))) << level;
    }
    int32_t leaf = 0;
    ar.ExchangeInt("Leaf", &leaf, 0);
    EXPECT_EQ(leaf, 49);
}

TEST(TreeArchiveTest, RefusesKeysLongerThanTheLengthByteCanHold) {
    TempFolder folder;
    CTreeArchive ar("TSFile", kSaveProject);
    ar.OpenForSave(folder / "long.tsp");
    int32_t v = 0;
    ar.ExchangeInt(std::string(255, 'k'), &v, 0);
    EXPECT_THROW(ar.ExchangeInt(std::string(256, 'k'), &v, 0), CTSException);
}

TEST(TreeArchiveTest, EmbeddedFilesRoundTrip) {
    TempFolder folder;
    const std::string archive = folder / "db.dat";
    const std::string payload = folder / "TSFiles.cab";
    std::vector<uint8_t> content(150 * 1024);
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<uint8_t>(i % 253);
    }
    WriteBytes(payload, content);
    WriteBytes(folder / "Empty.txt", {});
    {
        CTreeArchive ar("TSFile", kBuildDatabase);
        ar.OpenForSave(archive);
        ar.ExchangeFile(payload);
        ar.ExchangeFile(folder / "Empty.txt");
        ar.ExchangeFile(folder / "Missing.bin");  // cannot be read: nothing written
        ar.CloseAfterSave();
    }
    platform::RemoveFile(payload);
    platform::RemoveFile(folder / "Empty.txt");

    CTreeArchive ar("TSFile", kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(archive));
    EXPECT_EQ(ar.ChildCount(), 2);
    ar.ExchangeFile(payload);
    ar.ExchangeFile(folder / "Empty.txt");
    ar.ExchangeFile(folder / "Missing.bin");
    int32_t after = 0;
    ar.ExchangeInt("NotThere", &after, 1);
    EXPECT_EQ(ReadBytes(payload), content);
    EXPECT_FALSE(platform::FileExists(folder / "Empty.txt")) << "a recorded size of 0 writes no file";
    EXPECT_FALSE(platform::FileExists(folder / "Missing.bin"));
    EXPECT_EQ(ar.Depth(), 1);
}

TEST(TreeArchiveTest, EmbeddedFileWithoutItsDataWritesNothing) {
    TempFolder folder;
    const std::string archive = folder / "db.dat";
    {
        CTreeArchive ar("TSFile", kBuildDatabase);
        ar.OpenForSave(archive);
        ar.BeginObject("Lost.bin");
        uint32_t size = 1000;
        ar.ExchangeInt("FileSize", &size, 0);
        std::vector<uint8_t> wrong(10, 1);
        ar.ExchangeValue("FileData", wrong.size(), wrong.data(), nullptr);
        ar.EndObject();
        ar.CloseAfterSave();
    }
    CTreeArchive ar("TSFile", kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(archive));
    ar.ExchangeFile(folder / "Lost.bin");
    EXPECT_FALSE(platform::FileExists(folder / "Lost.bin"));
}

TEST(TreeArchiveTest, AFailedSaveKeepsThePreviousFile) {
    TempFolder folder;
    const std::string path = folder / "keep.tsp";
    Save(path, FilledSample());
    const std::vector<uint8_t> before = ReadBytes(path);
    try {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        int32_t v = 1;
        ar.ExchangeInt("Half", &v, 0);
        throw CTSException("the model failed half-way");
    } catch (const CTSException&) {
    }
    EXPECT_EQ(ReadBytes(path), before);

    CTreeArchive ar("TSFile", kSaveProject);
    EXPECT_THROW(ar.OpenForSave(folder / "missing-folder\\x.tsp"), CTSException);
}

}  // namespace

// Objects large enough to be indexed answer every lookup as the round-robin scan does: the first child of
// the name from the cursor on, else the first before it, and a miss leaves the cursor where it was. Checked
// against a model of the scan with duplicate names, misses, and lookups in a random order.
TEST(TreeArchiveTest, IndexedObjectsFindWhatTheScanFinds) {
    for (const uint32_t children : {10u, CTreeArchive::kIndexedAbove + 1, 700u}) {
        SCOPED_TRACE(children);
        TempFolder folder;
        const std::string path = folder / "many.tsp";
        std::vector<std::string> names;
        uint32_t seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7FFF;
        };
        {
            CTreeArchive ar("TSFile", kSaveProject);
            ar.OpenForSave(path);
            ar.BeginObject("Object");
            for (uint32_t i = 0; i < children; ++i) {
                names.push_back("K" + std::to_string(next() % 23));
                int32_t value = static_cast<int32_t>(i);
                ar.ExchangeInt(names.back(), &value, 0);
            }
            ar.EndObject();
            ar.CloseAfterSave();
        }
        CTreeArchive ar("TSFile", kLoadProject);
        ASSERT_TRUE(ar.OpenForLoad(path));
        ASSERT_TRUE(ar.BeginObject("Object"));
        uint32_t cursor = 0;
        for (int lookup = 0; lookup < 3000; ++lookup) {
            const std::string name = "K" + std::to_string(next() % 26);  // K23..K25 are never there
            int32_t expected = -1;
            for (uint32_t step = 0; step < children; ++step) {
                const uint32_t at = (cursor + step) % children;
                if (names[at] == name) {
                    expected = static_cast<int32_t>(at);
                    cursor = (at + 1) % children;
                    break;
                }
            }
            int32_t value = 0;
            ar.ExchangeInt(name, &value, -1);
            ASSERT_EQ(value, expected) << "lookup " << lookup << " of " << name;
        }
    }
}

// An object padded with children that nobody asks for, with as many lookups of names it lacks (a list
// whose count is taken from the object): the entries examined grow with the object, not with its square.
TEST(TreeArchiveTest, PaddedObjectsLoadInLinearTime) {
    for (const uint32_t padding : {1000u, 8000u}) {
        SCOPED_TRACE(padding);
        TempFolder folder;
        const std::string path = folder / "padded.tsp";
        {
            CTreeArchive ar("TSFile", kSaveProject);
            ar.OpenForSave(path);
            ar.BeginObject("Files");
            for (uint32_t i = 0; i < padding; ++i) {
                uint8_t junk = 0;
                ar.ExchangeBool("J" + std::to_string(i), &junk, 0);
            }
            int32_t last = 7;
            ar.ExchangeInt("Last", &last, 0);
            ar.EndObject();
            ar.CloseAfterSave();
        }
        CTreeArchive ar("TSFile", kLoadProject);
        ASSERT_TRUE(ar.OpenForLoad(path));
        ASSERT_TRUE(ar.BeginObject("Files"));
        const int count = ar.ChildCount();
        for (int i = 0; i < count; ++i) {
            int32_t value = 0;
            ar.ExchangeInt("Arr" + std::to_string(i), &value, -1);
            ASSERT_EQ(value, -1);
        }
        int32_t last = 0;
        ar.ExchangeInt("Last", &last, 0);
        EXPECT_EQ(last, 7);
        ar.EndObject();
        EXPECT_LE(ar.ProbeCount(), 4u * padding) << "entries examined for " << padding << " children";
    }
}
