// Our own reader of PE version resources against the Windows version API, file by file, over the DLLs
// and programs that Wine ships (64-bit and, where present, 32-bit).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/FileInfo.h"
#include "platform/FindFiles.h"
#include "platform/PeVersion.h"

namespace {

TEST(PeVersionWinTest, OurReaderAgreesWithTheVersionApi) {
    const char* folders[] = {"Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows",
                             "Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\i386-windows"};
    int files = 0;
    int withVersion = 0;
    for (const char* folder : folders) {
        for (const platform::FoundEntry& entry : platform::FindFiles(std::string(folder) + "\\*.*")) {
            if (entry.isFolder) {
                continue;
            }
            const std::string path = std::string(folder) + "\\" + entry.name;
            uint32_t apiMS = 0;
            uint32_t apiLS = 0;
            uint32_t ourMS = 0;
            uint32_t ourLS = 0;
            const bool api = platform::GetFileVersion(path, &apiMS, &apiLS);
            const bool ours = platform::ReadPeFileVersion(path, &ourMS, &ourLS);
            ++files;
            withVersion += api ? 1 : 0;
            EXPECT_EQ(ours, api) << path;
            if (api && ours) {
                EXPECT_EQ(ourMS, apiMS) << path;
                EXPECT_EQ(ourLS, apiLS) << path;
            }
        }
    }
    EXPECT_GT(files, 300) << "Wine's DLL folder not found";
    EXPECT_GT(withVersion, 100);
}

}  // namespace
