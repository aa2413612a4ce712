// Shortcuts, document types with their verbs, custom actions, and what removing a file, folder or
// registry item does to them and to the features.
#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "tests/TestSupport.h"
#include "tests/model/FullProject.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

TEST(RecordDefaultsTest, NewRecordsAndRecordsWithoutKeys) {
    const CCustomAction action;
    EXPECT_EQ(action.runDuring, kRunDuringInstall) << "installation only";
    EXPECT_EQ(action.invokeAfter, kAfterFinish);
    EXPECT_TRUE(action.runOnce);
    EXPECT_EQ(action.waitTime, 0) << "no waiting";
    EXPECT_FALSE(action.ignoreReturnValue);
    const CShortcut shortcut;
    EXPECT_EQ(shortcut.showCmd, kShowNormal);
    EXPECT_EQ(shortcut.target, nullptr);
    EXPECT_EQ(CDocType().verbs.Capacity(), kArchiveListCapacity);

    // Empty element objects load as the defaults, whatever the records held before.
    TempFolder folder;
    const std::string path = folder / "empty.tsp";
    {
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        for (const char* list : {"Shortcuts", "DocTypes", "Actions"}) {
            ar.BeginObject(list);
            ar.BeginObject("Arr0");
            ar.EndObject();
            ar.EndObject();
        }
        ar.CloseAfterSave();
    }
    CProject project;
    project.Reset();
    ASSERT_TRUE(LoadProjectFile(project, path));
    ASSERT_EQ(project.actions.size(), 1u);
    EXPECT_EQ(project.actions[0]->runDuring, kRunDuringInstall);
    EXPECT_EQ(project.actions[0]->invokeAfter, kAfterFinish);
    EXPECT_TRUE(project.actions[0]->runOnce);
    ASSERT_EQ(project.shortcuts.size(), 1u);
    EXPECT_EQ(project.shortcuts[0]->showCmd, kShowNormal);
    ASSERT_EQ(project.docTypes.size(), 1u);
    EXPECT_TRUE(project.docTypes[0]->verbs.empty());
}

TEST(RecordDefaultsTest, LibrariesAreToldApartByName) {
    EXPECT_TRUE(IsLibraryName("SETUP.DLL"));
    EXPECT_TRUE(IsLibraryName("helper.dll"));
    EXPECT_TRUE(IsLibraryName("odd.xdll"));
    EXPECT_FALSE(IsLibraryName("setup.exe"));
    EXPECT_FALSE(IsLibraryName("ll"));
    EXPECT_FALSE(IsLibraryName(""));
    CCustomAction action;
    EXPECT_FALSE(action.CallsFunction());
    action.function = "Run";
    EXPECT_TRUE(action.CallsFunction());
}

TEST(RecordStorageTest, KeysInTheirOrderAndVerbsAsAnArray) {
    TempFolder folder;
    CProject project;
    BuildFullProject(project, folder.Path());
    const std::string path = folder / "full.tsp";
    SaveProjectFile(project, path);
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "Shortcuts", "Arr0"}),
              (std::vector<std::string>{"Folder", "Name", "Target", "Arguments", "Description", "ShowCmd",
                                        "WkDir", "IconFile", "IconIndex"}));
    EXPECT_EQ(
        KeysAt(path, {"TSDatabase", "DocTypes", "Arr0"}),
        (std::vector<std::string>{"Extension", "Name", "Description", "IconFile", "IconIndex", "Verbs"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "DocTypes", "Arr0", "Verbs"}),
              (std::vector<std::string>{"Arr0", "Arr1", "Arr2"}));
    EXPECT_EQ(KeysAt(path, {"TSDatabase", "DocTypes", "Arr0", "Verbs", "Arr1"}),
              (std::vector<std::string>{"Name", "Description", "Arguments", "Target"}));
    EXPECT_EQ(
        KeysAt(path, {"TSDatabase", "Actions", "Arr0"}),
        (std::vector<std::string>{"Name", "Target", "Description", "Arguments", "Function", "InvokeAfter",
                                  "WaitTime", "RunDuring", "IgnoreReturnValue", "RunOnce"}));
    const std::vector<std::string> projectKeys = KeysAt(path, {"TSDatabase"});
    const std::vector<std::string> leading(projectKeys.begin(), projectKeys.begin() + 9);
    EXPECT_EQ(leading, (std::vector<std::string>{"RootFolders", "Files", "RootRegs", "Shortcuts", "DocTypes",
                                                 "Actions", "RootFeature", "UserInterface", "Target"}));
    // References as positions and index paths: the first shortcut lies in "Program Menu Folder\Acme".
    CTreeArchive ar(kMainClass, kLoadProject);
    ASSERT_TRUE(ar.OpenForLoad(path));
    ASSERT_TRUE(ar.BeginObject("TSDatabase") && ar.BeginObject("Shortcuts") && ar.BeginObject("Arr0"));
    std::string location;
    ar.ExchangeString("Folder", &location, "");
    EXPECT_EQ(location, "1,0,");
    int32_t target = -5;
    ar.ExchangeInt("Target", &target, -5);
    EXPECT_EQ(target, 0);
}

