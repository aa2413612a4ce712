#include "author/AuthorRules.h"

#include <gtest/gtest.h>

using namespace author_rules;

namespace {

TEST(CommandLineTest, BarePathsEndAtSpaceCommaOrHyphen) {
    CommandLine line = ParseCommandLine("C:\\p\\demo.tsp -B");
    EXPECT_EQ(line.projectPath, "C:\\p\\demo.tsp");
    EXPECT_EQ(line.options, "-B");
    EXPECT_TRUE(line.BuildAndExit());
    EXPECT_EQ(ParseCommandLine("  --C:\\p\\demo.tsp,B").options, "B");
    EXPECT_EQ(ParseCommandLine("C:\\p\\demo.tsp").options, "");
    EXPECT_FALSE(ParseCommandLine("C:\\p\\demo.tsp").BuildAndExit());
    EXPECT_EQ(ParseCommandLine("C:\\p\\demo.tsp  \t").projectPath, "C:\\p\\demo.tsp");
}

TEST(CommandLineTest, QuotedPathsKeepTheirSpacesAndHyphens) {
    CommandLine line = ParseCommandLine("\"C:\\My Projects\\a-b, c.tsp\" -B");
    EXPECT_EQ(line.projectPath, "C:\\My Projects\\a-b, c.tsp");
    EXPECT_TRUE(line.BuildAndExit());
    EXPECT_EQ(ParseCommandLine("\"C:\\p\\demo.tsp\"").projectPath, "C:\\p\\demo.tsp");
    EXPECT_EQ(ParseCommandLine("\"C:\\p\\demo.tsp\"").options, "");
    EXPECT_EQ(ParseCommandLine("\"C:\\p\\demo.tsp").projectPath, "C:\\p\\demo.tsp") << "an unclosed quote";
}

TEST(CommandLineTest, AnEmptyLineNamesNoProject) {
    EXPECT_EQ(ParseCommandLine("").projectPath, "");
    EXPECT_EQ(ParseCommandLine("  \t - \"\" ").projectPath, "");
}

TEST(ShortenPathTest, KeepsTheDriveAndTheLastPartsWithinTheLimit) {
    EXPECT_EQ(ShortenPath("C:\\p\\demo.tsp"), "C:\\p\\demo.tsp");
    EXPECT_EQ(ShortenPath("C:\\Projects\\Customers\\Acme\\Setup\\acme.tsp"), "C:\\...\\Acme\\Setup\\acme.tsp");
    EXPECT_EQ(ShortenPath("C:\\Projects\\Customers\\Acme\\Setup\\a-rather-long-name.tsp"),
              "C:\\...\\a-rather-long-name.tsp");
    const std::string longName = "C:\\x\\" + std::string(40, 'n') + ".tsp";
    EXPECT_EQ(ShortenPath(longName).size(), 30u);
    EXPECT_EQ(ShortenPath(longName).substr(27), "...");
    for (const std::string& path : {std::string("\\\\server\\share\\folder\\deeper\\project.tsp"),
                                    std::string("Z:\\home\\user\\work\\setups\\demo-project.tsp"), longName}) {
        EXPECT_LE(ShortenPath(path).size(), 30u) << path;
    }
}

TEST(RecentFilesTest, MostRecentFirstAtMostEightEachOnce) {
    RecentFiles recent;
    for (int i = 1; i <= 9; ++i) {
        recent.Add("C:\\p\\" + std::to_string(i) + ".tsp");
    }
    ASSERT_EQ(recent.Entries().size(), 8u);
    EXPECT_EQ(recent.Entries().front(), "C:\\p\\9.tsp");
    EXPECT_EQ(recent.Entries().back(), "C:\\p\\2.tsp") << "the ninth pushed the oldest out";
    recent.Add("c:\\P\\5.TSP");
    EXPECT_EQ(recent.Entries().front(), "c:\\P\\5.TSP");
    EXPECT_EQ(recent.Entries().size(), 8u);
    recent.Remove("C:\\p\\9.tsp");
    EXPECT_EQ(recent.Entries()[1], "C:\\p\\8.tsp");
    recent.Assign({"", "a", "A", "b", "c", "d", "e", "f", "g", "h", "i"});
    EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"}));
}

}  // namespace

