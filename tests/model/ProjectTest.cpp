#include "model/Project.h"

#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "tests/TestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

std::vector<std::string> Names(const CItemArray<CFolder>& list) {
    std::vector<std::string> names;
    for (const CFolder* f : list) {
        names.push_back(f->name);
    }
    return names;
}

TEST(NewProjectTest, HasTheTargetFolderTheFiveRootKeysAndTheDefaults) {
    CProject project;
    project.Reset();
    EXPECT_EQ(Names(project.rootFolders), std::vector<std::string>{"Target Folder"});
    ASSERT_EQ(project.rootRegs.size(), 5u);
    const char* roots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                           "Installation Type Dependant"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(project.rootRegs[i]->name, roots[i]);
        EXPECT_TRUE(project.rootRegs[i]->IsKey());
        EXPECT_EQ(project.rootRegs[i]->position, static_cast<int>(i));
    }
    EXPECT_TRUE(project.files.empty());
    EXPECT_EQ(project.minNT, 0x2004u);
    EXPECT_EQ(project.min95, 0x200u);
    EXPECT_TRUE(project.makeAutorun);
    EXPECT_EQ(project.iconFile, nullptr);
    EXPECT_FALSE(project.productID.IsNull());
    EXPECT_TRUE(project.projectPath.empty());
}

TEST(NewProjectTest, EachNewProjectHasTheNextNameAndANewGuid) {
    CProject first;
    first.Reset();
    CProject second;
    second.Reset();
    const int number = std::stoi(first.displayName.substr(7));
    EXPECT_EQ(first.displayName, "Project" + std::to_string(number));
    EXPECT_EQ(second.displayName, "Project" + std::to_string(number + 1));
    EXPECT_NE(first.productID, second.productID);
}

TEST(NewProjectTest, ResetEmptiesAProjectThatWasInUse) {
    TempFolder folder;
    WriteBytes(folder / "a.txt", {1});
    CProject project;
    project.Reset();
    project.iconFile = project.AddFile(folder / "a.txt", project.rootFolders[0]);
    project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    project.FindSpecialFolders(false);
    project.productName = "Old";
    project.Reset();
    EXPECT_TRUE(project.files.empty());
    EXPECT_EQ(project.iconFile, nullptr);
    EXPECT_EQ(project.sourceFolder, nullptr);
    EXPECT_EQ(project.rootFolders.size(), 1u);
    EXPECT_EQ(project.productName, "");
}

TEST(ProjectFileTest, EveryValueSurvivesASaveAndALoad) {
    TempFolder folder;
    WriteBytes(folder / "app.exe", {1, 2, 3});
    CProject saved;
    saved.Reset();
    saved.target = "<program files folder>\\Acme";
    saved.iconFile = saved.AddFile(folder / "app.exe", saved.rootFolders[0]);
    saved.iconIndex = 2;
    saved.noModify = saved.noRemove = saved.noRepair = saved.noARP = true;
    saved.author = "A";
    saved.comments = "line 1\nline 2";
    saved.productName = "Acme";
    saved.productVersion = "1.0";
    saved.manufacturer = "Acme Inc";
    saved.productURL = "http://acme";
    saved.supportPhone = "555";
    saved.minNT = 0x4002;
    saved.min95 = 0;
    saved.mediaType = 3;
    saved.mediaSize = 1457664;
    saved.makeAutorun = false;
    saved.cdIconFile = folder / "cd.ico";
    saved.cdIconIndex = 1;
    saved.destination = folder / "media";
    saved.reservedSpace = 4096;
    SaveProjectFile(saved, folder / "p.tsp");

    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    EXPECT_EQ(loaded.productID, saved.productID) << "the GUID byte for byte";
    EXPECT_EQ(loaded.target, saved.target);
    ASSERT_NE(loaded.iconFile, nullptr);
    EXPECT_EQ(loaded.iconFile->sourcePath, folder / "app.exe");
    EXPECT_EQ(loaded.iconFile->size, 3u);
    EXPECT_EQ(loaded.iconIndex, 2);
    EXPECT_TRUE(loaded.noModify && loaded.noRemove && loaded.noRepair && loaded.noARP);
    EXPECT_EQ(loaded.comments, saved.comments);
    EXPECT_EQ(loaded.manufacturer, "Acme Inc");
    EXPECT_EQ(loaded.productURL, "http://acme");
    EXPECT_EQ(loaded.supportPhone, "555");
    EXPECT_EQ(loaded.minNT, 0x4002u);
    EXPECT_EQ(loaded.min95, 0u);
    EXPECT_EQ(loaded.mediaType, 3);
    EXPECT_EQ(loaded.mediaSize, 1457664);
    EXPECT_FALSE(loaded.makeAutorun);
    EXPECT_EQ(loaded.cdIconFile, saved.cdIconFile);
    EXPECT_EQ(loaded.destination, saved.destination);
    EXPECT_EQ(loaded.reservedSpace, 4096);
    EXPECT_EQ(loaded.displayName, "p.tsp");
    // Paths on the authoring machine are stored relative to the project file.
    CTreeArchive ar(kMainClass, kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(folder / "p.tsp"));
    ASSERT_TRUE(ar.BeginObject("TSDatabase"));
    std::string stored;
    ar.ExchangeString("Destination", &stored, "");
    EXPECT_EQ(stored, "0,\\media");
}