// The full project has shortcuts, a document type, verbs, actions, features and settings that refer to
// app.exe; removing it must reach every one of them.
TEST(RemovalWalkTest, AFileIsListedByEveryObjectThatUsesItAndThenForgottenByAll) {
    TempFolder folder;
    CProject project;
    BuildFullProject(project, folder.Path());
    CFileItem* app = project.files[0];
    ASSERT_EQ(app->title, "app.exe");
    project.iconFile = app;
    project.rootFeature.children[0]->files.Add(app);
    project.rootFeature.children[0]->children[0]->files.Add(app);
    EXPECT_EQ(project.FileDependents(app), (std::vector<Dependent>{{"Icon File", "project"},
                                                                   {"Run File", "project"},
                                                                   {"Acme Writer", "shortcut"},
                                                                   {"AcmeWriter.Document", "Document Type"},
                                                                   {"open", "Verb"},
                                                                   {"print", "Verb"},
                                                                   {"edit", "Verb"},
                                                                   {"Clean up", "custom action"},
                                                                   {"Main", "feature"},
                                                                   {"Extras", "feature"}}));
    EXPECT_EQ(project.shortcuts[0]->target, app) << "listing changes nothing";

    const std::string before = DescribeProject(project, true);
    project.RemoveFile(app);
    EXPECT_TRUE(project.FileDependents(project.files[0]).size() > 0) << "setup.dll is still in use";
    EXPECT_EQ(project.iconFile, nullptr);
    EXPECT_EQ(project.ui.runApplication, nullptr);
    EXPECT_EQ(project.shortcuts[0]->target, nullptr);
    EXPECT_EQ(project.shortcuts[0]->iconFile, project.files[0]) << "its icon was another file";
    EXPECT_EQ(project.shortcuts[0]->arguments, "/new") << "other fields stay";
    EXPECT_EQ(project.docTypes[0]->iconFile, nullptr);
    EXPECT_EQ(project.docTypes[0]->verbs[2]->target, nullptr);
    EXPECT_EQ(project.actions[1]->target, nullptr);
    EXPECT_NE(project.actions[0]->target, nullptr);
    EXPECT_FALSE(project.rootFeature.children[0]->files.Contains(app));

    // After a save and a load the shortcut has no target and keeps everything else.
    SaveProjectFile(project, folder / "p.tsp");
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    EXPECT_EQ(DescribeProject(loaded, true), DescribeProject(project, true));
    EXPECT_NE(DescribeProject(loaded, true), before);
    EXPECT_EQ(loaded.shortcuts[0]->target, nullptr);
    EXPECT_EQ(loaded.shortcuts[0]->name, "Acme Writer");
    EXPECT_EQ(loaded.shortcuts[0]->iconFile->title, "setup.dll");
}

TEST(RemovalWalkTest, AFolderWithAShortcutStaysAndAnEmptyOneLeavesFeaturesAndShortcuts) {
    TempFolder folder;
    CProject project;
    BuildFullProject(project, folder.Path());
    CFolder* menuAcme = project.rootFolders[1]->children[0];
    ASSERT_EQ(menuAcme->TargetPath(), "<Program Menu Folder>\\Acme");
    EXPECT_FALSE(project.CanRemoveFolder(menuAcme)) << "a shortcut lies in it";
    project.shortcuts.Remove(project.shortcuts[0]);
    EXPECT_TRUE(project.CanRemoveFolder(menuAcme));

    // Data holds data.dat, is the working folder of a shortcut and is listed by two features.
    CFolder* data = project.rootFolders[0]->children[1];
    auto shortcut = std::make_unique<CShortcut>();
    shortcut->name = "Data";
    shortcut->folder = project.rootFolders[0];
    shortcut->workingFolder = data;
    project.shortcuts.Add(std::move(shortcut));
    CFeature* main = project.rootFeature.children[0];
    main->folders.Add(data);
    main->children[0]->fileFolders.Add(data);
    EXPECT_EQ(project.FolderDependents(data),
              (std::vector<Dependent>{
                  {"data.dat", "file"}, {"Data", "shortcut"}, {"Main", "feature"}, {"Extras", "feature"}}));
    project.RemoveFile(project.files[4]);
    ASSERT_TRUE(project.CanRemoveFolder(data));
    project.RemoveFolder(data);
    EXPECT_EQ(project.shortcuts[1]->workingFolder, nullptr);
    EXPECT_EQ(project.shortcuts[1]->folder, project.rootFolders[0]);
    EXPECT_FALSE(main->folders.Contains(data));
    EXPECT_FALSE(main->children[0]->fileFolders.Contains(data));
    EXPECT_EQ(main->folders.size(), 1u) << "Bin stays";
}

