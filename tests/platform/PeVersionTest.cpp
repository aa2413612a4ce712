#include "platform/PeVersion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/FileInfo.h"
#include "tests/PeBuilder.h"
#include "tests/TestSupport.h"

using testing_support::BuildPe;
using testing_support::PeLayout;

namespace {

bool VersionOf(const std::vector<uint8_t>& bytes, uint32_t* ms, uint32_t* ls) {
    platform::MemoryByteSource source(bytes.data(), bytes.size());
    return platform::ReadPeFileVersion(source, ms, ls);
}

TEST(PeVersionTest, ReadsTheFixedVersionOf32And64BitFiles) {
    for (bool plus : {false, true}) {
        PeLayout layout;
        layout.pe32Plus = plus;
        layout.versionMS = 0x00050001;
        layout.versionLS = 0x0A280002;
        uint32_t ms = 0;
        uint32_t ls = 0;
        ASSERT_TRUE(VersionOf(BuildPe(layout), &ms, &ls)) << (plus ? "PE32+" : "PE32");
        EXPECT_EQ(ms, 0x00050001u);
        EXPECT_EQ(ls, 0x0A280002u);
    }
}

TEST(PeVersionTest, FilesWithoutVersionResourceKeepTheCallersValues) {
    PeLayout layout;
    layout.withVersion = false;
    uint32_t ms = 7;
    uint32_t ls = 8;
    EXPECT_FALSE(VersionOf(BuildPe(layout), &ms, &ls));
    EXPECT_FALSE(VersionOf({'M', 'Z'}, &ms, &ls));
    EXPECT_FALSE(VersionOf({}, &ms, &ls));
    const std::string text = "just some text, not a program at all, but long enough for a DOS header......";
    EXPECT_FALSE(VersionOf(std::vector<uint8_t>(text.begin(), text.end()), &ms, &ls));
    EXPECT_EQ(ms, 7u);
    EXPECT_EQ(ls, 8u);
}

TEST(PeVersionTest, EveryTruncationGivesNoVersion) {
    const std::vector<uint8_t> pe = BuildPe(PeLayout());
    for (size_t length = 0; length < pe.size(); ++length) {
        std::vector<uint8_t> cut(pe.begin(), pe.begin() + static_cast<long>(length));
        uint32_t ms = 0;
        uint32_t ls = 0;
        EXPECT_FALSE(VersionOf(cut, &ms, &ls)) << "cut at " << length;
    }
}

TEST(PeVersionTest, HostileFieldsAreCheckedBeforeUse) {
    using testing_support::Put16;
    using testing_support::Put32;
    const size_t coff = testing_support::kPeHeaderOffset + 4;
    const size_t optional = coff + 20;
    const size_t section = optional + 224;
    const size_t r = testing_support::kResourceFileOffset;
    const size_t v = testing_support::kVersionBlockOffset;
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
        size_t alsoAt = 0;  // a second 32-bit field to set, when not 0
        uint32_t alsoValue = 0;
    };
    const Damage damages[] = {
        {"PE header far past the end", 0x3C, 0xFFFFFFF0u, true},
        {"wrong PE signature", testing_support::kPeHeaderOffset, 0x00004551, true},
        {"unknown optional header magic", optional, 0x30B, false},
        {"optional header too small for the resource directory", coff + 16, 100, false},
        {"two data directories only", optional + 92, 2, true},
        {"sections listed far past the end, none of them holding the resources", coff + 2, 0xFFFF, false,
         section + 12, 0x5000},
        {"resource directory at an address no section holds", optional + 96 + 16, 0x7FFFF000, true},
        {"section raw data past the end", section + 20, 0xFFFFFF00u, true},
        {"huge entry count in the root directory, no version among them", r + 14, 0xFFFF, false, r + 16, 6},
        {"subdirectory past the end", r + 20, 0x80000000u | 0x7FFFFFF0u, true},
        {"name level points to a data entry", r + 0x18 + 20, 0x30, true},
        {"language level points to a directory", r + 0x30 + 20, 0x80000000u | 0x48, true},
        {"data at an address no section holds", r + 0x48, 0x90000000u, true},
        {"resource smaller than its block", r + 0x48 + 4, 50, true},
        {"block longer than the resource", v, 0xFFFF, false},
        {"block too short for its key", v, 8, false},
        {"value length too short", v + 2, 20, false},
        {"wrong fixed-information signature", v + 40, 0x12345678, true},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> pe = BuildPe(PeLayout());
        if (damage.wide) {
            Put32(pe, damage.at, damage.value);
        } else {
            Put16(pe, damage.at, damage.value);
        }
        if (damage.alsoAt != 0) {
            Put32(pe, damage.alsoAt, damage.alsoValue);
        }
        uint32_t ms = 0;
        uint32_t ls = 0;
        EXPECT_FALSE(VersionOf(pe, &ms, &ls)) << damage.what;
    }
}

TEST(PeVersionTest, ReadsTheFileNamedByAPath) {
    testing_support::TempFolder folder;
    PeLayout layout;
    layout.pe32Plus = true;
    layout.versionMS = 0x00020003;
    layout.versionLS = 0;
    testing_support::WriteBytes(folder / "v.dll", BuildPe(layout));
    uint32_t ms = 0;
    uint32_t ls = 1;
    ASSERT_TRUE(platform::ReadPeFileVersion(folder / "v.dll", &ms, &ls));
    EXPECT_EQ(ms, 0x00020003u);
    EXPECT_EQ(ls, 0u);
    EXPECT_FALSE(platform::ReadPeFileVersion(folder / "missing.dll", &ms, &ls));
}

#ifndef _WIN32
// The versions that the Windows version API gives for the DLLs that Wine ships, listed by
// tests/tools/list_file_versions under Wine; our reader must give the same for every file of the list
// that is on this machine unchanged (same size).
TEST(PeVersionTest, AgreesWithTheWindowsApiOnWinesDlls) {
    const char* data = std::getenv("TESSARO_TEST_DATA");
    ASSERT_NE(data, nullptr);
    std::ifstream list(std::string(data) + "/pe-versions-wine.txt");
    ASSERT_TRUE(list) << "missing list of expected versions";
    std::string line;
    int compared = 0;
    int withVersion = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string path;
        uint64_t size = 0;
        std::string ms;
        std::string ls;
        fields >> path >> size >> ms >> ls;
        platform::FileInfo info;
        const std::string modelPath = platform::ToModelPath(path);
        if (!platform::GetFileInfo(modelPath, &info) || info.size != size) {
            continue;
        }
        uint32_t gotMS = 0;
        uint32_t gotLS = 0;
        const bool found = platform::GetFileVersion(modelPath, &gotMS, &gotLS);
        ++compared;
        if (ms == "none") {
            EXPECT_FALSE(found) << path;
            continue;
        }
        ++withVersion;
        EXPECT_TRUE(found) << path;
        EXPECT_EQ(gotMS, std::strtoul(ms.c_str(), nullptr, 16)) << path;
        EXPECT_EQ(gotLS, std::strtoul(ls.c_str(), nullptr, 16)) << path;
    }
    if (compared < 100) {
        GTEST_SKIP() << "only " << compared << " files of the list are on this machine as listed (another Wine?)";
    }
    EXPECT_GT(withVersion, 100);
}
#endif

}  // namespace
