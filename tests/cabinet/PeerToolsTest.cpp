// Interoperability with independent MS-CAB tools on Linux: cabextract and gcab read what we write, and
// we read what gcab writes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "cabinet/Cabinet.h"
#include "tests/TestSupport.h"
#include "tests/cabinet/CabTestSupport.h"

using testing_support::TempFolder;

namespace {

struct ShellRun {
    int status = -1;
    std::string output;
};

ShellRun Shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
        run.output.append(buffer, n);
    }
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Native(const std::string& modelPath) { return "'" + platform::ToNativePath(modelPath) + "'"; }

class PeerTools : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Shell("command -v cabextract").status, 0) << "cabextract is not installed";
        ASSERT_EQ(Shell("command -v gcab").status, 0) << "gcab is not installed";
        platform::CreateFolder(temp_ / "src");
        platform::CreateFolder(temp_ / "src\\dir");
        files_ = {{"empty.txt", {}},
                  {"dir\\text.txt", cabtest::TextBytes(400000, 1)},
                  {"noise.bin", cabtest::RandomBytes(150000, 2)},
                  {"block.bin", cabtest::RandomBytes(32768, 3)},
                  {"dir\\small.txt", cabtest::TextBytes(77, 4)}};
        for (const auto& f : files_) {
            cabtest::WriteFile(temp_ / ("src\\" + f.name), f.content);
        }
    }

    // Writes the files with CCabinet into temp\name; disk folders when diskSize > 0.
    int Write(const std::string& name, int32_t diskSize) {
        CCabinet cabinet(temp_ / name, "Disk%d", diskSize > 0 ? "part%d.cab" : "all.cab", diskSize, 0);
        cabinet.Open();
        for (const auto& f : files_) {
            cabinet.AddFile(temp_ / ("src\\" + f.name), f.name.c_str());
        }
        cabinet.Close();
        return cabinet.LastCabinet();
    }

    void ExpectSameFiles(const std::string& folder) {
        for (const auto& f : files_) {
            std::string path = folder + "\\" + f.name;
            EXPECT_EQ(cabtest::ReadFile(path), f.content) << path;
        }
    }

    TempFolder temp_;
    std::vector<cabtest::InputFile> files_;
};

TEST_F(PeerTools, CabextractAndGcabReadOurSingleCabinet) {
    platform::CreateFolder(temp_ / "one");
    Write("one", 0);
    ShellRun test = Shell("cabextract -t " + Native(temp_ / "one\\all.cab"));
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_NE(test.output.find("All done, no errors"), std::string::npos) << test.output;

    ShellRun extract = Shell("cabextract -q -d " + Native(temp_ / "byCabextract") + " " + Native(temp_ / "one\\all.cab"));
    ASSERT_EQ(extract.status, 0) << extract.output;
    ExpectSameFiles(temp_ / "byCabextract");

    ShellRun list = Shell("gcab -t " + Native(temp_ / "one\\all.cab"));
    ASSERT_EQ(list.status, 0) << list.output;
    for (const auto& f : files_) {
        EXPECT_NE(list.output.find(f.name + "\n"), std::string::npos) << f.name << " not in\n" << list.output;
    }
    platform::CreateFolder(temp_ / "byGcab");
    ShellRun gcab = Shell("gcab -x -C " + Native(temp_ / "byGcab") + " " + Native(temp_ / "one\\all.cab"));
    ASSERT_EQ(gcab.status, 0) << gcab.output;
    ExpectSameFiles(temp_ / "byGcab");
}

TEST_F(PeerTools, CabextractReadsOurSpannedSets) {
    for (int32_t diskSize : {60000, 97000, 150000}) {
        SCOPED_TRACE("disk size " + std::to_string(diskSize));
        std::string name = "set" + std::to_string(diskSize);
        platform::CreateFolder(temp_ / name);
        int cabinets = Write(name, diskSize);
        ASSERT_GE(cabinets, 2);
        // cabextract joins a set whose cabinets lie in one folder.
        std::string flat = temp_ / (name + "-flat");
        platform::CreateFolder(flat);
        for (int n = 1; n <= cabinets; ++n) {
            std::string cab = "part" + std::to_string(n) + ".cab";
            cabtest::WriteFile(flat + "\\" + cab, cabtest::ReadFile(temp_ / (name + "\\Disk" + std::to_string(n) + "\\" + cab)));
        }
        ShellRun test = Shell("cabextract -t " + Native(flat + "\\part1.cab"));
        EXPECT_EQ(test.status, 0) << test.output;
        std::string out = temp_ / (name + "-out");
        ShellRun extract = Shell("cabextract -q -d " + Native(out) + " " + Native(flat + "\\part1.cab"));
        ASSERT_EQ(extract.status, 0) << extract.output;
        ExpectSameFiles(out);
    }
}

TEST_F(PeerTools, CabextractKeepsTheStoredTimes) {
    platform::FileTime time;
    ASSERT_TRUE(platform::LocalDosDateTimeToFileTime(0x4A6C, 0x59BA, &time));  // 2017-03-12 11:13:52
    ASSERT_TRUE(platform::SetFileTimes(temp_ / "src\\noise.bin", time));
    platform::CreateFolder(temp_ / "one");
    Write("one", 0);
    ShellRun extract = Shell("cabextract -q -d " + Native(temp_ / "out") + " " + Native(temp_ / "one\\all.cab"));
    ASSERT_EQ(extract.status, 0) << extract.output;
    platform::FileTime extracted = cabtest::LastWriteTime(temp_ / "out\\noise.bin");
    EXPECT_EQ(extracted.dwLowDateTime, time.dwLowDateTime);
    EXPECT_EQ(extracted.dwHighDateTime, time.dwHighDateTime);
}

TEST_F(PeerTools, WeReadCabinetsWrittenByGcab) {
    for (const char* mode : {"-c -z", "-c"}) {
        SCOPED_TRACE(mode);
        std::string cab = temp_ / "gcab.cab";
        platform::RemoveFile(cab);
        ShellRun make = Shell("cd " + Native(temp_ / "src") + " && gcab " + mode + " " + Native(cab) +
                         " empty.txt dir/text.txt noise.bin block.bin dir/small.txt");
        ASSERT_EQ(make.status, 0) << make.output;
        std::string out = temp_ / "fromGcab";
        platform::RemoveTree(out);
        platform::CreateFolder(out);
        CCabinet cabinet(cab);
        cabinet.Open();
        cabinet.Extract(
            [&](int, const std::string&, char* path) {
                std::string target = out + "\\" + path;
                std::snprintf(path, CCabinet::kPathBuffer, "%s", target.c_str());
                return 1;
            },
            nullptr, nullptr);
        cabinet.Close();
        ExpectSameFiles(out);
    }
}

}  // namespace
