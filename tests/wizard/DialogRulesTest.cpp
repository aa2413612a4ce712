#include "setup/wizard/DialogRules.h"

#include <gtest/gtest.h>

using namespace dialog_rules;

namespace {

std::string Shown(const QuestionLayout& layout) {
    std::string text;
    for (const QuestionButton& b : layout.buttons) {
        text += b.visible ? "[" + b.text + "=" + std::to_string(b.result) + "]" : "[]";
    }
    return text;
}

TEST(QuestionBoxLayoutTest, EachTypeShowsItsButtonsWithTheirResults) {
    EXPECT_EQ(Shown(QuestionBoxLayout(0)), "[][][][Ok=1]");
    EXPECT_EQ(Shown(QuestionBoxLayout(1)), "[][][Ok=1][Cancel=2]");
    EXPECT_EQ(Shown(QuestionBoxLayout(2)), "[][][Yes=6][No=7]");
    EXPECT_EQ(Shown(QuestionBoxLayout(3)), "[Yes=6][No=7][Yes to all=10][No to all=11]");
}

TEST(QuestionBoxLayoutTest, BitsFourAndFiveChooseTheDefaultButton) {
    EXPECT_EQ(QuestionBoxLayout(0x13).defaultPosition, 1) << "No";
    EXPECT_EQ(QuestionBoxLayout(0x03).defaultPosition, 0);
    EXPECT_EQ(QuestionBoxLayout(0x33).defaultPosition, 3);
    EXPECT_EQ(QuestionBoxLayout(0x32).defaultPosition, 3);
    // A default position on a hidden button falls to the first shown one.
    EXPECT_EQ(QuestionBoxLayout(0x02).defaultPosition, 2);
    EXPECT_EQ(QuestionBoxLayout(0x10).defaultPosition, 3);
}

TEST(QuestionBoxLayoutTest, EscapeAnswersOnlyWhereAButtonMeansIt) {
    EXPECT_EQ(QuestionBoxLayout(0).escapeResult, 1);
    EXPECT_EQ(QuestionBoxLayout(1).escapeResult, 2);
    EXPECT_EQ(QuestionBoxLayout(2).escapeResult, 0);
    EXPECT_EQ(QuestionBoxLayout(0x13).escapeResult, 0);
    EXPECT_EQ(Shown(QuestionBoxLayout(0x0F)), "[][][][Ok=1]") << "an unknown type can still be dismissed";
}

TEST(FolderPathTest, SplitsAtBackslashesAndJoinsBack) {
    EXPECT_EQ(SplitFolderPath("C:\\Program Files\\Acme"), (std::vector<std::string>{"C:", "Program Files", "Acme"}));
    EXPECT_EQ(SplitFolderPath("C:\\"), (std::vector<std::string>{"C:"}));
    EXPECT_EQ(SplitFolderPath("C:\\\\a\\"), (std::vector<std::string>{"C:", "a"}));
    EXPECT_TRUE(SplitFolderPath("").empty());
    EXPECT_EQ(JoinFolderPath({"C:", "Program Files", "Acme"}), "C:\\Program Files\\Acme");
    EXPECT_EQ(JoinFolderPath({"C:"}), "C:");
}

TEST(FolderChooserPathTest, OkWithoutAChoiceKeepsThePathItOpenedOn) {
    EXPECT_EQ(ChosenOrKept("", "C:\\Program Files\\Foo"), "C:\\Program Files\\Foo");
    EXPECT_EQ(ChosenOrKept("D:\\Apps", "C:\\Program Files\\Foo"), "D:\\Apps");
    EXPECT_EQ(ChosenOrKept("", ""), "");
}

TEST(FolderChooserLayoutTest, KeepsTheTreeAndButtonsToTheEdges) {
    FolderChooserBoxes b = FolderChooserLayout(400, 300, 45, 11, 20, 40);
    EXPECT_EQ(b.tree, (Box{10, 40, 380, 210}));
    EXPECT_EQ(b.path, (Box{45, 11, 345, 20})) << "stretched to 10 from the right edge";
    EXPECT_EQ(b.newFolder, (Box{10, 265, 70, 25}));
    EXPECT_EQ(b.cancel, (Box{320, 265, 70, 25}));
    EXPECT_EQ(b.ok, (Box{240, 265, 70, 25}));
    FolderChooserBoxes tiny = FolderChooserLayout(10, 10, 45, 11, 20, 40);
    EXPECT_EQ(tiny.tree.width, 0);
    EXPECT_EQ(tiny.path.width, 0);
}

}  // namespace
