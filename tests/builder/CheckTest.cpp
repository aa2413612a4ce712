#include "tests/builder/BuilderTestSupport.h"
#include "builder/MediaBuild.h"
#include "builder/ProjectCheck.h"

using testing_support::BuilderFixture;
using Kind = BuildOutput::Kind;

namespace {

class CheckTest : public BuilderFixture {
protected:
    bool Check() { return CMediaBuild::Check(project, lines); }
    std::vector<std::string> Errors() const { return lines.Texts(Kind::kError); }
    std::vector<std::string> Warnings() const { return lines.Texts(Kind::kWarning); }
};

TEST(BuildOutputTest, FormatsArgumentsAsTextAndCounts) {
    BuildOutputLines lines;
    lines.Error("Cannot find the file \"%s\"!", "C:\\100%s\\a.txt");
    lines.Warning("OS Version mismatch for the file \"%s\" in folder \"%s\"!", "a", "b");
    lines.Information("50%s done", std::string("%d"));
    lines.Information("100%% sure %s");  // no argument: shown as it stands
    ASSERT_EQ(lines.Lines().size(), 4u);
    EXPECT_EQ(lines.Lines()[0].text, "Cannot find the file \"C:\\100%s\\a.txt\"!");
    EXPECT_EQ(lines.Lines()[1].text, "OS Version mismatch for the file \"a\" in folder \"b\"!");
    EXPECT_EQ(lines.Lines()[2].text, "50%d done");
    EXPECT_EQ(lines.Lines()[3].text, "100%% sure %s");
    EXPECT_EQ(lines.Errors(), 1);
    EXPECT_EQ(lines.Warnings(), 1);
    EXPECT_EQ(CommandLineText(Kind::kWarning, "x!"), "warning: x!");
    EXPECT_EQ(CommandLineText(Kind::kInformation, "y..."), "y...");
    lines.Clear();
    EXPECT_TRUE(lines.Lines().empty());
    EXPECT_EQ(lines.Errors() + lines.Warnings(), 0);
}

TEST_F(CheckTest, CleanProjectAndSummaryPlurals) {
    main->files.Add(AddFile("app.exe", {1, 2, 3}, bin));
    EXPECT_TRUE(Check());
    EXPECT_EQ(lines.Lines().back().text, "Finished 0 Error, 0 Warning.");
    EXPECT_EQ(lines.Lines()[1].text, "Checking the Database...");

    lines.Clear();
    project.productName.clear();
    project.productVersion.clear();
    for (const char* name : {"A", "B", "C"}) {
        AddRootFolder(name);
    }
    EXPECT_FALSE(Check());
    EXPECT_EQ(lines.Lines().back().text, "Finished 2 Errors, 3 Warnings.");
}

TEST_F(CheckTest, RefreshesFilesAndReportsMissingSources) {
    CFileItem* file = AddFile("data.bin", std::vector<uint8_t>(1234, 7), bin);
    main->files.Add(file);
    file->size = 1;
    Check();
    EXPECT_EQ(file->size, 1234u);
    file->sourcePath = folder / "gone.bin";
    lines.Clear();
    Check();
    EXPECT_EQ(Errors(), std::vector<std::string>{"Cannot find the file \"" + (folder / "gone.bin") + "\"!"});
    EXPECT_EQ(file->size, 0u);
}

TEST_F(CheckTest, NewProjectAndEmptyRootFeature) {
    CProject fresh;
    fresh.Reset();
    BuildOutputLines out;
    CMediaBuild::Check(fresh, out);
    EXPECT_TRUE(out.Has(Kind::kWarning, "No object is defined in the folder \"Target Folder\"!"));
    EXPECT_TRUE(out.Has(Kind::kError, "No License File was specified!"));
    EXPECT_FALSE(out.Has(Kind::kError, "No data is defined in the feature \"Features\"!"));  // it has "Main"

    project.rootFeature.Empty();
    Check();
    EXPECT_TRUE(lines.Has(Kind::kError, "No data is defined in the feature \"Features\"!"));
}

TEST_F(CheckTest, FilesOfOneNameMustBeForDifferentReleases) {
    CFileItem* first = AddFile("Setup.ini", {1}, bin);
    CFileItem* second = project.AddFile(Source("other.ini", {2}), bin);
    ASSERT_NE(second, nullptr);
    first->osMask = kOsWin95 | kOsWin98;
    second->osMask = kOsWinXP;
    second->title = "SETUP.INI";
    Check();
    EXPECT_TRUE(Errors().empty());
    second->osMask = kOsWinXP | kOsWin98;
    lines.Clear();
    Check();
    EXPECT_EQ(Errors(), std::vector<std::string>{"OS Version mismatch for the file \"Setup.ini\" in folder \"Bin\"!"});
}

TEST_F(CheckTest, EmptyFoldersAndFilesOutsideFeatures) {
    CFolder* docs = AddRootFolder("Docs");
    docs->AddChild(std::make_unique<CFolder>("Empty"));
    CFolder* temp = AddRootFolder("TEMP FOLDER");
    AddFile("helper.dll", {5}, temp);
    CFolder* source = AddRootFolder("Source Folder");
    AddFile("readme.txt", {6}, source);
    AddFile("stray.txt", {7}, docs);
    AddFile("app.exe", {8}, bin);  // in "Main" through the Target Folder
    Check();
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"No object is defined in the folder \"Docs\\Empty\"!",
                                                    "The file \"Docs\\stray.txt\" is not included in any feature!"}));
}

