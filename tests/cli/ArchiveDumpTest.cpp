#include "cli/ArchiveDump.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ProjectNotes.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/TSException.h"
#include "tests/TestSupport.h"
#include "tests/model/FullProject.h"

using testing_support::TempFolder;
using testing_support::WriteBytes;

namespace {

TEST(ArchiveDumpTest, ShowsLeavesAsNumbersTextsGuidsOrBytes) {
    EXPECT_EQ(FormatLeafValue({1}, 1), "1");
    EXPECT_EQ(FormatLeafValue({0x00, 0x02, 0, 0}, 4), "512 (0x200)");
    EXPECT_EQ(FormatLeafValue({7, 0, 0, 0}, 4), "7");
    EXPECT_EQ(FormatLeafValue({0xFF, 0xFF, 0xFF, 0xFF}, 4), "-1 (0xFFFFFFFF)");
    EXPECT_EQ(FormatLeafValue({'a', '"', 'b', '\n'}, 5), "\"a\\\"b\\n\"... (5 bytes)");
    EXPECT_EQ(FormatLeafValue({'C', ':', '\\', 'x'}, 4), "\"C:\\\\x\"") << "four printable bytes read as text";
    EXPECT_EQ(FormatLeafValue({'C', ':', '\\', 0}, 4), "6044227 (0x5C3A43)");
    const std::vector<uint8_t> textLike = {'\n', 0x98, 0xDD, 0x9F, 'w', 0xA6, 0x88, 'I', 0xA2, 0xE1, 0x7E, 0x46, 0x8B,
                                           0x4F, 0xD0, 0x73};
    EXPECT_EQ(FormatLeafValue(textLike, 16, "ProductID"), "{9FDD980A-A677-4988-A2E1-7E468B4FD073}")
        << "a product GUID whose bytes all look like text";
    EXPECT_EQ(FormatLeafValue({'a', 'b', 'c'}, 3), "\"abc\"");
    EXPECT_EQ(FormatLeafValue({1, 2, 0}, 3), "3 bytes: 01 02 00");
    EXPECT_EQ(FormatLeafValue({0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0xCD, 0xAB, 1, 2, 3, 4, 5, 6, 7, 8}, 16),
              "{12345678-1234-abcd-0102-030405060708}");
}

TEST(ArchiveDumpTest, PrintsTheTreeWithCountsAndSizes) {
    TempFolder folder;
    const std::string path = folder / "p.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        uint32_t min95 = 0x200;
        ar.ExchangeInt("Min95", &min95, 0);
        ar.BeginObject("Actions");
        ar.EndObject();
        std::string author;
        ar.ExchangeString("Author", &author, "");
        std::string name = "Demo";
        ar.ExchangeString("Name", &name, "");
        ar.EndObject();
        ar.CloseAfterSave();
    }
    std::ostringstream out;
    DumpArchive(path, out);
    EXPECT_EQ(out.str(),
              "TSFile  (1 entry, 85 bytes)\n"
              "  TSDatabase  (4 entries, 66 bytes)\n"
              "    Min95 = 512 (0x200)\n"
              "    Actions  (empty)\n"
              "    Author  (empty)\n"
              "    Name = \"Demo\"\n");
}

