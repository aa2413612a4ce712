#include "author/PageRules.h"

#include <gtest/gtest.h>

using namespace page_rules;

namespace {

TEST(TargetTest, LocationAndSubFolderJoinWithABackslash) {
    EXPECT_EQ(JoinTarget("<Program Files>", "Acme\\Tool"), "<Program Files>\\Acme\\Tool");
    EXPECT_EQ(JoinTarget("<Program Files>", ""), "<Program Files>");
    EXPECT_EQ(JoinTarget("", "Acme"), "Acme");
    TargetParts parts = SplitTarget("<Program Files>\\Acme\\Tool");
    EXPECT_EQ(parts.location, "<Program Files>");
    EXPECT_EQ(parts.subFolder, "Acme\\Tool");
    EXPECT_EQ(SplitTarget("<Windows Folder>").location, "<Windows Folder>");
    EXPECT_EQ(SplitTarget("").location, "");
    for (const char* target : {"<Program Files>\\Acme\\Tool", "<Desktop>", "C:\\x", ""}) {
        TargetParts p = SplitTarget(target);
        EXPECT_EQ(JoinTarget(p.location, p.subFolder), target);
    }
    EXPECT_EQ(LocationOf("Program Files"), "<Program Files>");
}

TEST(OsChoicesTest, CodesShowAsTheirChoicesAndBack) {
    EXPECT_EQ(Min95Choice(0x200), 1);
    EXPECT_EQ(Min95Choice(0x800), 3);
    EXPECT_EQ(Min95Choice(0), 0);
    EXPECT_EQ(Min95Choice(0x1234), 0) << "a code of no choice shows None";
    EXPECT_EQ(Min95Code(2), 0x400u);
    EXPECT_EQ(Min95Code(7), 0u);
    EXPECT_EQ(MinNTChoice(0x2004), 1);
    EXPECT_EQ(ServicePack(0x2004), 4);
    EXPECT_EQ(MinNTChoice(0x8002), 3);
    EXPECT_EQ(MinNTCode(1, 4), 0x2004u);
    EXPECT_EQ(MinNTCode(3, 0), 0x8000u);
    EXPECT_EQ(MinNTCode(0, 6), 0u) << "no minimum carries no service pack";
    EXPECT_EQ(Min95Choices().size(), 4u);
    EXPECT_EQ(MinNTChoices()[2], "2000");
}

TEST(SpecialFoldersTest, OffersOnlyTheFoldersTheProjectLacks) {
    EXPECT_EQ(SpecialFolderNames().size(), 14u);
    std::vector<std::string> offered = OfferedSpecialFolders({"Target Folder", "program files", "Hard Coded C:"}, false);
    EXPECT_EQ(offered.front(), "Windows Folder") << "no project folders, no Program Files";
    EXPECT_EQ(offered.back(), "Hard Coded") << "another drive can always be added";
    EXPECT_EQ(offered.size(), 10u);
    std::vector<std::string> all = OfferedSpecialFolders({"Target Folder"}, true);
    EXPECT_EQ(all.front(), "Source Folder");
    EXPECT_EQ(all.size(), 13u);
}

TEST(MediaTest, OnlyCdsAndUserDefinedDisksTakeAnAutorunFile) {
    EXPECT_EQ(MediaChoices()[2], "Single Executable file");
    EXPECT_TRUE(MediaTakesAutorun(0));
    EXPECT_FALSE(MediaTakesAutorun(1));
    EXPECT_FALSE(MediaTakesAutorun(2));
    EXPECT_TRUE(MediaTakesAutorun(kUserDefinedMedia));
}

TEST(ParseNumberTest, AcceptsWholeNumbersInRangeOnly) {
    long v = -1;
    EXPECT_TRUE(ParseNumber(" 6 ", 0, 255, &v));
    EXPECT_EQ(v, 6);
    EXPECT_FALSE(ParseNumber("256", 0, 255, &v));
    EXPECT_FALSE(ParseNumber("-1", 0, 255, &v));
    EXPECT_FALSE(ParseNumber("4a", 0, 255, &v));
    EXPECT_FALSE(ParseNumber("", 0, 255, &v));
    EXPECT_FALSE(ParseNumber("99999999999999999999", 0, 255, &v));
    EXPECT_TRUE(ParseNumber("-5", -10, 10, &v));
    EXPECT_EQ(v, -5);
}

}  // namespace
