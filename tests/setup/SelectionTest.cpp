#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "setup/engine/Selection.h"
#include "setup/engine/SetupEngine.h"

namespace {

class FixedFolders : public SystemFolders {
public:
    std::string WindowsFolder() override { return "C:\\WINDOWS"; }
    std::string SystemFolder() override { return "C:\\WINDOWS\\system32"; }
    std::string ShellFolder(const std::string& valueName, bool) override {
        return valueName == "Desktop" ? "C:\\Users\\ann\\Desktop" : "C:\\Users\\ann\\" + valueName;
    }
};

// Target Folder with Bin below it and Sub below Bin; a file in each; a registry key Software\App with a
// value, and a subkey with a value of its own.
class Selection : public ::testing::Test {
protected:
    Selection() {
        engine.project.target = "D:\\App";
        target = engine.project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
        bin = target->AddChild(std::make_unique<CFolder>("Bin"));
        sub = bin->AddChild(std::make_unique<CFolder>("Sub"));
        other = engine.project.rootFolders.Add(std::make_unique<CFolder>("Windows Folder"));
        inTarget = AddFile("readme.txt", target, 100);
        inBin = AddFile("app.exe", bin, 2000);
        inSub = AddFile("data.bin", sub, 30000);
        inOther = AddFile("other.ini", other, 7);

        hklm = engine.project.rootRegs.Add(std::make_unique<CRegItem>("HKEY_LOCAL_MACHINE", 0));
        software = hklm->AddChild(std::make_unique<CRegItem>("Software", 0));
        app = software->AddChild(std::make_unique<CRegItem>("App", 0));
        appValue = app->AddChild(std::make_unique<CRegItem>("Path", 1));
        subKey = app->AddChild(std::make_unique<CRegItem>("Options", 0));
        subValue = subKey->AddChild(std::make_unique<CRegItem>("Level", 4));

        engine.project.rootFeature.name = "Features";
        feature = engine.project.rootFeature.AddChild(std::make_unique<CFeature>("Main", ""));
    }

    CFileItem* AddFile(const char* title, CFolder* folder, uint32_t size) {
        auto file = std::make_unique<CFileItem>();
        file->title = title;
        file->folder = folder;
        file->size = size;
        return engine.project.files.Add(std::move(file));
    }

