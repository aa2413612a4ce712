#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "model/UISettings.h"
#include "tests/TestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

std::vector<uint8_t> Pages(const uint8_t (&bytes)[CUISettings::kPageSlots]) {
    return std::vector<uint8_t>(bytes, bytes + CUISettings::kPageSlots);
}

// 1 for the listed pages, 0 for every other slot.
std::vector<uint8_t> Only(std::initializer_list<int> pages) {
    std::vector<uint8_t> bytes(CUISettings::kPageSlots, 0);
    for (int page : pages) {
        bytes[static_cast<size_t>(page)] = 1;
    }
    return bytes;
}

// Writes the project as a setup database and loads it as the setup program does, into a project that
// may have its user-interface type set already (by the command line).
void ThroughDatabase(CProject& authored, CProject& setup, const std::string& folder) {
    SaveWithKind(authored, folder + "\\tsdb.dat", kBuildDatabase);
    LoadWithKind(setup, folder + "\\tsdb.dat", kSetupProgram);
}

TEST(UISettingsTest, ANewProjectShowsEveryPageAndAsksForNameAndOrganization) {
    CProject project;
    project.Reset();
    const CUISettings& ui = project.ui;
    EXPECT_EQ(Pages(ui.showPage), Only({0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(ui.askUserName && ui.askOrganization && !ui.askEMail);
    EXPECT_TRUE(ui.askInstallForAll && ui.askDesktop && ui.askStartMenu);
    EXPECT_EQ(ui.uiType, kFullWizard);
    EXPECT_EQ(ui.runOption, kDoNotOffer);
    EXPECT_EQ(ui.readmeOption, kAskChecked);
    EXPECT_FALSE(ui.showSplash || ui.showRestart);
    EXPECT_EQ(ui.runApplication, nullptr);
    // The setup program starts with no page shown, and a reset after use brings the defaults back.
    EXPECT_EQ(Pages(CUISettings().showPage), Only({}));
    project.ui.pageBanner[3] = "x.bmp";
    project.ui.askEMail = true;
    project.Reset();
    EXPECT_EQ(project.ui.pageBanner[3], "");
    EXPECT_FALSE(project.ui.askEMail);
}

TEST(UISettingsTest, TheDatabaseCountsLicenceTextsOnlyWhenTheLicencePageIsShown) {
    CUISettings ui;
    ui.Reset();
    ui.licenseFiles[0] = "C:\\a.txt";
    ui.licenseFiles[2] = "C:\\c.rtf";
    EXPECT_EQ(ui.LicenseFileCount(), 2);
    ui.showPage[kLicensePage] = 0;
    EXPECT_EQ(ui.LicenseFileCount(), 0);

    TempFolder folder;
    CProject project;
    project.Reset();
    project.ui.licenseFiles[0] = "C:\\a.txt";
    project.ui.licenseFiles[1] = "C:\\b.txt";
    project.ui.showPage[kLicensePage] = 0;
    SaveWithKind(project, folder / "hidden.dat", kBuildDatabase);
    EXPECT_EQ(IntAt(folder / "hidden.dat", {"TSDatabase", "UserInterface"}, "NoOfLicenseFiles", -1), 0);
    project.ui.showPage[kLicensePage] = 1;
    SaveWithKind(project, folder / "shown.dat", kBuildDatabase);
    EXPECT_EQ(IntAt(folder / "shown.dat", {"TSDatabase", "UserInterface"}, "NoOfLicenseFiles", -1), 2);
}

TEST(UISettingsTest, ABannerCountsOnlyForAShownPageWithABannerPath) {
    TempFolder folder;
    CProject project;
    project.Reset();
    project.ui.pageBanner[kWelcomePage] = "C:\\w.bmp";
    project.ui.pageBanner[kSetupTypePage] = "C:\\s.bmp";
    project.ui.showPage[kSetupTypePage] = 0;
    project.ui.pageBanner[12] = "C:\\unused.bmp";  // no page shows slot 12
    project.ui.bannerForAll = "C:\\all.bmp";
    CProject setup;
    ThroughDatabase(project, setup, folder.Path());
    EXPECT_EQ(Pages(setup.ui.showBanner), Only({kWelcomePage}));
}

TEST(UISettingsTest, KeysByKindOfFile) {
    TempFolder folder;
    CProject project;
    project.Reset();
    SaveWithKind(project, folder / "p.tsp", kSaveProject);
    const std::vector<std::string> common = {
        "ShowSplash", "UIType",           "ShowPage",     "AskUserName",  "AskOrganization",
        "AskEMail",   "AskInstallForAll", "AskDesktop",   "AskStartMenu", "RunApplication",
        "ReadmeFile", "RunOption",        "ReadmeOption", "ShowRestart"};
    std::vector<std::string> projectKeys = common;
    for (const char* key : {"SplashFile", "BannerForAll", "PageBanner", "LicenseFiles[0]", "LicenseFiles[1]",
                            "LicenseFiles[2]"}) {
        projectKeys.push_back(key);
    }
    EXPECT_EQ(KeysAt(folder / "p.tsp", {"TSDatabase", "UserInterface"}), projectKeys);
    std::vector<std::string> banners;
    for (int i = 0; i < 20; ++i) {
        banners.push_back("Arr" + std::to_string(i));
    }
    EXPECT_EQ(KeysAt(folder / "p.tsp", {"TSDatabase", "UserInterface", "PageBanner"}), banners);

    SaveWithKind(project, folder / "tsdb.dat", kBuildDatabase);
    std::vector<std::string> databaseKeys = common;
    databaseKeys.push_back("NoOfLicenseFiles");
    databaseKeys.push_back("ShowBanner");
    EXPECT_EQ(KeysAt(folder / "tsdb.dat", {"TSDatabase", "UserInterface"}), databaseKeys);

    CProject setup;
    LoadWithKind(setup, folder / "tsdb.dat", kSetupProgram);
    SaveWithKind(setup, folder / "TSdb.dat", kSetupProgram);
    EXPECT_EQ(KeysAt(folder / "TSdb.dat", {"TSDatabase", "UserInterface"}),
              (std::vector<std::string>{"ShowSplash", "UIType", "ShowPage", "ShowRestart", "ShowBanner"}));
}

TEST(UISettingsTest, PicturesAndLicenceTextsAreStoredRelativeToTheProjectFile) {
    TempFolder folder;
    CProject project;
    project.Reset();
    project.ui.splashFile = folder / "art\\splash.bmp";
    project.ui.pageBanner[4] = folder / "art\\setup-type.bmp";
    project.ui.licenseFiles[1] = "D:\\legal\\eula.txt";
    const std::string path = folder / "p.tsp";
    SaveProjectFile(project, path);
    CTreeArchive ar(kMainClass, kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    ASSERT_TRUE(ar.BeginObject("TSDatabase") && ar.BeginObject("UserInterface"));
    std::string stored;
    ar.ExchangeString("SplashFile", &stored, "");
    EXPECT_EQ(stored, "0,\\art\\splash.bmp");
    ar.ExchangeString("LicenseFiles[1]", &stored, "");
    EXPECT_EQ(stored, "D:\\legal\\eula.txt");
    ASSERT_TRUE(ar.BeginObject("PageBanner"));
    ar.ExchangeString("Arr4", &stored, "");
    EXPECT_EQ(stored, "0,\\art\\setup-type.bmp");
    ar.CloseAfterLoad();

    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, path));
    EXPECT_EQ(loaded.ui.splashFile, project.ui.splashFile);
    EXPECT_EQ(loaded.ui.pageBanner[4], project.ui.pageBanner[4]);
    EXPECT_EQ(loaded.ui.licenseFiles[1], "D:\\legal\\eula.txt");
}

// Settings written by hand: a short PageBanner object and no ShowPage.
TEST(UISettingsTest, AShortBannerListClearsTheRestAndAMissingShowPageKeepsTheBytes) {
    TempFolder folder;
    const std::string path = folder / "hand.tsp";
    {
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        ar.BeginObject("UserInterface");
        ar.BeginObject("PageBanner");
        std::string banner = "C:\\one.bmp";
        ar.ExchangeString("Arr0", &banner, "");
        banner = "C:\\two.bmp";
        ar.ExchangeString("Arr1", &banner, "");
        ar.CloseAfterSave();
    }
    CProject project;
    project.Reset();
    project.ui.showPage[kFeaturesPage] = 0;
    project.ui.pageBanner[5] = "C:\\old.bmp";
    project.ui.askEMail = true;
    ASSERT_TRUE(LoadProjectFile(project, path));
    EXPECT_EQ(project.ui.pageBanner[0], "C:\\one.bmp");
    EXPECT_EQ(project.ui.pageBanner[1], "C:\\two.bmp");
    EXPECT_EQ(project.ui.pageBanner[5], "");
    EXPECT_EQ(Pages(project.ui.showPage), Only({0, 1, 2, 3, 4, 6, 7, 8}));
    EXPECT_FALSE(project.ui.askEMail) << "a missing boolean takes its default";
}

TEST(UISettingsTest, TheSetupProgramAlwaysShowsWelcomeProgressAndFinish) {
    TempFolder folder;
    CProject project;
    project.Reset();
    for (int page : {kWelcomePage, kProgressPage, kFinishPage, kConfirmationPage}) {
        project.ui.showPage[page] = 0;
    }
    CProject setup;
    ThroughDatabase(project, setup, folder.Path());
    EXPECT_EQ(Pages(setup.ui.showPage), Only({0, 1, 2, 3, 4, 5, 7, 8}));
    EXPECT_FALSE(setup.noModify);
}

TEST(UISettingsTest, AHiddenFeaturesPageHidesSetupTypeAndForbidsAChange) {
    TempFolder folder;
    CProject project;
    project.Reset();
    project.ui.showPage[kFeaturesPage] = 0;
    project.noModify = false;
    CProject setup;
    ThroughDatabase(project, setup, folder.Path());
    EXPECT_EQ(setup.ui.showPage[kSetupTypePage], 0);
    EXPECT_TRUE(setup.noModify) << "not undone by the NoModify stored after the settings";
    // The setup program's own copy keeps it so.
    SaveWithKind(setup, folder / "TSdb.dat", kSetupProgram);
    CProject later;
    LoadWithKind(later, folder / "TSdb.dat", kSetupProgram);
    EXPECT_TRUE(later.noModify);
    EXPECT_EQ(later.ui.showPage[kSetupTypePage], 0);
}

TEST(UISettingsTest, ATypeChosenOnTheCommandLineStays) {
    TempFolder folder;
    CProject project;
    project.Reset();
    project.ui.uiType = kUnattendedSetup;
    project.ui.showPage[kWelcomePage] = 0;
    project.ui.showPage[kFeaturesPage] = 0;
    CProject silent;
    silent.ui.uiType = kSilentSetup;
    ThroughDatabase(project, silent, folder.Path());
    EXPECT_EQ(silent.ui.uiType, kSilentSetup);
    EXPECT_EQ(silent.ui.showPage[kWelcomePage], 0) << "the wizard's rules are for the wizard";
    EXPECT_FALSE(silent.noModify);

    CProject undecided;
    LoadWithKind(undecided, folder / "tsdb.dat", kSetupProgram);
    EXPECT_EQ(undecided.ui.uiType, kUnattendedSetup) << "the database's type when none was chosen";

    // The setup program's copy always starts a later run with the wizard.
    SaveWithKind(silent, folder / "TSdb.dat", kSetupProgram);
    EXPECT_EQ(IntAt(folder / "TSdb.dat", {"TSDatabase", "UserInterface"}, "UIType", -1), kFullWizard);
}

TEST(UISettingsTest, TheSetupProgramReadsWhatItUsesAndBoundsTheLicenceCount) {
    TempFolder folder;
    WriteBytes(folder / "app.exe", {1});
    CProject project;
    project.Reset();
    project.ui.runApplication = project.AddFile(folder / "app.exe", project.rootFolders[0]);
    project.ui.readmeFile = project.ui.runApplication;
    project.ui.runOption = kAskUnchecked;
    project.ui.askUserName = false;
    CProject setup;
    ThroughDatabase(project, setup, folder.Path());
    ASSERT_EQ(setup.files.size(), 1u);
    EXPECT_EQ(setup.ui.runApplication, setup.files[0]);
    EXPECT_EQ(setup.ui.readmeFile, setup.files[0]);
    EXPECT_EQ(setup.ui.runOption, kAskUnchecked);
    EXPECT_FALSE(setup.ui.askUserName);

    for (int32_t stored : {99, -5}) {
        const std::string path = folder / "count.dat";
        {
            CTreeArchive ar(kMainClass, kSetupProgram);
            ar.OpenForSave(path);
            ar.BeginObject("TSDatabase");
            ar.BeginObject("UserInterface");
            int32_t count = stored;
            ar.ExchangeInt("NoOfLicenseFiles", &count, 0);
            ar.CloseAfterSave();
        }
        CProject loaded;
        LoadWithKind(loaded, path, kSetupProgram);
        EXPECT_EQ(loaded.ui.noOfLicenseFiles, stored > 0 ? 3 : 0) << stored;
    }
}

}  // namespace
