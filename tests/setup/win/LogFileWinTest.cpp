// The setup program's log file on the file system of the test's Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/main/LogFile.h"
#include "tests/TestSupport.h"

namespace {

using testing_support::TempFolder;
using testing_support::WriteBytes;

// Reads the file as a log viewer does: sharing it with the program that writes it.
std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot read " << path << " (" << GetLastError() << ")";
        return std::string();
    }
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got != 0) {
        text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}

// The line without its time stamp ("YYYY-MM-DD HH:MM:SS  "), which it checks.
std::string WithoutStamp(const std::string& line) {
    const char* shape = "dddd-dd-dd dd:dd:dd  ";
    for (size_t i = 0; shape[i] != '\0'; ++i) {
        const bool digit = line.size() > i && line[i] >= '0' && line[i] <= '9';
        if (shape[i] == 'd' ? !digit : line.size() <= i || line[i] != shape[i]) {
            ADD_FAILURE() << "no time stamp: " << line;
            return line;
        }
    }
    return line.substr(21);
}

TEST(LogFile, StampedLinesWithCrLfWrittenAFewTimesASecondWithoutByteOrderMark) {
    TempFolder temp;
    const std::string path = temp / "setup.log";
    WriteBytes(path, std::vector<uint8_t>(5000, 'x'));  // a file that is there is replaced
    uint64_t now = 50000;
    LogFile log([&] { return now; });
    std::string error;
    ASSERT_TRUE(log.Open(path, &error)) << error;
    EXPECT_EQ(log.Path(), path);
    log.Write("Folder made", "C:\\Program Files\\Widget");  // the first line at once
    EXPECT_EQ(ReadText(path).find("Folder made"), 21u);
    now += 150;
    log.Write("Failed", "Cannot Extract files!\n\nDisk full");  // waits for its time
    EXPECT_EQ(ReadText(path).find("Failed"), std::string::npos);
    now += 50;
    log.Write("Step", "Copying Files...");  // its time has come: both lines go
    // Another program may read the file meanwhile.
    const std::string early = ReadText(path);
    EXPECT_NE(early.find("Step: Copying Files...\r\n"), std::string::npos);
    log.Write("Exit code", "1603");
    EXPECT_EQ(ReadText(path).find("Exit code"), std::string::npos);
    log.Flush();  // before the run waits for a person
    EXPECT_NE(ReadText(path).find("Exit code: 1603\r\n"), std::string::npos);
    log.Write("Restart", "");  // waits: Close writes it
    log.Close();
    EXPECT_FALSE(log.IsOpen());

    const std::string text = ReadText(path);
    EXPECT_EQ(text.compare(0, early.size(), early), 0);
    EXPECT_EQ(text.substr(0, 2), "20");  // no byte-order mark before the first time stamp
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a line without CR LF: " << text.substr(start);
        lines.push_back(WithoutStamp(text.substr(start, end - start)));
        start = end + 2;
    }
    const std::vector<std::string> expected{"Folder made: C:\\Program Files\\Widget",
                                            "Failed: Cannot Extract files! Disk full", "Step: Copying Files...",
                                            "Exit code: 1603", "Restart"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(early.find("Exit code"), std::string::npos);
    EXPECT_NE(early.find("Failed: Cannot Extract files! Disk full\r\n"), std::string::npos);
}

TEST(LogFile, AFileThatCannotBeMadeSaysWhy) {
    TempFolder temp;
    LogFile log;
    std::string error;
    EXPECT_FALSE(log.Open(temp / "missing folder\\setup.log", &error));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_NE(error, "");
    log.Write("Failed", "nowhere to go");  // does nothing
    EXPECT_FALSE(log.Open("", &error));
}

TEST(LogFile, AnsiTextBecomesUtf8) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the expected bytes are those of code page 1252; this system has " << GetACP();
    }
    const struct {
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"", ""},
        {"plain ASCII", "plain ASCII"},
        {"\xe9", "\xc3\xa9"},          // e acute
        {"\x80 5", "\xe2\x82\xac 5"},  // the euro sign
        {"Gr\xfc\xdf"
         "e",
         "Gr\xc3\xbc\xc3\x9f"
         "e"},  // u umlaut, sharp s
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.ansi;
    }
}

}  // namespace