TEST(ProjectFileTest, AFileWithoutTheProjectObjectLeavesTheProjectAsItWas) {
    TempFolder folder;
    {
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(folder / "other.tsp");
        ar.BeginObject("SomethingElse");
        ar.EndObject();
        ar.CloseAfterSave();
    }
    CProject project;
    project.Reset();
    project.productName = "Kept";
    const platform::Guid guid = project.productID;
    ASSERT_TRUE(LoadProjectFile(project, folder / "other.tsp"));
    EXPECT_EQ(project.productName, "Kept");
    EXPECT_EQ(project.productID, guid);
    EXPECT_EQ(project.rootRegs.size(), 5u);
    EXPECT_FALSE(LoadProjectFile(project, folder / "missing.tsp"));
}

// A project with a file in the Target Folder, one in a subfolder of the Source Folder, and a string value.
struct SampleProject {
    TempFolder folder;
    CProject project;
    CFolder* source = nullptr;
    CFolder* sub = nullptr;
    SampleProject() {
        WriteBytes(folder / "a.dll", {1, 2});
        WriteBytes(folder / "b.txt", {3});
        project.Reset();
        project.destination = folder / "media";
        source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
        sub = source->AddChild(std::make_unique<CFolder>("Sub"));
        project.AddFile(folder / "a.dll", project.rootFolders[0]);
        project.AddFile(folder / "b.txt", sub);
        CRegItem* key = project.rootRegs[2]->AddChild(std::make_unique<CRegItem>("Software", 0));
        auto value = std::make_unique<CRegItem>("Name", platform::kRegString);
        value->value = "abc";
        key->AddChild(std::move(value));
        project.projectPath = folder / "p.tsp";
    }
};

TEST(KeysByKindTest, AProjectFileCarriesTheAuthoringKeys) {
    SampleProject sample;
    const std::string path = sample.folder / "p.tsp";
    SaveWithKind(sample.project, path, kSaveProject);
    const auto project = KeysAt(path, {"TSDatabase"});
    for (const char* key : {"MediaSize", "MakeAutorun", "CDIconFile", "CDIconIndex", "Destination", "ReservedSpace"}) {
        EXPECT_TRUE(Contains(project, key)) << key;
    }
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "Files", "Arr0"}),
              (std::vector<std::string>{"Name", "FileSize", "FileTime", "Register", "Shared", "AddAppPath", "AppPath",
                                        "VersionMS", "VersionLS", "Sequence", "OverwriteMethod", "IsConfigFile",
                                        "Permanent", "OSMask", "Folder"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "RootFolders", "Arr0"}),
              (std::vector<std::string>{"Name", "DynamicPath", "Expanded", "IsDynamic", "WildCards", "XWildCards",
                                        "IncludeSF", "OverwriteMethod", "Children"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "RootRegs", "Arr2", "Children", "Arr0", "Children", "Arr0"}),
              (std::vector<std::string>{"Name", "Value", "Type", "Expanded", "Children", "Permanent"}));
}

