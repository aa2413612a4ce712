#include <gtest/gtest.h>

#include "model/Feature.h"
#include "model/ProjectFile.h"
#include "tests/TestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

// Target Folder > Bin > Plugins, Target Folder > Data; a file in each of them; HKLM\Software\Acme with a
// value, and a subkey Settings with a value.
struct Tree {
    TempFolder folder;
    CProject project;
    CFolder* target;
    CFolder* bin;
    CFolder* plugins;
    CFolder* data;
    CFileItem* inTarget;
    CFileItem* inBin;
    CFileItem* inPlugins;
    CFileItem* inData;
    CRegItem* acme;
    CRegItem* acmeValue;
    CRegItem* settings;
    CRegItem* settingsValue;

    Tree() {
        project.Reset();
        target = project.rootFolders[0];
        bin = target->AddChild(std::make_unique<CFolder>("Bin"));
        plugins = bin->AddChild(std::make_unique<CFolder>("Plugins"));
        data = target->AddChild(std::make_unique<CFolder>("Data"));
        inTarget = Add("t.txt", target);
        inBin = Add("b.exe", bin);
        inPlugins = Add("p.dll", plugins);
        inData = Add("d.dat", data);
        CRegItem* software = project.rootRegs[2]->AddChild(std::make_unique<CRegItem>("Software", 0));
        acme = software->AddChild(std::make_unique<CRegItem>("Acme", 0));
        acmeValue = acme->AddChild(std::make_unique<CRegItem>("Path", platform::kRegString));
        settings = acme->AddChild(std::make_unique<CRegItem>("Settings", 0));
        settingsValue = settings->AddChild(std::make_unique<CRegItem>("Size", platform::kRegDword));
    }
    CFileItem* Add(const char* name, CFolder* in) {
        WriteBytes(folder / name, {1});
        return project.AddFile(folder / name, in);
    }
    CFeature* Main() { return project.rootFeature.children[0]; }
};

TEST(FeatureTest, ANewProjectHasAnInvisibleRootWithTheVisibleMainFeature) {
    CProject project;
    project.Reset();
    const CFeature& root = project.rootFeature;
    EXPECT_EQ(root.name, "Features");
    EXPECT_EQ(root.description, "The Root feature");
    EXPECT_TRUE(root.required && !root.visible && !root.expanded && root.selected);
    ASSERT_EQ(root.children.size(), 1u);
    const CFeature* main = root.children[0];
    EXPECT_EQ(main->name, "Main");
    EXPECT_EQ(main->description, "The main feature of this installation");
    EXPECT_TRUE(main->required && main->visible && !main->expanded && main->selected);
    EXPECT_EQ(main->parent, &root);
    EXPECT_EQ(main->position, 0);
    EXPECT_TRUE(main->files.empty() && main->folders.empty() && main->fileFolders.empty());
    EXPECT_TRUE(root.files.empty() && root.regKeys.empty() && main->children.empty());
}

TEST(FeatureTest, FoldersTakeEverythingBelowFileFoldersOnlyTheirOwnFiles) {
    Tree t;
    CFeature* main = t.Main();
    main->folders.Add(t.bin);
    EXPECT_EQ(main->ContainsFile(t.inBin, false), kIncludedByAncestor);
    EXPECT_EQ(main->ContainsFile(t.inPlugins, false), kIncludedByAncestor) << "a file of a subfolder";
    EXPECT_EQ(main->ContainsFile(t.inTarget, false), kNotIncluded);
    main->folders.Clear();
    main->fileFolders.Add(t.bin);
    EXPECT_EQ(main->ContainsFile(t.inBin, false), kIncludedByContainer);
    EXPECT_EQ(main->ContainsFile(t.inPlugins, false), kNotIncluded) << "not the files of subfolders";
    main->files.Add(t.inPlugins);
    EXPECT_EQ(main->ContainsFile(t.inPlugins, false), kIncludedItself);
    main->folders.Add(t.target);
    EXPECT_EQ(main->ContainsFile(t.inBin, false), kIncludedByAncestor) << "Folders is asked first";
}

TEST(FeatureTest, ARecursiveQueryAsksTheChildrenInOrder) {
    Tree t;
    CFeature* first = t.Main()->AddChild(std::make_unique<CFeature>("First", ""));
    CFeature* second = t.Main()->AddChild(std::make_unique<CFeature>("Second", ""));
    first->files.Add(t.inData);
    second->folders.Add(t.data);
    EXPECT_EQ(t.project.rootFeature.ContainsFile(t.inData, false), kNotIncluded);
    EXPECT_EQ(t.project.rootFeature.ContainsFile(t.inData, true), kIncludedItself)
        << "the first child answers";
    EXPECT_EQ(t.project.rootFeature.FolderState(t.data, true), kPartlyIncluded)
        << "First holds a file in Data";
    EXPECT_EQ(second->FolderState(t.data, true), kIncludedWithSubtree);
}

