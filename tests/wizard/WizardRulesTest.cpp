#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/SetupEngine.h"
#include "setup/wizard/WizardRules.h"
#include "tests/setup/NoShellFolders.h"

using namespace wizard_rules;

namespace {

// Pages with fixed targets and shown flags; records every action range it is asked to run.
class FakeFlow : public PageFlow {
public:
    FakeFlow() {
        for (int page = 0; page < kPageCount; ++page) {
            next[page] = page + 1 < kPageCount ? page + 1 : -1;
            back[page] = page - 1;
            shown[page] = true;
        }
    }
    int NextIndexOf(int page) override {
        asked.push_back(page);
        return next[page];
    }
    int BackIndexOf(int page) override {
        asked.push_back(page);
        return back[page];
    }
    bool IsShown(int page) override { return shown[page]; }
    bool RunActions(int first, int last) override {
        ranges.push_back(std::to_string(first) + ".." + std::to_string(last));
        return actionsSucceed;
    }
    std::map<int, int> next, back;
    std::map<int, bool> shown;
    std::vector<int> asked;
    std::vector<std::string> ranges;
    bool actionsSucceed = true;
};

TEST(PageFlowTest, NextRunsThePointsOfEveryPagePassedOver) {
    FakeFlow flow;
    flow.shown[kLicense] = false;
    EXPECT_EQ(NextTarget(kWelcome, flow), kUserInformation);
    EXPECT_EQ(flow.asked, (std::vector<int>{kWelcome, kLicense}))
        << "the hidden page is asked where it leads";
    EXPECT_EQ(flow.ranges, (std::vector<std::string>{"0..1"}));

    FakeFlow plain;
    EXPECT_EQ(NextTarget(kDestination, plain), kSetupType);
    EXPECT_EQ(plain.ranges, (std::vector<std::string>{"3..3"}));
}

TEST(PageFlowTest, AFailingActionLeadsToTheFinishPage) {
    FakeFlow flow;
    flow.actionsSucceed = false;
    EXPECT_EQ(NextTarget(kUserInformation, flow), kFinish);
}

TEST(PageFlowTest, NextThatStaysOrLeadsNowhereRunsNoAction) {
    FakeFlow flow;
    flow.next[kLicense] = kLicense;  // the licence page steps to its next file
    EXPECT_EQ(NextTarget(kLicense, flow), kLicense);
    flow.next[kUserInformation] = -1;  // a refused user-information page
    EXPECT_EQ(NextTarget(kUserInformation, flow), -1);
    EXPECT_TRUE(flow.ranges.empty());
}

TEST(PageFlowTest, HiddenPagesThatLoopEndTheWalk) {
    FakeFlow flow;
    flow.shown[kLicense] = flow.shown[kUserInformation] = false;
    flow.next[kLicense] = kUserInformation;
    flow.next[kUserInformation] = kLicense;
    EXPECT_EQ(NextTarget(kWelcome, flow), -1);
    EXPECT_TRUE(flow.ranges.empty());
}

TEST(PageFlowTest, BackSkipsHiddenPagesWithoutActions) {
    FakeFlow flow;
    flow.shown[kSetupType] = flow.shown[kDestination] = false;
    EXPECT_EQ(BackTarget(kFeatures, flow), kUserInformation);
    EXPECT_TRUE(flow.ranges.empty());
    EXPECT_EQ(BackTarget(kWelcome, flow), -1);
}

TEST(WizardTextTest, TitlesAndHeaders) {
    EXPECT_EQ(WindowTitle("Foo", kWelcome, true), "Foo Setup - Welcome (Test Mode)");
    EXPECT_EQ(WindowTitle("Foo", kSetupType, false), "Foo Setup - Setup Types");
    EXPECT_EQ(WindowTitle("Foo", kWorking, false), "Foo Setup - Working");

    PageHeader welcome = HeaderOf(kWelcome, SM_NEW, "Foo", false);
    EXPECT_EQ(welcome.title, "Welcome to");
    EXPECT_EQ(welcome.subtitle, "Foo Setup");
    EXPECT_TRUE(welcome.subtitleInTitleFont);
    EXPECT_FALSE(HeaderOf(kLicense, SM_NEW, "Foo", false).subtitleInTitleFont);
    EXPECT_EQ(HeaderOf(kConfirmation, SM_CHANGE, "Foo", false).subtitle,
              "The wizard is ready to Modify the installation.");
    EXPECT_EQ(HeaderOf(kConfirmation, SM_REPAIR, "Foo", false).title, "Ready to repair the Program");
    EXPECT_EQ(HeaderOf(kWorking, SM_REMOVE, "Foo", false).title, "Uninstalling \"Foo\"");
    EXPECT_EQ(HeaderOf(kFinish, SM_NEW, "Foo", true).title, "Completing \"Foo\" Setup");
    EXPECT_EQ(HeaderOf(kFinish, SM_NEW, "Foo", true).subtitle,
              "The Setup has successfully installed the application.");
    EXPECT_EQ(HeaderOf(kFinish, SM_REMOVE, "Foo", false).subtitle,
              "Setup was not able to uninstall the application completely.");
    // A maintenance run whose first action failed reaches Finish still asking: it reads as a change.
    EXPECT_EQ(HeaderOf(kFinish, SM_ASK, "Foo", false).subtitle,
              "Setup was not able to modify the installation completely.");
}

TEST(WizardTextTest, RampFadesFromBlueToBlack) {
    EXPECT_EQ(RampColour(0, 525), 0x00FF0000u);
    EXPECT_EQ(RampColour(262, 525) & 0xFFFFu, 0u) << "red and green stay 0";
    EXPECT_LT(RampColour(400, 525), RampColour(100, 525));
    EXPECT_LE(RampColour(524, 525), 0x00010000u);
}

TEST(WizardTextTest, UserInformationPrompts) {
    EXPECT_EQ(UserInfoPrompt(true, false, false), "Please enter your name.");
    EXPECT_EQ(UserInfoPrompt(false, true, false), "Please enter your company name.");
    EXPECT_EQ(UserInfoPrompt(false, false, true), "Please enter your E-mail address.");
    EXPECT_EQ(UserInfoPrompt(true, true, false), "Please enter your name, and your company name.");
    EXPECT_EQ(UserInfoPrompt(true, false, true), "Please enter your name, and your E-mail address.");
    EXPECT_EQ(UserInfoPrompt(false, true, true), "Please enter your company name, and your E-mail address.");
    EXPECT_EQ(UserInfoPrompt(true, true, true),
              "Please enter your name, your company name, and your E-mail address.");
    EXPECT_EQ(UserInfoPrompt(false, false, false), "Please enter ");
}

TEST(WizardTextTest, WelcomeTextByMode) {
    EXPECT_EQ(PlainText(WelcomeText(SM_NEW, "Foo")).substr(0, 80),
              "   Welcome to Foo Setup program. This program will install Foo on your computer.");
    const RichText maintenance = WelcomeText(SM_ASK, "Foo");
    EXPECT_EQ(maintenance[1], (TextRun{TextStyle::Bold, "Foo"}));
    EXPECT_NE(PlainText(maintenance).find("will remove, modify, or repair Foo installation. It is strongly"),
              std::string::npos);
    EXPECT_EQ(WarningText()[0], (TextRun{TextStyle::Bold, "Warning:\n"}));
}

TEST(WelcomePageTest, MaintenanceChoices) {
    MaintenanceChoices ask = MaintenanceChoicesFor(SM_ASK, false, true, false, false);
    EXPECT_FALSE(ask.changeEnabled);
    EXPECT_TRUE(ask.removeEnabled);
    EXPECT_EQ(ask.checked, SM_REPAIR) << "NoModify: Repair first";
    EXPECT_EQ(MaintenanceChoicesFor(SM_ASK, false, true, false, true).checked, SM_REMOVE);
    EXPECT_EQ(MaintenanceChoicesFor(SM_ASK, false, false, false, false).checked, SM_CHANGE);
    EXPECT_EQ(MaintenanceChoicesFor(SM_REMOVE, false, false, false, false).checked, SM_REMOVE);
    MaintenanceChoices forced = MaintenanceChoicesFor(SM_REPAIR, true, true, true, true);
    EXPECT_TRUE(forced.changeEnabled && forced.removeEnabled && forced.repairEnabled);
    EXPECT_EQ(forced.checked, SM_REPAIR);

    EXPECT_EQ(WelcomeNextIndex(SM_NEW), kLicense);
    EXPECT_EQ(WelcomeNextIndex(SM_CHANGE), kFeatures);
    EXPECT_EQ(WelcomeNextIndex(SM_REMOVE), kWorking);
    EXPECT_EQ(WelcomeNextIndex(SM_REPAIR), kWorking);
    EXPECT_EQ(WelcomeNextIndex(SM_ASK), -1);
}

TEST(LicensePageTest, StepsThroughTheFilesOnOnePage) {
    int shown = 0;
    EXPECT_EQ(LicenseNextIndex(&shown, 3), kLicense);
    EXPECT_EQ(LicenseNextIndex(&shown, 3), kLicense);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(LicenseNextIndex(&shown, 3), kUserInformation);
    EXPECT_EQ(shown, 2) << "the last file stays for Back";
    EXPECT_EQ(LicenseBackIndex(&shown), kLicense);
    EXPECT_EQ(LicenseBackIndex(&shown), kLicense);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(LicenseBackIndex(&shown), kWelcome);
    int none = 0;
    EXPECT_EQ(LicenseNextIndex(&none, 0), kUserInformation) << "a hidden licence page leads on";
}

class FeatureTree : public ::testing::Test {
protected:
    CFeature* Add(CFeature& parent, const char* name, bool selected) {
        CFeature* feature = parent.AddChild(std::make_unique<CFeature>(name, std::string(name) + " text"));
        feature->selected = selected;
        return feature;
    }
    CFeature root{"Features", "root"};
};

TEST_F(FeatureTree, DisplayStatesOverTheWholeSubTree) {
    root.visible = false;
    CFeature* program = Add(root, "Program", false);
    CFeature* help = Add(*program, "Help", true);
    CFeature* samples = Add(*program, "Samples", false);
    CFeature* leaf = Add(root, "Leaf", true);

    EXPECT_EQ(DisplayState(*program), kPartlyInstalled);
    EXPECT_TRUE(program->selected) << "a selected sub-feature selects its parent";
    EXPECT_EQ(PictureOf(*program, kPartlyInstalled), kPicturePartly);
    samples->selected = true;
    EXPECT_EQ(DisplayState(*program), kFullyInstalled);
    EXPECT_EQ(PictureOf(*program, kFullyInstalled), kPictureWithAll);
    EXPECT_EQ(PictureOf(*leaf, DisplayState(*leaf)), kPictureInstalled);
    help->selected = samples->selected = false;
    EXPECT_EQ(DisplayState(*program), kPartlyInstalled) << "selected itself, no sub-feature";
    program->selected = false;
    EXPECT_EQ(DisplayState(*program), kNotInstalled);
}

TEST_F(FeatureTree, MenuChoices) {
    CFeature* program = Add(root, "Program", true);
    CFeature* core = Add(*program, "Core", true);
    core->required = true;
    CFeature* leaf = Add(root, "Leaf", true);
    leaf->required = true;

    FeatureMenu leafMenu = MenuFor(*leaf, DisplayState(*leaf));
    EXPECT_EQ(leafMenu.checked, kInstallFeature);
    EXPECT_FALSE(leafMenu.doNotInstallEnabled);
    EXPECT_FALSE(leafMenu.withAllEnabled);
    FeatureMenu programMenu = MenuFor(*program, DisplayState(*program));
    EXPECT_EQ(programMenu.checked, kInstallWithAll);
    EXPECT_TRUE(programMenu.doNotInstallEnabled) << "only a Required feature itself refuses";

    ApplyMenuChoice(*program, kDoNotInstall);
    EXPECT_FALSE(program->selected);
    EXPECT_FALSE(core->selected) << "required sub-features are cleared with their parent";
    ApplyMenuChoice(*program, kInstallFeature);
    EXPECT_TRUE(program->selected);
    EXPECT_FALSE(core->selected);
    ApplyMenuChoice(*program, kInstallWithAll);
    EXPECT_TRUE(core->selected);
}

TEST_F(FeatureTree, ConfirmationListsLeaveOutInvisibleSubTrees) {
    CFeature* program = Add(root, "Program", true);
    CFeature* hidden = Add(*program, "Hidden", true);
    hidden->visible = false;
    Add(*hidden, "Below hidden", true);
    CFeature* docs = Add(root, "Docs", true);
    docs->installed = true;
    CFeature* samples = Add(root, "Samples", false);
    samples->installed = true;
    CFeature* unselected = Add(root, "Unselected", false);
    Add(*unselected, "Child of unselected", true);

    EXPECT_EQ(FeaturesBeingInstalled(root), "\n    Program");
    EXPECT_EQ(FeaturesBeingRemoved(root), "\n    Samples");
}

TEST(SpaceTextTest, RequiredAndAvailable) {
    EXPECT_EQ(RequiredSpaceText(3 * 1024 * 1024 + 512 * 1024), "Required Space:3.5 MB ");
    EXPECT_EQ(RequiredSpaceText(0), "Required Space:0 bytes ");
    EXPECT_EQ(AvailableSpaceText("C:\\Program Files\\Foo", 2048), "Available Space on C: 2.0 KB");
}

class EngineRules : public ::testing::Test {
protected:
    EngineRules() : engine(folders) {
        engine.project.productName = "Foo";
        engine.project.target = "C:\\Foo";
        for (int page = 0; page < kPageCount; ++page) {
            engine.project.ui.showPage[page] = 1;
        }
        main = engine.project.rootFeature.AddChild(std::make_unique<CFeature>("Main", "main"));
        extra = engine.project.rootFeature.AddChild(std::make_unique<CFeature>("Extra", "extra"));
        engine.userName = "Ann";
        engine.companyName = "Acme";
    }
    NoShellFolders folders;
    SetupEngine engine;
    CFeature* main;
    CFeature* extra;
};

TEST_F(EngineRules, ConfirmationOfAnInstallation) {
    extra->selected = false;
    Confirmation confirmation = ConfirmationFor(engine);
    EXPECT_EQ(confirmation.text[0], (TextRun{TextStyle::BoldBlue, "Setup is going to install \"Foo\"."}));
    EXPECT_EQ(PlainText(confirmation.text),
              "Setup is going to install \"Foo\".\n\nDestination Folder:\n    C:\\Foo\n\nUser Information:"
              "\n    Name: Ann\n    Company: Acme\n\nFeatures being installed:\n    Main");
    engine.project.ui.showPage[kUserInformation] = 0;
    EXPECT_EQ(PlainText(ConfirmationFor(engine).text).find("User Information"), std::string::npos);
    EXPECT_EQ(confirmation.buttons, unsigned{kNextButton | kBackButton | kCancelButton});
}

TEST_F(EngineRules, ConfirmationOfAChange) {
    engine.mode = SM_CHANGE;
    main->installed = true;
    extra->installed = false;
    main->selected = false;
    Confirmation change = ConfirmationFor(engine);
    EXPECT_EQ(PlainText(change.text),
              "Setup is going to modify your installation of \"Foo\"."
              "\n\nFeatures being installed:\n    Extra\n\nFeatures being removed:\n    Main");
    main->selected = true;
    extra->selected = false;
    Confirmation nothing = ConfirmationFor(engine);
    EXPECT_EQ(nothing.buttons, unsigned{kBackButton | kCancelButton});
    EXPECT_EQ(nothing.text.size(), 1u);
    EXPECT_EQ(nothing.text[0].text.substr(0, 54), "\n\n  Your selection does not change any features of the");
}

TEST_F(EngineRules, FinishOfAnInstallation) {
    engine.completed = true;
    engine.project.ui.runOption = 1;
    engine.project.ui.readmeOption = 0;
    FinishContent runOnly = FinishContentFor(engine, "tool.exe");
    EXPECT_EQ(PlainText(runOnly.main), "Setup has finished installing Foo.");
    EXPECT_EQ(runOnly.first.kind, FinishBox::Run);
    EXPECT_EQ(runOnly.first.text, "Run \"tool.exe\"");
    EXPECT_FALSE(runOnly.first.checked);
    EXPECT_EQ(runOnly.second.kind, FinishBox::None);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, runOnly, true, false), FinishAction::RunApplication);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, runOnly, false, false), FinishAction::None);

    engine.project.ui.readmeOption = 2;
    FinishContent both = FinishContentFor(engine, "tool.exe");
    EXPECT_EQ(both.first.kind, FinishBox::Readme);
    EXPECT_TRUE(both.first.checked);
    EXPECT_EQ(both.second.kind, FinishBox::Run);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, both, true, true), FinishAction::OpenReadme);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, both, false, true), FinishAction::RunApplication);

    engine.restartNeeded = true;
    FinishContent restart = FinishContentFor(engine, "tool.exe");
    EXPECT_EQ(
        PlainText(restart.main),
        "Setup has finished installing Foo. You must restart your computer to complete the installation.");
    EXPECT_EQ(restart.first.kind, FinishBox::Restart);
    EXPECT_TRUE(restart.first.checked);
    EXPECT_EQ(restart.second.kind, FinishBox::None);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, restart, true, false), FinishAction::Restart);
    EXPECT_EQ(ChosenFinishAction(SM_NEW, restart, false, false), FinishAction::None);
}