TEST(KeysByKindTest, TheSetupDatabaseCarriesTheSetupKeys) {
    SampleProject sample;
    const std::string path = sample.folder / "tsdb.dat";
    SaveWithKind(sample.project, path, kBuildDatabase);
    const auto project = KeysAt(path, {"TSDatabase"});
    for (const char* key : {"MediaSize", "MakeAutorun", "CDIconFile", "CDIconIndex", "Destination", "ReservedSpace"}) {
        EXPECT_FALSE(Contains(project, key)) << key;
    }
    EXPECT_TRUE(Contains(project, "MediaType"));
    const std::vector<std::string> fileKeys = {"FileTitle", "Compressed", "FileSize", "FileTime", "Register",
                                               "Shared", "AddAppPath", "AppPath", "VersionMS", "VersionLS",
                                               "Sequence", "OverwriteMethod", "IsConfigFile", "Permanent",
                                               "OSMask", "Folder"};
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "Files", "Arr0"}), fileKeys);
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "Files", "Arr1"}), fileKeys);
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "RootFolders", "Arr0"}), (std::vector<std::string>{"Name", "Children"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "RootRegs", "Arr2", "Children", "Arr0", "Children", "Arr0"}),
              (std::vector<std::string>{"Name", "Type", "Size", "Data", "Children", "Permanent"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "RootRegs", "Arr2", "Children", "Arr0"}),
              (std::vector<std::string>{"Name", "Type", "Size", "Children", "Permanent"}))
        << "a key has no data";

    // The Target Folder's file is compressed, the Source Folder's subfolder's file is not.
    CProject setup;
    LoadWithKind(setup, path, kSetupProgram);
    ASSERT_EQ(setup.files.size(), 2u);
    EXPECT_EQ(setup.files[0]->title, "a.dll");
    EXPECT_TRUE(setup.files[0]->compressed);
    EXPECT_EQ(setup.files[1]->title, "b.txt");
    EXPECT_FALSE(setup.files[1]->compressed);
    EXPECT_EQ(setup.files[1]->folder->TargetPath(), "<Source Folder>\\Sub");
    EXPECT_EQ(setup.sourceFolder, setup.rootFolders[1]);
    EXPECT_EQ(setup.files[0]->size, 2u);
}

TEST(KeysByKindTest, TheSetupProgramWritesOnlyTheKeysItKnows) {
    SampleProject sample;
    const std::string database = sample.folder / "tsdb.dat";
    SaveWithKind(sample.project, database, kBuildDatabase);
    CProject setup;
    LoadWithKind(setup, database, kSetupProgram);
    setup.files[0]->wasThere = true;
    const std::string copy = sample.folder / "TSdb.dat";
    SaveWithKind(setup, copy, kSetupProgram);
    EXPECT_EQ(KeysAt(copy, {"TSDatabase", "Files", "Arr0"}),
              (std::vector<std::string>{"FileTitle", "Compressed", "FileSize", "FileTime", "Register", "Shared",
                                        "AddAppPath", "AppPath", "VersionMS", "VersionLS", "OverwriteMethod",
                                        "IsConfigFile", "Permanent", "WasThere", "OSMask", "Folder"}));
    CProject again;
    LoadWithKind(again, copy, kSetupProgram);
    EXPECT_TRUE(again.files[0]->wasThere);
    EXPECT_FALSE(again.files[1]->wasThere);
    EXPECT_FALSE(again.files[1]->compressed);
    const CRegItem* value = again.rootRegs[2]->children[0]->children[0];
    EXPECT_EQ(value->data, (std::vector<uint8_t>{'a', 'b', 'c', 0}));
    EXPECT_EQ(again.productID, sample.project.productID);
}