TEST(ArchiveDumpTest, ExplainsWhatIsWrongWithAFile) {
    TempFolder folder;
    auto messageFor = [&](const std::vector<uint8_t>& bytes) {
        WriteBytes(folder / "bad.tsp", bytes);
        std::ostringstream out;
        try {
            DumpArchive(folder / "bad.tsp", out);
        } catch (const CTSException& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    EXPECT_NE(messageFor({1, 2, 3}).find("too short"), std::string::npos);
    EXPECT_NE(messageFor({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).find("not an archive"), std::string::npos);
    // Top entry claims 100 bytes, the file holds none of them.
    EXPECT_NE(messageFor({1, 'T', 1, 0, 0, 0, 100, 0, 0, 0}).find("damaged"), std::string::npos);
    // A complete entry followed by stray bytes.
    EXPECT_NE(messageFor({1, 'T', 0, 0, 0, 0, 0, 0, 0, 0, 0xEE}).find("1 byte follows"), std::string::npos);
    std::ostringstream out;
    EXPECT_THROW(DumpArchive(folder / "missing.tsp", out), CTSException);
}

void SaveWithKindForDump(CProject& project, const std::string& path) {
    CTreeArchive ar(kMainClass, kBuildDatabase);
    ar.OpenForSave(path);
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterSave();
}

std::string Dump(const std::string& path) {
    std::ostringstream out;
    DumpArchive(path, out);
    return out.str();
}

bool HasLine(const std::string& dump, const std::string& line) {
    std::istringstream lines(dump);
    for (std::string at; std::getline(lines, at);) {
        if (at.find_first_not_of(' ') != std::string::npos && at.substr(at.find_first_not_of(' ')) == line) {
            return true;
        }
    }
    return false;
}

TEST(ArchiveDumpTest, ReferencesAreFollowedByWhatTheyPointAt) {
    TempFolder folder;
    CProject project;
    testing_support::BuildFullProject(project, folder.Path());
    SaveProjectFile(project, folder / "full.tsp");
    const std::string dump = Dump(folder / "full.tsp");
    for (const char* line : {
             "Folder = \"0,0,0,\"  -> <Target Folder>\\Bin\\Plugins",
             "Folder = \"1,0,\"  -> <Program Menu Folder>\\Acme",
             "Target = 0  -> <Target Folder>\\Bin\\app.exe",
             "WkDir = \"0,1,\"  -> <Target Folder>\\Data",
             "IconFile = -1 (0xFFFFFFFF)  -> none",
             "Files[0]->Index = 5  -> <Source Folder>\\Docs\\manual.pdf",
             "RegValueKeys[0] = \"2,0,0,2,\"  -> HKEY_LOCAL_MACHINE\\Software\\Acme\\Settings",
             "RegValueKeys[0] = \"4,0,\"  -> Installation Type Dependant\\Acme User",
             "ReadmeFile = 3  -> <Target Folder>\\readme.txt",
             "Target = \"<program files folder>\\\\Acme\"",
         }) {
        EXPECT_TRUE(HasLine(dump, line)) << line;
    }
    // The setup database names its files by title.
    SaveWithKindForDump(project, folder / "tsdb.dat");
    EXPECT_TRUE(HasLine(Dump(folder / "tsdb.dat"), "RunApplication = 0  -> <Target Folder>\\Bin\\app.exe"));
}

TEST(ArchiveDumpTest, ReferencesThatDoNotResolveAndShortTextsAreShownAsSuch) {
    TempFolder folder;
    const std::string path = folder / "hand.tsp";
    {
        CTreeArchive ar("TSFile", kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        ar.BeginObject("Shortcuts");
        ar.BeginObject("Arr0");
        std::string text = "9,";
        ar.ExchangeString("Folder", &text, "");
        text = "A";
        ar.ExchangeString("Name", &text, "");
        int32_t target = 3;
        ar.ExchangeInt("Target", &target, -1);
        ar.CloseAfterSave();
    }
    const std::string dump = Dump(path);
    EXPECT_TRUE(HasLine(dump, "Folder = \"9,\"  -> does not resolve")) << dump;
    EXPECT_TRUE(HasLine(dump, "Name = \"A\"")) << "not 65";
    EXPECT_TRUE(HasLine(dump, "Target = 3  -> no such file"));
}

TEST(ArchiveDumpTest, FileTimesReadAsDates) {
    EXPECT_EQ(FileTimeText(0), "");
    EXPECT_EQ(FileTimeText(116444736000000000ULL), "1970-01-01 00:00:00 UTC");
    EXPECT_EQ(FileTimeText(125911584000000000ULL), "2000-01-01 00:00:00 UTC");
    EXPECT_EQ(FileTimeText(133485408000000000ULL + 36610000000ULL), "2024-01-01 01:01:01 UTC");
    EXPECT_EQ(FileTimeText(10000000ULL), "1601-01-01 00:00:01 UTC");
}

}  // namespace