TEST_F(EngineRules, FinishOfOtherModesAndFailures) {
    engine.mode = SM_CHANGE;
    engine.completed = true;
    engine.project.ui.showRestart = true;
    FinishContent change = FinishContentFor(engine, "tool.exe");
    EXPECT_EQ(change.first.kind, FinishBox::None) << "ShowRestart alone shows no box in a change";
    EXPECT_EQ(PlainText(change.main), "Setup has finished modifying Foo installation on your computer.");
    engine.restartNeeded = true;
    FinishContent restart = FinishContentFor(engine, "tool.exe");
    EXPECT_EQ(restart.first.kind, FinishBox::Restart);
    EXPECT_TRUE(restart.first.checked);

    engine.mode = SM_REMOVE;
    engine.completed = false;
    FinishContent failed = FinishContentFor(engine, "tool.exe");
    EXPECT_FALSE(failed.success);
    EXPECT_EQ(failed.main[1], (TextRun{TextStyle::Bold, "Foo"}));
    EXPECT_EQ(PlainText(failed.main), "Setup was not able to remove Foo completely! Please try again later.");
    EXPECT_EQ(failed.first.kind, FinishBox::None);
    EXPECT_EQ(PlainText(FinishClosingText()), "Click Finish to exit setup.");
}

TEST_F(EngineRules, SetValueNamesIgnoreCase) {
    EXPECT_TRUE(SetRunValue(engine, "INSTALL FOR ALL", "true"));
    EXPECT_TRUE(engine.installForAll);
    EXPECT_TRUE(SetRunValue(engine, "Install Desktop Shortcuts", "no"));
    EXPECT_FALSE(engine.desktopShortcuts);
    EXPECT_TRUE(SetRunValue(engine, "target folder", "D:\\Elsewhere"));
    EXPECT_EQ(engine.project.target, "D:\\Elsewhere");
    EXPECT_TRUE(SetRunValue(engine, "user email", "ann@example.com"));
    EXPECT_EQ(engine.userEmail, "ann@example.com");
    EXPECT_FALSE(SetRunValue(engine, "product name", "Bar"));
    EXPECT_EQ(engine.project.productName, "Foo");
}

