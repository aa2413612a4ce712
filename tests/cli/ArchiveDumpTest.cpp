#include "cli/ArchiveDump.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/TreeArchive.h"
#include "platform/TSException.h"
#include "tests/TestSupport.h"

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

}  // namespace