TEST_F(CheckTest, RegistryKeysOutsideFeaturesWarnOnce) {
    AddFile("app.exe", {8}, bin);
    CRegItem* hklm = project.rootRegs[2];
    CRegItem* acme = hklm->AddChild(std::make_unique<CRegItem>("Acme", 0));
    CRegItem* sub = acme->AddChild(std::make_unique<CRegItem>("Sub", 0));
    sub->AddChild(std::make_unique<CRegItem>("Value", 1));
    acme->AddChild(std::make_unique<CRegItem>("Empty", 0));
    Check();
    EXPECT_EQ(Warnings(),
              std::vector<std::string>{"The registry key \"HKEY_LOCAL_MACHINE\\Acme\" is not included in any feature!"});
    main->regKeys.Add(acme);
    lines.Clear();
    Check();
    EXPECT_EQ(Warnings(), std::vector<std::string>{
                              "No object is defined in the registry key \"HKEY_LOCAL_MACHINE\\Acme\\Empty\"!"});
}

TEST_F(CheckTest, ShortcutsDocTypesAndProduct) {
    auto shortcut = std::make_unique<CShortcut>();
    shortcut->name = "Widget";
    shortcut->folder = bin;
    project.shortcuts.Add(std::move(shortcut));
    auto docType = std::make_unique<CDocType>();
    docType->name = "Widget File";
    project.docTypes.Add(std::move(docType));
    project.productID = platform::Guid{};
    project.productName.clear();
    Check();
    EXPECT_EQ(Errors(), (std::vector<std::string>{"No Target specified for the shortcut \"Widget\" in folder \"Bin\"!",
                                                  "No Product GUID has been defined!",
                                                  "No Product Name has been defined!"}));
    EXPECT_EQ(Warnings(), std::vector<std::string>{"No verb is defined for the document type \"Widget File\"!"});
    EXPECT_FALSE(lines.Has(Kind::kWarning, "No object is defined in the folder \"Target Folder\\Bin\"!"));
}