TEST(ProgressLineTest, FormatsByWhatIsGiven) {
    EXPECT_EQ(ActionLine("Copying Files...", nullptr, 0), "Copying Files...");
    EXPECT_EQ(ActionLine("Registring \"%s\"...", "Foo", 0), "Registring \"Foo\"...");
    EXPECT_EQ(ActionLine("%s on disk %d", "Foo", 2), "Foo on disk 2");
    EXPECT_EQ(DetailLine("%d files", 0, nullptr), "%d files");
    EXPECT_EQ(DetailLine("%d files", 3, nullptr), "3 files");
    EXPECT_EQ(DetailLine("%d: %s", 3, "a.dll"), "3: a.dll");
}

TEST(DestinationFolderTest, OnlyFullPathsAreTaken) {
    const struct {
        const char* folder;
        bool taken;
    } cases[] = {
        {"C:\\Program Files\\Foo", true},
        {"c:\\foo", true},
        {"D:\\", true},
        {"C:", true},
        {"C:/Program Files/Foo", true},
        {"\\\\server\\share\\Foo", true},
        {"\\\\server\\share", true},
        {"", false},
        {"Foo", false},
        {"Program Files\\Foo", false},
        {"\\Program Files\\Foo", false},
        {"C:Foo", false},
        {"1:\\Foo", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\\\share", false},
        {"C:\\Foo|Bar", false},
        {"C:\\Foo?", false},
        {"C:\\Foo\\a:b", false},
        {"C:\\Foo\t", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsFullFolderPath(c.folder), c.taken) << c.folder;
    }
}

TEST(DestinationFolderTest, SpacesAroundTheTypedFolderAreDropped) {
    EXPECT_EQ(TrimmedFolder("  C:\\Program Files\\Foo \t"), "C:\\Program Files\\Foo");
    EXPECT_EQ(TrimmedFolder("C:\\My Programs"), "C:\\My Programs");
    EXPECT_EQ(TrimmedFolder("   "), "");
    EXPECT_EQ(FolderRefusal("Foo"),
              "Please enter the full path of the destination folder, for example "
              "C:\\Program Files\\Foo!");
}

TEST(ForwardButtonTest, TheButtonThatMovesOnTakesTheFocus) {
    const struct {
        unsigned mask;
        unsigned expected;
    } cases[] = {
        {kNextButton | kCancelButton, kNextButton},
        {kNextButton | kBackButton | kCancelButton, kNextButton},
        {kBackButton | kAgreeButton | kCancelButton, kAgreeButton},
        {kFinishButton, kFinishButton},
        {kBackButton | kCancelButton, 0u},
        {0u, 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ForwardButton(c.mask), c.expected) << c.mask;
    }
}

}  // namespace