TEST(FeatureTest, AFileListedOnlyByTheRootFeatureIsInstalledByNone) {
    Tree t;
    t.project.rootFeature.files.Add(t.inTarget);
    EXPECT_EQ(t.project.rootFeature.ContainsFile(t.inTarget, true), kIncludedItself);
    EXPECT_FALSE(t.project.IsInstalledByAFeature(t.inTarget));
    t.Main()->AddChild(std::make_unique<CFeature>("Deep", ""))->fileFolders.Add(t.target);
    EXPECT_TRUE(t.project.IsInstalledByAFeature(t.inTarget));
    EXPECT_FALSE(t.project.IsInstalledByAFeature(t.inData));
}

TEST(FeatureTest, FolderStateMarksListedPartlyIncludedAndCoveredFolders) {
    Tree t;
    CFeature* main = t.Main();
    main->folders.Add(t.bin);
    EXPECT_EQ(main->FolderState(t.bin, false), kIncludedWithSubtree);
    EXPECT_EQ(main->FolderState(t.target, false), kPartlyIncluded) << "Bin lies below it";
    EXPECT_EQ(main->FolderState(t.plugins, false), kIncludedByAncestor) << "it lies below Bin";
    EXPECT_EQ(main->FolderState(t.data, false), kNotIncluded);
    main->folders.Clear();
    main->fileFolders.Add(t.plugins);
    EXPECT_EQ(main->FolderState(t.plugins, false), kIncludedItself);
    EXPECT_EQ(main->FolderState(t.bin, false), kPartlyIncluded);
    EXPECT_EQ(main->FolderState(t.data, false), kNotIncluded);
    main->files.Add(t.inData);
    EXPECT_EQ(main->FolderState(t.data, false), kPartlyIncluded) << "a listed file lies in it";
    EXPECT_EQ(main->FolderState(t.target, false), kPartlyIncluded);
}

TEST(FeatureTest, RegItemStateMarksKeysAndTheValuesOfListedKeys) {
    Tree t;
    CFeature* main = t.Main();
    main->regKeys.Add(t.acme);
    EXPECT_EQ(main->RegItemState(t.acme, false), kIncludedWithSubtree);
    EXPECT_EQ(main->RegItemState(t.settingsValue, false), kIncludedByAncestor);
    EXPECT_EQ(main->RegItemState(t.project.rootRegs[2], false), kPartlyIncluded);
    main->regKeys.Clear();
    main->regValueKeys.Add(t.acme);
    EXPECT_EQ(main->RegItemState(t.acme, false), kIncludedItself);
    EXPECT_EQ(main->RegItemState(t.acmeValue, false), kIncludedByContainer) << "a value directly in it";
    EXPECT_EQ(main->RegItemState(t.settings, false), kNotIncluded) << "a subkey is not a value";
    EXPECT_EQ(main->RegItemState(t.settingsValue, false), kNotIncluded);
    main->regValueKeys.Clear();
    main->regValues.Add(t.settingsValue);
    EXPECT_EQ(main->RegItemState(t.settingsValue, false), kIncludedItself);
    EXPECT_EQ(main->RegItemState(t.acme, false), kPartlyIncluded);
    EXPECT_EQ(main->RegItemState(t.acmeValue, false), kNotIncluded);
    EXPECT_EQ(t.project.rootFeature.RegItemState(t.settingsValue, false), kNotIncluded);
    EXPECT_EQ(t.project.rootFeature.RegItemState(t.settingsValue, true), kIncludedItself);
}

TEST(FeatureTest, ChildrenAreFoundByNameAddedBeyondFiftyAndRemovedWithRenumbering) {
    CFeature root("Features", "");
    for (int i = 0; i < 50; ++i) {
        CFeature* child = root.AddChild(std::make_unique<CFeature>("F" + std::to_string(i), ""));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->parent, &root);
        EXPECT_EQ(child->position, i);
    }
    EXPECT_NE(root.AddChild(std::make_unique<CFeature>("F50", "")), nullptr) << "fifty is no limit";
    EXPECT_TRUE(root.RemoveChild(root.children[50]));
    EXPECT_EQ(root.children.size(), 50u);
    EXPECT_EQ(root.FindChild("f7"), root.children[7]);
    EXPECT_EQ(root.FindChild("F77"), nullptr);
    CFeature* second = root.children[1];
    second->AddChild(std::make_unique<CFeature>("Below", ""));
    EXPECT_TRUE(root.RemoveChild(second));
    EXPECT_EQ(root.children.size(), 49u);
    EXPECT_EQ(root.children[1]->name, "F2");
    EXPECT_EQ(root.children[1]->position, 1);
    EXPECT_EQ(root.children[48]->position, 48);
    CFeature stranger("Stranger", "");
    EXPECT_FALSE(root.RemoveChild(&stranger));
}