TEST(RemovalWalkTest, ARegistryKeyTakesItsWholeSubtreeOutOfTheFeatures) {
    TempFolder folder;
    CProject project;
    BuildFullProject(project, folder.Path());
    CRegItem* software = project.rootRegs[2]->children[0];
    CRegItem* acme = software->children[0];
    CRegItem* user = project.rootRegs[4]->children[0];
    CRegItem* settings = acme->children[2];
    ASSERT_EQ(settings->name, "Settings");
    EXPECT_EQ(project.RegItemDependents(settings),
              (std::vector<Dependent>{{"Extras", "feature"}, {"Hidden", "feature"}}))
        << "Extras holds a value of Settings, Hidden Settings itself; Main holds Acme, above it";
    EXPECT_EQ(project.RegItemDependents(software),
              (std::vector<Dependent>{{"Main", "feature"}, {"Extras", "feature"}, {"Hidden", "feature"}}));
    EXPECT_EQ(project.RegItemDependents(user), (std::vector<Dependent>{{"Main", "feature"}}));
    project.RemoveRegItem(software);
    const CFeature* main = project.rootFeature.children[0];
    EXPECT_TRUE(main->regKeys.empty());
    EXPECT_TRUE(main->regValues.empty());
    EXPECT_EQ(main->regValueKeys.size(), 1u) << "the key below Installation Type Dependant stays";
    EXPECT_TRUE(main->children[0]->regValues.empty());
    EXPECT_TRUE(main->children[0]->children[0]->regValueKeys.empty());
    EXPECT_TRUE(project.rootRegs[2]->children.empty());
}

// A file that replaces the Files list but says nothing of shortcuts, features or settings: what it
// leaves in place must not keep references to the files, folders and keys that the load deleted.
TEST(RemovalWalkTest, RecordsKeptByALoadLoseTheirReferencesIntoReplacedLists) {
    TempFolder folder;
    const std::string path = folder / "lists-only.tsp";
    {
        CProject other;
        other.Reset();
        WriteBytes(folder / "x.txt", {1});
        other.AddFile(folder / "x.txt", other.rootFolders[0]);
        CTreeArchive ar(kMainClass, kSaveProject);
        ar.OpenForSave(path);
        ar.BeginObject("TSDatabase");
        other.rootFolders.Exchange(ar, "RootFolders",
                                   [&](CFolder& f, const std::string& k) { f.Serialize(k, ar, path); });
        other.files.Exchange(ar, "Files",
                             [&](CFileItem& f, const std::string& k) { f.Serialize(k, ar, other); });
        other.rootRegs.Exchange(ar, "RootRegs",
                                [&](CRegItem& r, const std::string& k) { r.Serialize(k, ar); });
        ar.CloseAfterSave();
    }
    CProject project;
    BuildFullProject(project, folder.Path());
    ASSERT_TRUE(LoadProjectFile(project, path));
    ASSERT_EQ(project.files.size(), 1u);
    ASSERT_EQ(project.shortcuts.size(), 2u) << "a missing list keeps its records";
    for (const CShortcut* s : project.shortcuts) {
        EXPECT_EQ(s->target, nullptr);
        EXPECT_EQ(s->folder, nullptr);
        EXPECT_EQ(s->workingFolder, nullptr);
        EXPECT_EQ(s->iconFile, nullptr);
    }
    EXPECT_EQ(project.docTypes[0]->verbs[0]->target, nullptr);
    EXPECT_EQ(project.actions[0]->target, nullptr);
    EXPECT_EQ(project.ui.runApplication, nullptr);
    EXPECT_EQ(project.ui.readmeFile, nullptr);
    project.rootFeature.ForEach([](CFeature& f) {
        EXPECT_TRUE(f.files.empty() && f.folders.empty() && f.fileFolders.empty()) << f.name;
        EXPECT_TRUE(f.regKeys.empty() && f.regValueKeys.empty() && f.regValues.empty()) << f.name;
    });
    // And it all stores without touching what is gone.
    SaveProjectFile(project, folder / "again.tsp");
    CProject again;
    ASSERT_TRUE(LoadProjectFile(again, folder / "again.tsp"));
    EXPECT_EQ(DescribeProject(again, true), DescribeProject(project, true));
}

}  // namespace