TEST_F(CheckTest, CustomActionTargets) {
    AddFile("app.exe", {8}, bin);
    CFolder* source = AddRootFolder("Source Folder");
    CFolder* temp = AddRootFolder("Temp Folder");
    auto add = [&](const char* name, CFileItem* target, int32_t after) {
        auto action = std::make_unique<CCustomAction>();
        action->name = name;
        action->target = target;
        action->invokeAfter = after;
        project.actions.Add(std::move(action));
    };
    add("none", nullptr, kAfterFinish);
    add("early", AddFile("early.exe", {1}, source), kAfterConfirmation);
    add("late", AddFile("late.exe", {2}, source), kAfterProgress);
    add("temp", AddFile("tool.exe", {3}, temp), kAfterFinish);
    const std::string lateWarning =
        "The file \"Source Folder\\late.exe\" may not be available at installation time to perform custom action!";
    Check();
    EXPECT_EQ(Errors(), std::vector<std::string>{"No Target file is specified for the Custom action \"none\"!"});
    EXPECT_EQ(Warnings(), std::vector<std::string>{lateWarning});
    project.mediaType = 2;
    lines.Clear();
    Check();
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(CheckTest, UserInterfaceFiles) {
    project.ui.showSplash = true;
    project.ui.licenseFiles[1] = Source("LICENSE", {1});
    project.ui.licenseFiles[2] = Source("terms.RTF", {1});
    project.ui.pageBanner[kWelcomePage] = folder / "missing.bmp";
    project.ui.pageBanner[12] = folder / "hidden.bmp";  // no page shown there
    project.ui.readmeOption = kAskChecked;
    project.ui.runOption = kAskUnchecked;
    Check();
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Cannot find the \"Splash\" file!",
                            "Cannot find the file \"" + (folder / "missing.bmp") + "\"!",
                            "Invalid License file type \"" + (folder / "LICENSE") + "\"!",
                            "No Readme File was specified!",
                            "No application was specified to run!",
                        }));
    project.ui.showPage[kLicensePage] = 0;
    project.ui.licenseFiles[0] = folder / "gone.txt";
    lines.Clear();
    Check();
    EXPECT_FALSE(lines.Has(Kind::kError, "Invalid License file type \"" + (folder / "LICENSE") + "\"!"));
    EXPECT_FALSE(lines.Has(Kind::kError, "Cannot find the file \"" + (folder / "gone.txt") + "\"!"));
}

TEST_F(CheckTest, AutorunIconOnlyForCdAndCustomMedia) {
    project.cdIconFile = folder / "cd.ico";
    const std::string missing = "Cannot find the file \"" + project.cdIconFile + "\"!";
    Check();
    EXPECT_TRUE(lines.Has(Kind::kError, missing));
    for (int32_t type : {1, 2}) {
        project.mediaType = type;
        lines.Clear();
        Check();
        EXPECT_FALSE(lines.Has(Kind::kError, missing)) << type;
    }
}

}  // namespace

namespace {

// A cabinet lists at most 65535 files: media that would need more in one cabinet are refused by the check,
// never cut short.
TEST_F(CheckTest, FilesBeyondWhatOneCabinetCanHoldAreAnError) {
#ifdef _WIN32
    // The rule is portable and proven by the native run; under Wine the quarter of a million file lookups
    // of these projects take over a minute.
    GTEST_SKIP() << "proven by the native run";
#endif
    CFolder* temp = AddRootFolder("Temp Folder");
    const auto fill = [&](CFolder* into, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            auto file = std::make_unique<CFileItem>();
            file->title = "f" + std::to_string(i);
            file->sourcePath = folder / file->title;
            file->folder = into;
            project.files.Add(std::move(file));
        }
    };
    struct Case {
        int32_t mediaType;
        size_t productFiles;
        size_t tempFiles;
        std::vector<std::string> cabinetErrors;
    } cases[] = {
        {2, 65535, 0, {}},
        {2, 65536, 0, {"The cabinet \"TSData.cab\" cannot hold 65536 files (65535 at most)!"}},
        {0, 65536, 0, {"The cabinet \"TSData1.cab\" cannot hold 65536 files (65535 at most)!"}},
        {0,
         0,
         65536,
         {"The cabinet \"TSData1.cab\" cannot hold 65536 files (65535 at most)!",
          "The cabinet \"TSFiles.cab\" cannot hold 65536 files (65535 at most)!"}},
    };
    for (const Case& c : cases) {
        project.files.Clear();
        project.mediaType = c.mediaType;
        project.mediaSize = 0;
        fill(bin, c.productFiles);
        fill(temp, c.tempFiles);
        lines.Clear();
        Check();
        std::vector<std::string> cabinetErrors;
        for (const std::string& error : Errors()) {
            if (error.rfind("The cabinet", 0) == 0) {
                cabinetErrors.push_back(error);
            }
        }
        EXPECT_EQ(cabinetErrors, c.cabinetErrors) << c.mediaType << " " << c.productFiles;
    }
}

}  // namespace