TEST(FeatureTest, IndexListsAreStoredAsSizeAndEntryLeaves) {
    Tree t;
    CFeature* main = t.Main();
    main->fileFolders.Add(t.target);
    main->folders.Add(t.plugins);
    main->folders.Add(t.data);
    main->files.Add(t.inData);
    main->regValueKeys.Add(t.settings);
    main->regKeys.Add(t.acme);
    main->regValues.Add(t.acmeValue);
    const std::string path = t.folder / "p.tsp";
    SaveProjectFile(t.project, path);
    const std::vector<std::string> at = {"TSDatabase", "RootFeature", "Children", "Arr0"};
    EXPECT_EQ(
        KeysAt(path, at),
        (std::vector<std::string>{
            "Name",         "Description",      "Required",        "Visible",           "Expanded",
            "Selected",     "FileFolders.Size", "FileFolders[0]",  "Folders.Size",      "Folders[0]",
            "Folders[1]",   "Files.Size",       "Files[0]->Index", "RegValueKeys.Size", "RegValueKeys[0]",
            "RegKeys.Size", "RegKeys[0]",       "RegValues.Size",  "RegValues[0]",      "Children"}));
    EXPECT_EQ(IntAt(path, at, "Folders.Size", -1), 2);
    EXPECT_EQ(IntAt(path, at, "Files[0]->Index", -1), 3);
    CTreeArchive ar(kMainClass, kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    for (const std::string& name : at) {
        ASSERT_TRUE(ar.BeginObject(name));
    }
    std::string text;
    ar.ExchangeString("Folders[0]", &text, "");
    EXPECT_EQ(text, "0,0,0,");
    ar.ExchangeString("RegValues[0]", &text, "");
    EXPECT_EQ(text, "2,0,0,0,");
}

TEST(FeatureTest, ARemovedFileLeavesEveryFeatureAndTheOthersFollowTheirNewPositions) {
    Tree t;
    CFeature* main = t.Main();
    CFeature* child = main->AddChild(std::make_unique<CFeature>("Child", ""));
    main->files.Add(t.inTarget);
    main->files.Add(t.inBin);
    main->files.Add(t.inData);
    child->files.Add(t.inBin);
    t.project.RemoveFile(t.inBin);
    EXPECT_EQ(main->files.size(), 2u);
    EXPECT_TRUE(child->files.empty());
    const std::string path = t.folder / "p.tsp";
    SaveProjectFile(t.project, path);
    const std::vector<std::string> at = {"TSDatabase", "RootFeature", "Children", "Arr0"};
    EXPECT_EQ(IntAt(path, at, "Files.Size", -1), 2);
    EXPECT_EQ(IntAt(path, at, "Files[1]->Index", -1), 2) << "d.dat moved from position 3 to 2";
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, path));
    const CFeature* loadedMain = loaded.rootFeature.children[0];
    ASSERT_EQ(loadedMain->files.size(), 2u);
    EXPECT_EQ(loadedMain->files[0]->title, "t.txt");
    EXPECT_EQ(loadedMain->files[1]->title, "d.dat");
    EXPECT_TRUE(loadedMain->children[0]->files.empty());
}

TEST(FeatureTest, TwelveNestedLevelsLoadWithTheirParents) {
    TempFolder folder;
    CProject project;
    project.Reset();
    CFeature* level = project.rootFeature.children[0];
    for (int i = 2; i <= 12; ++i) {
        level = level->AddChild(std::make_unique<CFeature>("Level" + std::to_string(i), "depth"));
    }
    level->fileFolders.Add(project.rootFolders[0]);
    SaveProjectFile(project, folder / "deep.tsp");
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "deep.tsp"));
    const CFeature* at = &loaded.rootFeature;
    for (int depth = 1; depth <= 12; ++depth) {
        ASSERT_EQ(at->children.size(), 1u) << "depth " << depth;
        const CFeature* child = at->children[0];
        EXPECT_EQ(child->parent, at) << "depth " << depth;
        EXPECT_EQ(child->name, depth == 1 ? "Main" : "Level" + std::to_string(depth));
        at = child;
    }
    EXPECT_TRUE(at->children.empty());
    ASSERT_EQ(at->fileFolders.size(), 1u);
    EXPECT_EQ(at->fileFolders[0], loaded.rootFolders[0]);
    EXPECT_EQ(loaded.rootFeature.FolderState(loaded.rootFolders[0], true), kIncludedItself);
}

