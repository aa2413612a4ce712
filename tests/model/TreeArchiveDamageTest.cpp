// Archive files are not trusted: every damaged file is refused cleanly, never read outside its bounds.
#include <gtest/gtest.h>

#include <random>

#include "model/TreeArchive.h"
#include "platform/TSException.h"
#include "tests/TestSupport.h"

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

// One raw entry with explicit count and size fields, which need not agree with the payload.
Bytes RawEntry(const std::string& name, uint32_t count, uint32_t size, const Bytes& payload) {
    Bytes out;
    out.push_back(static_cast<uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    PutU32(out, count);
    PutU32(out, size);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Leaf(const std::string& name, const Bytes& payload) {
    return RawEntry(name, 0, static_cast<uint32_t>(payload.size()), payload);
}

Bytes Object(const std::string& name, const std::vector<Bytes>& children) {
    Bytes payload;
    for (const Bytes& child : children) {
        payload.insert(payload.end(), child.begin(), child.end());
    }
    return RawEntry(name, static_cast<uint32_t>(children.size()), static_cast<uint32_t>(payload.size()), payload);
}

// Reads everything in the file, as a tool that shows a whole file does.
void WalkChildren(CTreeArchive& ar) {
    for (int i = 0; i < ar.ChildCount(); ++i) {
        ArchiveEntry entry;
        ASSERT_TRUE(ar.PeekEntry(&entry));
        if (entry.count > 0) {
            ASSERT_TRUE(ar.BeginObject(entry.name));
            WalkChildren(ar);
            ar.EndObject();
        } else {
            ar.ReadLeaf(1 << 20);
        }
    }
}

enum class Outcome { NotArchive, Damaged, Loaded };

Outcome Load(const std::string& path) {
    CTreeArchive ar("TSFile", kLoadProject);
    try {
        if (!ar.OpenForLoad(path)) {
            return Outcome::NotArchive;
        }
        WalkChildren(ar);
        // Keyed lookups over the same (possibly damaged) structure.
        int32_t v = 0;
        std::string s;
        ar.ExchangeInt("Number", &v, 0);
        ar.ExchangeString("Text", &s, "");
        if (ar.BeginObject("Inner")) {
            ar.ExchangeInt("Deep", &v, 0);
            ar.EndObject();
        }
        return Outcome::Loaded;
    } catch (const CTSException& e) {
        EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
        return Outcome::Damaged;
    }
}

Bytes ValidFile() {
    return Object("TSFile", {Leaf("Number", {1, 0, 0, 0}), Leaf("Text", {'h', 'i'}),
                             Object("Inner", {Leaf("Deep", {2, 0, 0, 0}), Object("Empty", {})}),
                             Leaf("Blob", Bytes(40, 0xAA))});
}

class ArchiveDamageTest : public ::testing::Test {
protected:
    Outcome LoadBytes(const Bytes& bytes) {
        WriteBytes(path_, bytes);
        return Load(path_);
    }
    TempFolder folder_;
    std::string path_ = folder_ / "damaged.tsp";
};

TEST_F(ArchiveDamageTest, TheValidFileLoads) { EXPECT_EQ(LoadBytes(ValidFile()), Outcome::Loaded); }

TEST_F(ArchiveDamageTest, EveryTruncationIsRefused) {
    const Bytes valid = ValidFile();
    for (size_t length = 0; length < valid.size(); ++length) {
        Outcome outcome = LoadBytes(Bytes(valid.begin(), valid.begin() + static_cast<long>(length)));
        EXPECT_NE(outcome, Outcome::Loaded) << "truncated to " << length;
    }
}

TEST_F(ArchiveDamageTest, CountsAndSizesThatDoNotFitTheirParentAreRefused) {
    // A child claims more bytes than its parent holds.
    EXPECT_EQ(LoadBytes(Object("TSFile", {RawEntry("Text", 0, 1000, {'a', 'b'})})), Outcome::Damaged);
    // An object counts more children than its size can hold.
    EXPECT_EQ(LoadBytes(Object("TSFile", {RawEntry("Inner", 0xFFFFFFFF, 18, Leaf("Deep", {1, 2, 3, 4}))})),
              Outcome::Damaged);
    // An object counts two children but holds one.
    EXPECT_EQ(LoadBytes(Object("TSFile", {RawEntry("Inner", 2, 18, Leaf("Deep", {1, 2, 3, 4}))})),
              Outcome::Damaged);
    // The top entry claims more than the file.
    Bytes top = ValidFile();
    top[7 + 4] += 1;
    EXPECT_EQ(LoadBytes(top), Outcome::Damaged);
    // A name length that runs past the end of its parent.
    Bytes name = Object("TSFile", {Leaf("Number", {1, 0, 0, 0})});
    name[15] = 200;
    EXPECT_EQ(LoadBytes(name), Outcome::Damaged);
}

TEST_F(ArchiveDamageTest, NestingPastTheLimitIsRefused) {
    Bytes nested = Leaf("Leaf", {1});
    for (int level = 60; level >= 2; --level) {
        nested = Object("L" + std::to_string(level), {nested});
    }
    EXPECT_EQ(LoadBytes(Object("TSFile", {nested})), Outcome::Damaged);
}

TEST_F(ArchiveDamageTest, EveryCorruptedByteIsSurvived) {
    const Bytes valid = ValidFile();
    for (size_t at = 0; at < valid.size(); ++at) {
        for (uint8_t value : {0x00, 0x01, 0x7F, 0xFF}) {
            Bytes damaged = valid;
            damaged[at] = value;
            LoadBytes(damaged);  // must come back, with a result or a CTSException
        }
    }
}

TEST_F(ArchiveDamageTest, RandomBytesAreNotAnArchive) {
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        Bytes noise(1 + random() % 400);
        for (uint8_t& b : noise) {
            b = static_cast<uint8_t>(random());
        }
        EXPECT_NE(LoadBytes(noise), Outcome::Loaded);
        // The same noise behind a genuine signature.
        Bytes signed_ = {6, 'T', 'S', 'F', 'i', 'l', 'e'};
        signed_.insert(signed_.end(), noise.begin(), noise.end());
        LoadBytes(signed_);
    }
}

TEST_F(ArchiveDamageTest, AHostileEmbeddedFileSizeAllocatesNothing) {
    Bytes file = Object("TSFile", {Object("Big.bin", {Leaf("FileSize", {0xFF, 0xFF, 0xFF, 0xFF}),
                                                      Leaf("FileData", {1, 2, 3})})});
    WriteBytes(path_, file);
    CTreeArchive ar("TSFile", kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(path_));
    ar.ExchangeFile(folder_ / "Big.bin");
    EXPECT_FALSE(platform::FileExists(folder_ / "Big.bin"));
}

}  // namespace