TEST(SpecialFoldersTest, ExactNamesAfterALoadAnyCaseBeforeABuild) {
    TempFolder folder;
    CProject project;
    project.Reset();
    project.rootFolders.Add(std::make_unique<CFolder>("source folder"));
    project.rootFolders.Add(std::make_unique<CFolder>("Temp Folder"));
    SaveProjectFile(project, folder / "p.tsp");
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    EXPECT_EQ(loaded.sourceFolder, nullptr);
    EXPECT_EQ(loaded.tempFolder, loaded.rootFolders[2]);
    loaded.FindSpecialFolders(true);
    EXPECT_EQ(loaded.sourceFolder, loaded.rootFolders[1]);
}

TEST(RemovalTest, FilesBehindARemovedFileMoveDownAndReferencesFollow) {
    TempFolder folder;
    CProject project;
    project.Reset();
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
        WriteBytes(folder / name, {1});
        project.AddFile(folder / name, project.rootFolders[0]);
    }
    project.iconFile = project.files[2];
    project.RemoveFile(project.files[1]);
    ASSERT_EQ(project.files.size(), 2u);
    EXPECT_EQ(project.files[0]->position, 0);
    EXPECT_EQ(project.files[1]->position, 1);
    EXPECT_EQ(project.files[1]->title, "three.txt");
    SaveProjectFile(project, folder / "p.tsp");
    EXPECT_EQ(IntAt(folder / "p.tsp", {"TSDatabase"}, "IconFile", -5), 1);
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    ASSERT_NE(loaded.iconFile, nullptr);
    EXPECT_EQ(loaded.iconFile->title, "three.txt");
}

TEST(RemovalTest, AReferenceToARemovedFileIsListedFirstAndClearedOnRemoval) {
    TempFolder folder;
    WriteBytes(folder / "app.ico", {1});
    CProject project;
    project.Reset();
    CFileItem* icon = project.AddFile(folder / "app.ico", project.rootFolders[0]);
    project.iconFile = icon;
    EXPECT_EQ(project.FileDependents(icon), (std::vector<Dependent>{{"Icon File", "project"}}));
    EXPECT_EQ(project.iconFile, icon) << "listing changes nothing";
    project.RemoveFile(icon);
    EXPECT_EQ(project.iconFile, nullptr);
    EXPECT_TRUE(project.files.empty());
    SaveProjectFile(project, folder / "p.tsp");
    EXPECT_EQ(IntAt(folder / "p.tsp", {"TSDatabase"}, "IconFile", -5), -1);
}

TEST(RemovalTest, OnlyEmptyFoldersCanBeRemovedAndSiblingsAreRenumbered) {
    TempFolder folder;
    WriteBytes(folder / "f.txt", {1});
    CProject project;
    project.Reset();
    CFolder* target = project.rootFolders[0];
    CFolder* a = target->AddChild(std::make_unique<CFolder>("A"));
    CFolder* b = target->AddChild(std::make_unique<CFolder>("B"));
    CFolder* c = target->AddChild(std::make_unique<CFolder>("C"));
    a->AddChild(std::make_unique<CFolder>("Inner"));
    CFileItem* file = project.AddFile(folder / "f.txt", b);
    EXPECT_FALSE(project.CanRemoveFolder(a)) << "has a child folder";
    EXPECT_FALSE(project.CanRemoveFolder(b)) << "a file lies in it";
    EXPECT_TRUE(project.CanRemoveFolder(c));
    EXPECT_EQ(project.FolderDependents(b), (std::vector<Dependent>{{"f.txt", "file"}}));
    EXPECT_EQ(project.IndexPathOf(c), "0,2,");
    project.RemoveFolder(a);
    EXPECT_EQ(c->position, 1);
    EXPECT_EQ(project.IndexPathOf(c), "0,1,");
    EXPECT_EQ(project.FolderFromIndexPath("0,1,"), c);
    project.RemoveFolder(b);
    EXPECT_EQ(file->folder, nullptr) << "a file is never left pointing at a removed folder";
}