// A feature written by hand: counts that disagree with the entries, references outside their lists.
TEST(FeatureTest, EntriesThatDoNotResolveAreDroppedAndCountsAreNotTrusted) {
    Tree t;
    const std::string good = t.folder / "good.tsp";
    SaveProjectFile(t.project, good);
    const std::string path = t.folder / "hand.tsp";
    {
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        // The folders, files and registry items of the saved project, copied entry by entry.
        CProject source;
        ASSERT_TRUE(LoadProjectFile(source, good));
        source.rootFolders.Exchange(ar, "RootFolders",
                                    [&](CFolder& f, const std::string& k) { f.Serialize(k, ar, good); });
        source.files.Exchange(ar, "Files",
                              [&](CFileItem& f, const std::string& k) { f.Serialize(k, ar, source); });
        source.rootRegs.Exchange(ar, "RootRegs",
                                 [&](CRegItem& r, const std::string& k) { r.Serialize(k, ar); });
        ar.BeginObject("RootFeature");
        std::string name = "Features";
        ar.ExchangeString("Name", &name, "");
        int32_t size = 1000000;  // far more than the entries that follow
        ar.ExchangeInt("Files.Size", &size, 0);
        int32_t indices[] = {2, 4, -1, 3, 1};
        for (int i = 0; i < 5; ++i) {
            ar.ExchangeInt("Files[" + std::to_string(i) + "]->Index", &indices[i], 0);
        }
        size = 4;
        ar.ExchangeInt("Folders.Size", &size, 0);
        const char* folders[] = {"0,1,", "0,0,0,0,", "7,", "0,0,0,"};
        for (int i = 0; i < 4; ++i) {
            std::string text = folders[i];
            ar.ExchangeString("Folders[" + std::to_string(i) + "]", &text, "");
        }
        size = -3;
        ar.ExchangeInt("RegKeys.Size", &size, 0);
        std::string key = "2,0,";
        ar.ExchangeString("RegKeys[0]", &key, "");
        uint8_t narrow = 1;  // the wrong width for a count
        ar.ExchangeBool("RegValues.Size", &narrow, 0);
        ar.ExchangeString("RegValues[0]", &key, "");
        ar.EndObject();
        ar.CloseAfterSave();
    }
    CProject loaded;
    loaded.Reset();
    ASSERT_TRUE(LoadProjectFile(loaded, path));
    const CFeature& root = loaded.rootFeature;
    EXPECT_EQ(root.name, "Features");
    ASSERT_EQ(root.files.size(), 3u) << "4 and -1 are outside the Files list";
    EXPECT_EQ(root.files[0], loaded.files[2]);
    EXPECT_EQ(root.files[1], loaded.files[3]);
    EXPECT_EQ(root.files[2], loaded.files[1]);
    ASSERT_EQ(root.folders.size(), 2u);
    EXPECT_EQ(root.folders[0]->name, "Data");
    EXPECT_EQ(root.folders[1]->name, "Plugins");
    EXPECT_TRUE(root.regKeys.empty()) << "a negative count reads nothing";
    EXPECT_TRUE(root.regValues.empty()) << "a count of the wrong width is 0";
    EXPECT_EQ(root.children.size(), 1u) << "a missing Children list keeps the new project's Main feature";
    EXPECT_FALSE(root.visible) << "missing booleans are false";
}

TEST(FeatureTest, AListKeepsThousandsOfEntriesOnLoad) {
    Tree t;
    CFeature* main = t.Main();
    for (size_t i = 0; i < 2500; ++i) {
        ASSERT_TRUE(main->fileFolders.Add(i % 2 ? t.bin : t.data));
    }
    EXPECT_FALSE(main->fileFolders.Add(nullptr));
    const std::string path = t.folder / "p.tsp";
    SaveProjectFile(t.project, path);
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, path));
    const CFeature* loadedMain = loaded.rootFeature.children[0];
    ASSERT_EQ(loadedMain->fileFolders.size(), 2500u);
    EXPECT_EQ(loadedMain->fileFolders[2499]->name, "Bin");
}

}  // namespace
