// Interoperability with the platform's own cabinet.dll: it extracts the cabinets and sets that our
// engine writes, and our engine extracts the cabinets and sets that it writes, with times and the
// read-only, hidden, system and archive attributes.
#include <gtest/gtest.h>

#include <cstdio>

#include "cabinet/Cabinet.h"
#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"
#include "tests/cabinet/SystemCabinet.h"

using testing_support::TempFolder;

namespace {

struct Expected {
    std::string name;
    std::vector<uint8_t> content;
    uint32_t attributes;
    platform::FileTime time;
};

class SystemCabinet : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CreateFolder(temp_ / "src");
        platform::CreateFolder(temp_ / "src\\dir");
        // Wine reports the archive attribute for every file, so each file keeps it.
        Add("empty.txt", {}, platform::kAttributeArchive, 0x5A21);
        Add("dir\\text.txt", cabtest::TextBytes(400000, 1), platform::kAttributeArchive | platform::kAttributeHidden, 0x4A6C);
        Add("noise.bin", cabtest::RandomBytes(150000, 2), platform::kAttributeArchive | platform::kAttributeSystem, 0x3B21);
        Add("ro.bin", cabtest::RandomBytes(40000, 3), platform::kAttributeArchive | platform::kAttributeReadOnly, 0x5021);
    }

    void Add(const std::string& name, const std::vector<uint8_t>& content, uint32_t attributes, uint16_t date) {
        std::string path = temp_ / ("src\\" + name);
        cabtest::WriteFile(path, content);
        Expected e{name, content, attributes, {}};
        ASSERT_TRUE(platform::LocalDosDateTimeToFileTime(date, 0x6000, &e.time));
        ASSERT_TRUE(platform::SetFileTimes(path, e.time));
        ASSERT_TRUE(platform::SetFileAttributeBits(path, attributes));
        files_.push_back(e);
    }

    void ExpectExtracted(const std::string& folder) {
        for (const Expected& e : files_) {
            std::string path = folder + "\\" + e.name;
            SCOPED_TRACE(path);
            EXPECT_EQ(cabtest::ReadFile(path), e.content);
            platform::FileTime time = cabtest::LastWriteTime(path);
            EXPECT_EQ(time.dwLowDateTime, e.time.dwLowDateTime);
            EXPECT_EQ(time.dwHighDateTime, e.time.dwHighDateTime);
            uint32_t attributes = 0;
            ASSERT_TRUE(platform::GetFileAttributeBits(path, &attributes));
            EXPECT_EQ(attributes, e.attributes);
        }
    }

    // Our set, with its cabinets gathered in one folder as the system's reader expects them.
    std::string WriteOurs(const std::string& name, int32_t diskSize) {
        std::string base = temp_ / name;
        platform::CreateFolder(base);
        CCabinet cabinet(base, "Disk%d", diskSize > 0 ? "ours%d.cab" : "ours.cab", diskSize, 0);
        cabinet.Open();
        for (const Expected& e : files_) {
            cabinet.AddFile(temp_ / ("src\\" + e.name), e.name.c_str());
        }
        cabinet.Close();
        if (diskSize <= 0) {
            return base;
        }
        std::string flat = base + "-flat";
        platform::CreateFolder(flat);
        for (int n = 1; n <= cabinet.LastCabinet(); ++n) {
            std::string cab = "ours" + std::to_string(n) + ".cab";
            cabtest::WriteFile(flat + "\\" + cab, cabtest::ReadFile(base + "\\Disk" + std::to_string(n) + "\\" + cab));
        }
        EXPECT_GE(cabinet.LastCabinet(), 2);
        return flat;
    }

    std::vector<systemcab::Source> Sources() {
        std::vector<systemcab::Source> sources;
        for (const Expected& e : files_) {
            sources.push_back({temp_ / ("src\\" + e.name), e.name});
        }
        return sources;
    }

    void ExtractWithOurs(const std::string& cabinetPath, const std::string& target) {
        platform::CreateFolder(target);
        CCabinet cabinet(cabinetPath);
        cabinet.Open();
        cabinet.Extract(
            [&](int, const std::string&, char* path) {
                std::string full = target + "\\" + path;
                std::snprintf(path, CCabinet::kPathBuffer, "%s", full.c_str());
                return 1;
            },
            nullptr, nullptr);
        cabinet.Close();
    }

    TempFolder temp_;
    std::vector<Expected> files_;
};

TEST_F(SystemCabinet, ItExtractsOurCabinet) {
    std::string folder = WriteOurs("single", 0);
    platform::CreateFolder(temp_ / "out");
    ASSERT_TRUE(systemcab::Extract(folder, "ours.cab", temp_ / "out"));
    ExpectExtracted(temp_ / "out");
}

TEST_F(SystemCabinet, ItExtractsOurSpannedSets) {
    for (int32_t diskSize : {60000, 110000}) {
        SCOPED_TRACE(diskSize);
        std::string folder = WriteOurs("set" + std::to_string(diskSize), diskSize);
        std::string out = temp_ / ("out" + std::to_string(diskSize));
        platform::CreateFolder(out);
        ASSERT_TRUE(systemcab::Extract(folder, "ours1.cab", out));
        ExpectExtracted(out);
    }
}

TEST_F(SystemCabinet, WeExtractItsCabinet) {
    std::vector<std::string> written = systemcab::Write(temp_.Path(), "sys", Sources(), 0);
    ASSERT_EQ(written.size(), 1u);
    ExtractWithOurs(temp_ / written[0], temp_ / "out");
    ExpectExtracted(temp_ / "out");
}

TEST_F(SystemCabinet, WeExtractItsSpannedSets) {
    for (unsigned limit : {60000u, 110000u}) {
        SCOPED_TRACE(limit);
        std::string folder = temp_ / ("sys" + std::to_string(limit));
        platform::CreateFolder(folder);
        std::vector<std::string> written = systemcab::Write(folder, "sys", Sources(), limit);
        ASSERT_GE(written.size(), 2u);
        std::string out = temp_ / ("out" + std::to_string(limit));
        ExtractWithOurs(folder + "\\" + written[0], out);
        ExpectExtracted(out);
    }
}

}  // namespace