TEST(RemovalTest, RemovingTheSourceFolderClearsItsMark) {
    CProject project;
    project.Reset();
    project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
    project.FindSpecialFolders(false);
    ASSERT_NE(project.sourceFolder, nullptr);
    project.RemoveFolder(project.sourceFolder);
    EXPECT_EQ(project.sourceFolder, nullptr);
    EXPECT_EQ(project.rootFolders.size(), 1u);
}

TEST(RemovalTest, RegistryItemsAreRemovedWithTheirSubtree) {
    CProject project;
    project.Reset();
    CRegItem* software = project.rootRegs[1]->AddChild(std::make_unique<CRegItem>("Software", 0));
    CRegItem* a = software->AddChild(std::make_unique<CRegItem>("A", 0));
    CRegItem* b = software->AddChild(std::make_unique<CRegItem>("B", 0));
    a->AddChild(std::make_unique<CRegItem>("Value", platform::kRegString));
    EXPECT_EQ(project.IndexPathOf(b), "1,0,1,");
    project.RemoveRegItem(a);
    EXPECT_EQ(software->children.size(), 1u);
    EXPECT_EQ(project.IndexPathOf(b), "1,0,0,");
    EXPECT_EQ(project.RegItemFromIndexPath("1,0,0,"), b);
}

TEST(IndexPathTest, PathsOutsideTheirListsResolveToNone) {
    CProject project;
    project.Reset();
    CFolder* bin = project.rootFolders[0]->AddChild(std::make_unique<CFolder>("Bin"));
    EXPECT_EQ(project.FolderFromIndexPath("0,0,"), bin);
    EXPECT_EQ(project.FolderFromIndexPath("0,"), project.rootFolders[0]);
    for (const char* bad : {"", "1,", "0,1,", "0,0,0,", "-1,", "0,-1,", "0", "x,", "0,,", "99999999999,"}) {
        EXPECT_EQ(project.FolderFromIndexPath(bad), nullptr) << bad;
    }
    EXPECT_EQ(project.RegItemFromIndexPath("5,"), nullptr);
    EXPECT_EQ(project.RegItemFromIndexPath("4,"), project.rootRegs[4]);
    CFolder detached("Nowhere");
    EXPECT_EQ(project.IndexPathOf(&detached), "");
}

// Writes a project file by hand: a root folder and two files whose references point outside their lists.
TEST(IndexPathTest, ReferencesThatDoNotResolveOnLoadBecomeNone) {
    TempFolder folder;
    const std::string path = folder / "hand.tsp";
    {
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        ar.BeginObject("RootFolders");
        ar.BeginObject("Arr0");
        std::string name = "Target Folder";
        ar.ExchangeString("Name", &name, "");
        ar.EndObject();
        ar.EndObject();
        ar.BeginObject("Files");
        const char* folders[] = {"0,", "3,"};
        for (int i = 0; i < 2; ++i) {
            ar.BeginObject("Arr" + std::to_string(i));
            std::string source = folder / ("f" + std::to_string(i) + ".txt");
            ar.ExchangeString("Name", &source, "");
            std::string folderPath = folders[i];
            ar.ExchangeString("Folder", &folderPath, "");
            ar.EndObject();
        }
        ar.EndObject();
        int32_t icon = 7;
        ar.ExchangeInt("IconFile", &icon, -1);
        ar.CloseAfterSave();
    }
    CProject project;
    project.Reset();
    ASSERT_TRUE(LoadProjectFile(project, path));
    ASSERT_EQ(project.files.size(), 2u);
    EXPECT_EQ(project.files[0]->folder, project.rootFolders[0]);
    EXPECT_EQ(project.files[1]->folder, nullptr);
    EXPECT_EQ(project.files[1]->title, "f1.txt");
    EXPECT_EQ(project.files[1]->size, 0u) << "a missing source file refreshes to size 0";
    EXPECT_EQ(project.files[0]->osMask, 0x1FF00u) << "OSMask missing: every release";
    EXPECT_EQ(project.iconFile, nullptr);
    EXPECT_EQ(project.rootRegs.size(), 5u) << "a missing list keeps its content";
}

