#include <gtest/gtest.h>

#include "author/UserInterfaceRules.h"
#include "model/UISettings.h"

using namespace ui_rules;

namespace {

TEST(UserInterfaceCategoriesTest, EachCategoryShowsExactlyItsControls) {
    const struct {
        int category;
        const char* name;
        int page;
        unsigned controls;
        const char* showPageText;
    } kCases[] = {
        {0, "General", -1, kGeneralControls, nullptr},
        {1, "Welcome", kWelcomePage, kBannerControls, nullptr},
        {2, "License Agreement", kLicensePage, kBannerControls | kShowPageBox | kLicenseControls,
         "Show License Agreement Dialog box"},
        {3, "User Information", kUserInformationPage, kBannerControls | kShowPageBox | kUserQuestions,
         "Show User Information Dialog box"},
        {4, "Destination Folder", kDestinationPage, kBannerControls | kShowPageBox | kDestinationQuestions,
         "Show Destination Folder Dialog box"},
        {5, "Setup Type", kSetupTypePage, kBannerControls | kShowPageBox, "Show Setup Type Dialog box"},
        {6, "Features", kFeaturesPage, kBannerControls | kShowPageBox, "Show Features Dialog box"},
        {7, "Confirmation", kConfirmationPage, kBannerControls | kShowPageBox,
         "Show Confirmation Dialog box"},
        {8, "Progress", kProgressPage, kBannerControls, nullptr},
        {9, "Finish", kFinishPage, kBannerControls | kFinishControls, nullptr},
        {10, "", -1, 0, nullptr},
        {-1, "", -1, 0, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.category);
        EXPECT_EQ(CategoryName(c.category), c.name);
        EXPECT_EQ(PageOfCategory(c.category), c.page);
        EXPECT_EQ(ControlsOf(c.category), c.controls);
        if (c.page >= 0) {
            const char* text = ShowPageText(c.page);
            EXPECT_STREQ(text != nullptr ? text : "(none)",
                         c.showPageText != nullptr ? c.showPageText : "(none)");
            EXPECT_EQ(IsAlwaysShown(c.page), c.showPageText == nullptr)
                << "a page without its box is always shown";
        }
    }
    EXPECT_EQ(ShowPageText(kWizardPageCount), nullptr);
    EXPECT_EQ(ShowPageText(-1), nullptr);
}

TEST(UserInterfaceFinishListsTest, OptionsAndTheRestartQuestionShowAsTheirEntriesAndBack) {
    EXPECT_EQ(RunOptionChoices(),
              (std::vector<std::string>{"Do not run any application", "Ask the user (default: Unchecked)",
                                        "Ask the user (default: Checked)"}));
    EXPECT_EQ(ReadmeOptionChoices(),
              (std::vector<std::string>{"Do not show", "Ask the user (default: Unchecked)",
                                        "Ask the user (default: Checked)"}));
    EXPECT_EQ(RestartChoices(),
              (std::vector<std::string>{"Ask the user", "Ask the user, only if it is needed"}));
    const struct {
        int32_t option;
        int choice;
    } kOptions[] = {{kDoNotOffer, 0}, {kAskUnchecked, 1}, {kAskChecked, 2}, {3, -1}, {-1, -1}, {1 << 30, -1}};
    for (const auto& c : kOptions) {
        SCOPED_TRACE(c.option);
        EXPECT_EQ(FinishOptionChoice(c.option), c.choice) << "a value of no entry shows none";
        int32_t back = 77;
        EXPECT_EQ(FinishOptionOf(c.choice, &back), c.choice >= 0);
        EXPECT_EQ(back, c.choice >= 0 ? c.option : 77) << "no entry stores nothing";
    }
    EXPECT_EQ(RestartChoice(true), 0);
    EXPECT_EQ(RestartChoice(false), 1);
    EXPECT_TRUE(ShowRestartOf(0));
    EXPECT_FALSE(ShowRestartOf(1));
}

TEST(UserInterfaceTypeTest, TheTwoRadioButtonsGiveTheTypeAndAClickOnTheCheckedOneClearsIt) {
    const struct {
        int32_t type;
        bool silent, unattended;
    } kButtons[] = {{kSilentSetup, true, false},
                    {kUnattendedSetup, false, true},
                    {kFullWizard, false, false},
                    {9, false, false}};
    for (const auto& c : kButtons) {
        SCOPED_TRACE(c.type);
        const UITypeButtons buttons = ButtonsOf(c.type);
        EXPECT_EQ(buttons.silent, c.silent);
        EXPECT_EQ(buttons.unattended, c.unattended);
    }
    EXPECT_EQ(UITypeOf({false, false}), kFullWizard);
    EXPECT_EQ(UITypeOf({true, true}), kSilentSetup) << "silent wins";

    const struct {
        int32_t before;
        bool silentClicked;
        int32_t after;
    } kClicks[] = {
        {kFullWizard, true, kSilentSetup},
        {kFullWizard, false, kUnattendedSetup},
        {kSilentSetup, true, kFullWizard},
        {kUnattendedSetup, false, kFullWizard},
        {kSilentSetup, false, kUnattendedSetup},
        {kUnattendedSetup, true, kSilentSetup},
        {9, true, kSilentSetup},
        {9, false, kUnattendedSetup},
    };
    for (const auto& c : kClicks) {
        SCOPED_TRACE(std::to_string(c.before) + (c.silentClicked ? " silent" : " unattended"));
        EXPECT_EQ(UITypeAfterClick(c.before, c.silentClicked), c.after);
    }
}

TEST(UserInterfacePathTest, APathOfMoreThan259CharactersIsRefused) {
    EXPECT_TRUE(PathFits(""));
    EXPECT_TRUE(PathFits("C:\\" + std::string(256, 'a')));
    EXPECT_FALSE(PathFits("C:\\" + std::string(257, 'a')));
}

}  // namespace