    FixedFolders folders;
    SetupEngine engine{folders};
    CFolder* target;
    CFolder* bin;
    CFolder* sub;
    CFolder* other;
    CFileItem* inTarget;
    CFileItem* inBin;
    CFileItem* inSub;
    CFileItem* inOther;
    CRegItem* hklm;
    CRegItem* software;
    CRegItem* app;
    CRegItem* appValue;
    CRegItem* subKey;
    CRegItem* subValue;
    CFeature* feature;
};

TEST_F(Selection, FolderWithEverythingTakesAncestorsSubfoldersAndAllTheirFiles) {
    feature->folders.Add(bin);
    PrepareSelection(engine);
    EXPECT_TRUE(target->isSelected);
    EXPECT_TRUE(bin->isSelected);
    EXPECT_TRUE(sub->isSelected);
    EXPECT_FALSE(other->isSelected);
    EXPECT_FALSE(inTarget->isSelected);
    EXPECT_TRUE(inBin->isSelected);
    EXPECT_TRUE(inSub->isSelected);
    EXPECT_EQ(engine.totalBytes, 32000);
}

TEST_F(Selection, FolderWithItsFilesTakesAncestorsAndOnlyItsOwnFiles) {
    feature->fileFolders.Add(bin);
    PrepareSelection(engine);
    EXPECT_TRUE(target->isSelected);
    EXPECT_TRUE(bin->isSelected);
    EXPECT_FALSE(sub->isSelected);
    EXPECT_TRUE(inBin->isSelected);
    EXPECT_FALSE(inSub->isSelected);
    EXPECT_FALSE(inTarget->isSelected);
    EXPECT_EQ(engine.totalBytes, 2000);
}

TEST_F(Selection, SingleFileTakesItsFolderChain) {
    feature->files.Add(inSub);
    PrepareSelection(engine);
    EXPECT_TRUE(inSub->isSelected);
    EXPECT_TRUE(sub->isSelected);
    EXPECT_TRUE(bin->isSelected);
    EXPECT_TRUE(target->isSelected);
    EXPECT_FALSE(inBin->isSelected);
}

TEST_F(Selection, RegistryListsTakeWhatTheySay) {
    feature->regKeys.Add(app);
    PrepareSelection(engine);
    for (CRegItem* item : {hklm, software, app, appValue, subKey, subValue}) {
        EXPECT_TRUE(item->isSelected) << item->name;
    }

    feature->regKeys.Clear();
    feature->regValueKeys.Add(app);
    PrepareSelection(engine);
    EXPECT_TRUE(hklm->isSelected && software->isSelected && app->isSelected && appValue->isSelected);
    EXPECT_FALSE(subKey->isSelected);
    EXPECT_FALSE(subValue->isSelected);

    feature->regValueKeys.Clear();
    feature->regValues.Add(subValue);
    PrepareSelection(engine);
    EXPECT_TRUE(subValue->isSelected && subKey->isSelected && app->isSelected && software->isSelected);
    EXPECT_FALSE(appValue->isSelected);
}

TEST_F(Selection, RootFeatureListsAndUnselectedFeaturesGiveNothing) {
    engine.project.rootFeature.folders.Add(target);
    engine.project.rootFeature.regKeys.Add(hklm);
    feature->files.Add(inOther);
    feature->selected = false;
    PrepareSelection(engine);
    EXPECT_FALSE(target->isSelected);
    EXPECT_FALSE(inTarget->isSelected);
    EXPECT_FALSE(hklm->isSelected);
    EXPECT_FALSE(inOther->isSelected);
    EXPECT_EQ(engine.totalBytes, 0);
}

TEST_F(Selection, SelectedSubFeatureOfUnselectedParentInstalls) {
    feature->selected = false;
    CFeature* child = feature->AddChild(std::make_unique<CFeature>("Extras", ""));
    child->files.Add(inTarget);
    PrepareSelection(engine);
    EXPECT_TRUE(inTarget->isSelected);
    EXPECT_TRUE(target->isSelected);
}

TEST_F(Selection, ChangeRunCountsOnlyBytesNotYetInstalled) {
    engine.mode = SM_CHANGE;
    feature->folders.Add(target);
    inBin->isInstalled = true;
    inTarget->isSelected = true;  // marks of an earlier preparation are cleared first
    inOther->isSelected = true;
    PrepareSelection(engine);
    EXPECT_FALSE(inOther->isSelected);
    EXPECT_TRUE(inBin->isInstalled);
    EXPECT_EQ(engine.totalBytes, 100 + 30000);
}

TEST_F(Selection, RemovalDeselectsEveryFeature) {
    engine.mode = SM_REMOVE;
    feature->folders.Add(target);
    feature->installed = true;
    MarkInstalledItems(engine);
    PrepareSelection(engine);
    EXPECT_FALSE(feature->selected);
    EXPECT_FALSE(engine.project.rootFeature.selected);
    EXPECT_FALSE(target->isSelected);
    EXPECT_FALSE(inSub->isSelected);
    EXPECT_TRUE(inSub->isInstalled);
    EXPECT_TRUE(target->isInstalled);
    EXPECT_EQ(engine.totalBytes, 0);
}

TEST_F(Selection, RepairClearsInstalledMarksSoEverySelectedItemIsCopiedAgain) {
    engine.mode = SM_REPAIR;
    feature->folders.Add(target);
    feature->regKeys.Add(app);
    feature->installed = true;
    MarkInstalledItems(engine);
    ASSERT_TRUE(inBin->isInstalled && app->isInstalled && bin->isInstalled);
    PrepareSelection(engine);
    EXPECT_FALSE(feature->installed);
    EXPECT_FALSE(inBin->isInstalled);
    EXPECT_FALSE(bin->isInstalled);
    EXPECT_FALSE(app->isInstalled);
    EXPECT_TRUE(inBin->isSelected);
    EXPECT_EQ(engine.totalBytes, 32100);
}

TEST_F(Selection, InstalledMarksFollowOnlyInstalledFeatures) {
    feature->fileFolders.Add(sub);
    CFeature* second = engine.project.rootFeature.AddChild(std::make_unique<CFeature>("Other", ""));
    second->files.Add(inOther);
    feature->installed = true;
    MarkInstalledItems(engine);
    EXPECT_TRUE(inSub->isInstalled);
    EXPECT_TRUE(target->isInstalled);
    EXPECT_FALSE(inOther->isInstalled);
    EXPECT_FALSE(other->isInstalled);
}

TEST_F(Selection, TotalBytesStopAtTheLargestCount) {
    inBin->size = 0x7FFFFFFF;
    inSub->size = 0x7FFFFFFF;
    feature->folders.Add(target);
    PrepareSelection(engine);
    EXPECT_EQ(engine.totalBytes, 0x7FFFFFFF);
}

TEST_F(Selection, ResolvedPathsOfFoldersAndFiles) {
    inBin->appPath = "<target folder>\\Bin";
    ResolvePaths(engine);
    EXPECT_EQ(target->resolvedPath, "D:\\App");
    EXPECT_EQ(sub->resolvedPath, "D:\\App\\Bin\\Sub");
    EXPECT_EQ(other->resolvedPath, "C:\\WINDOWS");
    EXPECT_EQ(inSub->resolvedPath, "D:\\App\\Bin\\Sub\\data.bin");
    EXPECT_EQ(inBin->appPath, "D:\\App\\Bin");
}

TEST_F(Selection, ShortcutRootsAreSuppressedWhenDeclined) {
    CFolder* desktop = engine.project.rootFolders.Add(std::make_unique<CFolder>("DeskTop"));
    CFolder* below = desktop->AddChild(std::make_unique<CFolder>("Group"));
    CFolder* programs = engine.project.rootFolders.Add(std::make_unique<CFolder>("Programs"));
    CFolder* startMenu = engine.project.rootFolders.Add(std::make_unique<CFolder>("Start Menu"));
    CFolder* startup = engine.project.rootFolders.Add(std::make_unique<CFolder>("STARTUP"));
    CFolder* group = programs->AddChild(std::make_unique<CFolder>("Desktop"));

    engine.desktopShortcuts = false;
    ResolvePaths(engine);
    EXPECT_TRUE(desktop->suppressed);
    EXPECT_TRUE(below->suppressed);
    EXPECT_FALSE(programs->suppressed);
    EXPECT_FALSE(group->suppressed);  // only a root named desktop counts
    EXPECT_FALSE(target->suppressed);
    EXPECT_EQ(desktop->resolvedPath, "C:\\Users\\ann\\Desktop");

    engine.desktopShortcuts = true;
    engine.menuShortcuts = false;
    ResolvePaths(engine);
    EXPECT_FALSE(desktop->suppressed);
    EXPECT_TRUE(programs->suppressed && startMenu->suppressed && startup->suppressed && group->suppressed);
    EXPECT_FALSE(target->suppressed);
}

TEST_F(Selection, TextsAreExpandedOnceAndStringDataFollowsItsNewLength) {
    engine.project.productName = "Widget <hard coded X>";
    engine.project.comments = "by <manufacturer>";
    engine.project.manufacturer = "Aldmere";
    appValue->name = "<product version>";
    engine.project.productVersion = "2.0";
    appValue->data = CRegItem::DataFromText(1, "<target folder>\\bin");
    subValue->data = {'<', 'x', '>', 0};  // a double word's bytes are not text
    subValue->name = "Level";
    auto shortcut = std::make_unique<CShortcut>();
    shortcut->name = "<product name>";
    shortcut->arguments = "-d <target folder>";
    shortcut->description = "<user name>";
    engine.userName = "ann";
    CShortcut* link = engine.project.shortcuts.Add(std::move(shortcut));
    auto docType = std::make_unique<CDocType>();
    docType->name = "<product name> File";
    docType->description = "<company name>";
    engine.companyName = "Co";
    auto verb = std::make_unique<CVerb>();
    verb->name = "<test>";
    verb->description = "&Open <product version>";
    verb->arguments = "\"%1\" <setup mode>";
    docType->verbs.Add(std::move(verb));
    CDocType* type = engine.project.docTypes.Add(std::move(docType));

    ResolvePaths(engine);
    EXPECT_EQ(engine.project.productName, "Widget x");
    EXPECT_EQ(engine.project.comments, "by Aldmere");
    EXPECT_EQ(appValue->name, "2.0");
    const std::string expected = "D:\\App\\bin";
    ASSERT_EQ(appValue->data.size(), expected.size() + 1);
    EXPECT_EQ(std::string(appValue->data.begin(), appValue->data.end() - 1), expected);
    EXPECT_EQ(appValue->data.back(), 0);
    EXPECT_EQ(subValue->data, std::vector<uint8_t>({'<', 'x', '>', 0}));
    EXPECT_EQ(link->name, "Widget x");  // the product name is expanded first; its value is not scanned again
    EXPECT_EQ(link->arguments, "-d D:\\App");
    EXPECT_EQ(link->description, "ann");
    EXPECT_EQ(type->name, "Widget x File");
    EXPECT_EQ(type->description, "Co");
    EXPECT_EQ(type->verbs[0]->name, "FALSE");
    EXPECT_EQ(type->verbs[0]->description, "&Open 2.0");
    EXPECT_EQ(type->verbs[0]->arguments, "\"%1\" SM_NEW");
}

}  // namespace
