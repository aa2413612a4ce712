// Damaged and hostile cabinets: every one is refused with the right FDI error, without crashing, and
// no name that could leave the destination folder ever reaches the caller.
#include <gtest/gtest.h>

#include <cstring>

#include "cabinet/CabFormat.h"
#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"

using testing_support::TempFolder;

namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

class Damage : public ::testing::Test {
protected:
    void SetUp() override {
        // Two folders (threshold 60000), three files with eight-letter names.
        cabtest::WriteOptions options;
        options.folderThreshold = 60000;
        cabtest::WriteSet(temp_.Path(),
                          {{"aaaaaaaa", cabtest::TextBytes(50000, 1)},
                           {"bbbbbbbb", cabtest::RandomBytes(40000, 2)},
                           {"cccccccc", cabtest::TextBytes(3000, 3)}},
                          options);
        good_ = cabtest::ReadFile(temp_ / "set1.cab");
        ASSERT_EQ(good_[0x1A], 2);  // two folders
    }

    // Extracts a changed copy of the cabinet and returns the FDI error (0 when it extracted).
    int Try(const std::vector<uint8_t>& bytes) {
        cabtest::WriteFile(temp_ / "bad.cab", bytes);
        cabtest::ExtractResult r = cabtest::Extract(temp_.Path(), "bad.cab");
        for (const auto& n : r.notifications) {
            if (n.type == cab::fdintCOPY_FILE) {
                EXPECT_TRUE(cab::format::IsSafeFileName(n.name)) << n.name;
            }
        }
        return r.ok ? 0 : r.error;
    }

    size_t FilesAt() const { return Get32(good_, 0x10); }
    size_t NameAt(int index) const { return FilesAt() + index * (16 + 9) + 16; }
    size_t FolderAt(int index) const { return 36 + 8 * index; }
    size_t FirstData() const { return Get32(good_, FolderAt(0)); }

    TempFolder temp_;
    std::vector<uint8_t> good_;
};

TEST_F(Damage, TheUndamagedCabinetExtracts) { EXPECT_EQ(Try(good_), 0); }