namespace {

TEST(ProjectFormTest, TheExtensionTellsTheFormAndSaveAsGivesTheChosenTypeItsExtension) {
    EXPECT_EQ(FormOfPath("C:\\p\\demo.toml"), ProjectForm::kText);
    EXPECT_EQ(FormOfPath("C:\\p\\DEMO.TOML"), ProjectForm::kText);
    EXPECT_EQ(FormOfPath("C:\\p\\demo.tsp"), ProjectForm::kFile);
    EXPECT_EQ(FormOfPath("C:\\p.toml\\demo"), ProjectForm::kFile);
    EXPECT_EQ(FormOfPath("toml"), ProjectForm::kFile);
    EXPECT_EQ(SaveTypeOf(ProjectForm::kText), kSaveTypeText);
    EXPECT_EQ(SaveTypeOf(ProjectForm::kFile), kSaveTypeFile);

    struct Case {
        int type;
        const char* chosen;
        ProjectForm form;
        const char* path;
    };
    const Case cases[] = {
        {kSaveTypeText, "C:\\p\\demo.toml", ProjectForm::kText, "C:\\p\\demo.toml"},
        {kSaveTypeText, "C:\\p\\demo.TOML", ProjectForm::kText, "C:\\p\\demo.TOML"},
        {kSaveTypeText, "C:\\p\\demo", ProjectForm::kText, "C:\\p\\demo.toml"},
        // The type decides, not the name: a text file never ends in .tsp, nor a project file in .toml.
        {kSaveTypeText, "C:\\p\\demo.tsp", ProjectForm::kText, "C:\\p\\demo.toml"},
        {kSaveTypeText, "C:\\p\\demo.TSP", ProjectForm::kText, "C:\\p\\demo.toml"},
        {kSaveTypeText, "C:\\p\\demo.txt", ProjectForm::kText, "C:\\p\\demo.txt.toml"},
        {kSaveTypeFile, "C:\\p\\demo.tsp", ProjectForm::kFile, "C:\\p\\demo.tsp"},
        {kSaveTypeFile, "C:\\p\\demo.Tsp", ProjectForm::kFile, "C:\\p\\demo.Tsp"},
        {kSaveTypeFile, "C:\\p\\demo", ProjectForm::kFile, "C:\\p\\demo.tsp"},
        {kSaveTypeFile, "C:\\p\\demo.toml", ProjectForm::kFile, "C:\\p\\demo.tsp"},
        {kSaveTypeFile, "C:\\p.toml\\demo", ProjectForm::kFile, "C:\\p.toml\\demo.tsp"},
        {0, "C:\\p\\demo", ProjectForm::kFile, "C:\\p\\demo.tsp"},  // no type reported: the project file
    };
    for (const Case& c : cases) {
        const SaveChoice choice = ChooseSaveForm(c.type, c.chosen);
        EXPECT_EQ(choice.form, c.form) << c.chosen;
        EXPECT_EQ(choice.path, c.path) << c.chosen;
        EXPECT_EQ(FormOfPath(choice.path), choice.form) << "the saved file opens in its form: " << c.chosen;
    }
}

TEST(PlaceOnScreenTest, TheSavedPlaceIsKeptWithinTheScreen) {
    const Rect screen{0, 0, 1024, 738};  // a work area above a taskbar
    const struct {
        const char* what;
        Rect saved;
        bool placed;
        Rect expected;
    } cases[] = {
        {"on the screen: kept", {100, 50, 900, 650}, true, {100, 50, 900, 650}},
        {"past the right edge: moved back", {800, 50, 1500, 650}, true, {324, 50, 1024, 650}},
        {"on a screen now gone, left of this one", {-1700, 100, -900, 700}, true, {0, 100, 800, 700}},
        {"above the top: moved down", {100, -300, 900, 300}, true, {100, 0, 900, 600}},
        {"larger than the screen: shrunk to it", {-50, -50, 2000, 1500}, true, {0, 0, 1024, 738}},
        {"smaller than the window can be: grown", {100, 100, 200, 150}, true, {100, 100, 740, 580}},
        {"nothing saved", {0, 0, 0, 0}, false, {}},
        {"turned inside out", {500, 500, 100, 100}, false, {}},
    };
    for (const auto& c : cases) {
        Rect placed{-1, -1, -1, -1};
        EXPECT_EQ(PlaceOnScreen(c.saved, screen, 640, 480, &placed), c.placed) << c.what;
        if (c.placed) {
            EXPECT_EQ(placed, c.expected) << c.what;
        }
    }
    Rect placed;
    EXPECT_FALSE(PlaceOnScreen({0, 0, 800, 600}, {0, 0, 0, 0}, 640, 480, &placed)) << "no screen";
}

TEST(FrameLayoutTest, ListAndPageFollowTheWindowBelowTheToolbar) {
    // Designed: a client of 705 x 488 with the list at (6,32)-(111,481) and the page at (120,32)-(699,481).
    const Rect list{6, 32, 111, 481};
    const Rect area{120, 32, 699, 481};
    const struct {
        const char* what;
        int width, height, toolbar;
        Rect list, area;
    } cases[] = {
        {"as designed", 705, 488, 26, {6, 32, 111, 481}, {120, 32, 699, 481}},
        {"maximised", 1280, 980, 26, {6, 32, 111, 973}, {120, 32, 1274, 973}},
        {"a taller toolbar pushes both down", 1280, 980, 40, {6, 44, 111, 973}, {120, 44, 1274, 973}},
        {"smaller than designed keeps the designed boxes",
         400,
         300,
         26,
         {6, 32, 111, 481},
         {120, 32, 699, 481}},
    };
    for (const auto& c : cases) {
        const FrameBoxes boxes = FrameLayout(c.width, c.height, c.toolbar, list, area, 705, 488);
        EXPECT_EQ(boxes.list, c.list) << c.what;
        EXPECT_EQ(boxes.area, c.area) << c.what;
    }
}

}  // namespace