TEST(CapacityTest, AFullListRefusesAndALoadStopsAtTheCapacity) {
    CItemArray<CFolder> list(2);
    EXPECT_NE(list.Add(std::make_unique<CFolder>("a")), nullptr);
    EXPECT_NE(list.Add(std::make_unique<CFolder>("b")), nullptr);
    EXPECT_EQ(list.Add(std::make_unique<CFolder>("c")), nullptr);
    EXPECT_EQ(list.size(), 2u);

    TempFolder folder;
    CProject project;
    project.Reset();
    for (int i = 0; i < 5; ++i) {
        project.rootFolders[0]->AddChild(std::make_unique<CFolder>("F" + std::to_string(i)));
    }
    SaveProjectFile(project, folder / "p.tsp");
    CTreeArchive ar(kMainClass, kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(folder / "p.tsp"));
    ASSERT_TRUE(ar.BeginObject("TSDatabase"));
    ASSERT_TRUE(ar.BeginObject("RootFolders"));
    ASSERT_TRUE(ar.BeginObject("Arr0"));
    CItemArray<CFolder> small(3);
    EXPECT_TRUE(small.Exchange(ar, "Children", [&](CFolder& f, const std::string& key) {
        f.Serialize(key, ar, folder / "p.tsp");
    }));
    ASSERT_EQ(small.size(), 3u);
    EXPECT_EQ(small[2]->name, "F2");
    EXPECT_EQ(small[2]->position, 2);
}

TEST(CapacityTest, AProjectOfMoreThanAHundredThousandFilesSavesAndLoadsWhole) {
    // Every list takes what the archive can number; nothing is dropped at some lower count.
    constexpr size_t kCount = 100001;
    TempFolder folder;
    CProject project;
    project.Reset();
    CFolder* target = project.rootFolders[0];
    CFeature* main = project.rootFeature.children[0];
    for (size_t i = 0; i < kCount; ++i) {
        auto file = std::make_unique<CFileItem>();
        file->sourcePath = folder / ("f" + std::to_string(i) + ".txt");
        file->title = platform::FileTitle(file->sourcePath);
        file->folder = target;
        ASSERT_TRUE(main->files.Add(project.files.Add(std::move(file))));
    }
    for (size_t i = 0; i < 2100; ++i) {
        ASSERT_NE(target->AddChild(std::make_unique<CFolder>("D" + std::to_string(i))), nullptr);
        ASSERT_TRUE(main->fileFolders.Add(target->children[i]));
    }
    WriteBytes(folder / "x.txt", {1});
    ASSERT_NE(project.AddFile(folder / "x.txt", target), nullptr);
    EXPECT_EQ(project.files.size(), kCount + 1);

    SaveProjectFile(project, folder / "p.tsp");
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    ASSERT_EQ(loaded.files.size(), kCount + 1);
    EXPECT_EQ(loaded.files[kCount - 1]->title, "f100000.txt");
    EXPECT_EQ(loaded.files[kCount]->position, static_cast<int>(kCount));
    EXPECT_EQ(loaded.rootFolders[0]->children.size(), 2100u);
    const CFeature* loadedMain = loaded.rootFeature.children[0];
    ASSERT_EQ(loadedMain->files.size(), kCount);
    EXPECT_EQ(loadedMain->files[kCount - 1], loaded.files[kCount - 1]);
    ASSERT_EQ(loadedMain->fileFolders.size(), 2100u);
    EXPECT_EQ(loadedMain->fileFolders[2099], loaded.rootFolders[0]->children[2099]);
}

}  // namespace