TEST_F(Damage, EveryTruncationIsRefused) {
    for (size_t length = 0; length < good_.size(); length += 97) {
        std::vector<uint8_t> cut(good_.begin(), good_.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_NE(Try(cut), 0) << "truncated to " << length;
    }
}

TEST_F(Damage, BytesAppendedAfterTheCabinetAreIgnored) {
    std::vector<uint8_t> longer = good_;
    longer.insert(longer.end(), 1000, 0xAB);
    EXPECT_EQ(Try(longer), 0);
}

TEST_F(Damage, HeaderFaults) {
    auto changed = [&](auto change) {
        std::vector<uint8_t> b = good_;
        change(b);
        return Try(b);
    };
    EXPECT_EQ(changed([](auto& b) { b[0] = 'X'; }), cab::FDIERROR_NOT_A_CABINET);
    EXPECT_EQ(changed([](auto& b) { b[0x19] = 2; }), cab::FDIERROR_UNKNOWN_CABINET_VERSION);
    EXPECT_EQ(changed([](auto& b) { Put16(b, 0x1A, 0); }), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(changed([](auto& b) { Put16(b, 0x1A, 60000); }), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(changed([](auto& b) { Put16(b, 0x1C, 0xFFFF); }), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(changed([](auto& b) { Put32(b, 0x10, 0xFFFFFFF0); }), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(changed([](auto& b) { Put32(b, 0x08, 0x7FFFFFFF); }), cab::FDIERROR_CORRUPT_CABINET);
    // A reserve area claimed but larger than the format allows.
    EXPECT_EQ(changed([](auto& b) { Put16(b, 0x1E, 4); }), cab::FDIERROR_CORRUPT_CABINET);
}

TEST_F(Damage, FolderFaults) {
    std::vector<uint8_t> b = good_;
    Put32(b, FolderAt(1), static_cast<uint32_t>(good_.size()) + 100);
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put16(b, FolderAt(0) + 4, 1);  // fewer blocks than its files need
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put16(b, FolderAt(0) + 6, cab::tcompTYPE_LZX);
    EXPECT_EQ(Try(b), cab::FDIERROR_BAD_COMPR_TYPE);
}

TEST_F(Damage, FileRecordFaults) {
    auto withName = [&](int index, const char* name) {
        std::vector<uint8_t> b = good_;
        std::memcpy(&b[NameAt(index)], name, 8);
        return Try(b);
    };
    EXPECT_EQ(withName(1, "..\\aaaaa"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(1, "aa\\..\\bb"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(1, "../aaaaa"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(1, "C:aaaaaa"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(1, "\\aaaaaaa"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(1, "/aaaaaaa"), cab::FDIERROR_CORRUPT_CABINET);
    EXPECT_EQ(withName(2, "aaa\\\\aaa"), cab::FDIERROR_CORRUPT_CABINET);

    std::vector<uint8_t> b = good_;
    b[NameAt(0) + 8] = 'x';  // no terminating NUL where the name should end: the next record is misread
    EXPECT_NE(Try(b), 0);
    b = good_;
    Put16(b, NameAt(1) - 8, 7);  // iFolder beyond the folders
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put16(b, NameAt(1) - 8, 0xFFFD);  // continued from a previous cabinet that the header does not name
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put32(b, NameAt(0) - 16, 0x7FFFFFFF);  // size past the largest folder
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put32(b, NameAt(0) - 16, 60000);  // overlaps the next file of its folder
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
}

TEST_F(Damage, DataFaults) {
    std::vector<uint8_t> b = good_;
    b[FirstData() + 20] ^= 0x55;
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);  // the checksum catches it

    // Broken deflate data behind a correct checksum.
    b = good_;
    const size_t record = FirstData();
    const uint16_t cbData = static_cast<uint16_t>(b[record + 4] | (b[record + 5] << 8));
    const uint16_t cbUncomp = static_cast<uint16_t>(b[record + 6] | (b[record + 7] << 8));
    for (size_t i = 2; i < cbData; ++i) b[record + 8 + i] = 0xFF;
    Put32(b, record, cab::format::DataChecksum(&b[record + 8], cbData, cbUncomp));
    EXPECT_EQ(Try(b), cab::FDIERROR_MDI_FAIL);

    // A block claiming more than 32768 bytes, and a split block where the cabinet has no successor.
    b = good_;
    Put32(b, record, 0);
    Put16(b, record + 6, 40000);
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
    b = good_;
    Put32(b, record, 0);
    Put16(b, record + 6, 0);
    EXPECT_EQ(Try(b), cab::FDIERROR_CORRUPT_CABINET);
}

TEST(CabFormat, ChecksumOfTheReferenceExample) {
    const char* text = "Hello, world!\n";
    EXPECT_EQ(cab::format::DataChecksum(reinterpret_cast<const uint8_t*>(text), 14, 14), 0x7F2E1A4Cu);
}

TEST(CabFormat, SafeNames) {
    for (const char* name : {"a", "a.txt", "dir\\a.txt", "d\\e\\f", "..a", "a..", "a b"}) {
        EXPECT_TRUE(cab::format::IsSafeFileName(name)) << name;
    }
    for (const char* name : {"", "..", ".", "a\\..", "..\\a", "a/../b", "\\a", "/a", "C:\\a", "c:a", "a:b", "a\\\\b",
                             "a\\", "a\\.\\b", "a\tb"}) {
        EXPECT_FALSE(cab::format::IsSafeFileName(name)) << name;
    }
    EXPECT_FALSE(cab::format::IsSafeFileName(std::string(256, 'a')));
    EXPECT_TRUE(cab::format::IsPlainFileName("TSData2.cab"));
    EXPECT_FALSE(cab::format::IsPlainFileName("..\\TSData2.cab"));
    EXPECT_FALSE(cab::format::IsPlainFileName("Disk2\\TSData2.cab"));
}

}  // namespace
