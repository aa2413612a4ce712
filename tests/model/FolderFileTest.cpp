#include <gtest/gtest.h>

#include <algorithm>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/FileInfo.h"
#include "tests/PeBuilder.h"
#include "tests/TestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

TEST(AddFileTest, NamesakesInOneFolderShareTheNamedReleases) {
    TempFolder folder;
    WriteBytes(folder / "a.dll", {1});
    ASSERT_TRUE(platform::CreateFolder(folder / "nt"));
    WriteBytes(folder / "nt\\A.DLL", {2});
    CProject project;
    project.Reset();
    CFolder* target = project.rootFolders[0];
    CFileItem* first = project.AddFile(folder / "a.dll", target);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->osMask, 0xEE00u);
    EXPECT_EQ(project.AddFile(folder / "a.dll", target), nullptr) << "the name is taken for every release";
    first->osMask = 0x0E00;  // the Windows 95 family
    CFileItem* second = project.AddFile(folder / "nt\\A.DLL", target);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->osMask, 0xE000u);
    EXPECT_EQ(second->title, "A.DLL");
    EXPECT_EQ(project.AddFile(folder / "a.dll", target), nullptr);
    EXPECT_NE(project.AddFile(folder / "a.dll", target->AddChild(std::make_unique<CFolder>("Other"))), nullptr)
        << "another folder has its own names";
}

TEST(AddFileTest, ReleasesBeyondTheNamedOnesAreNotGivenTwice) {
    TempFolder folder;
    WriteBytes(folder / "a.dll", {1});
    CProject project;
    project.Reset();
    CFileItem* first = project.AddFile(folder / "a.dll", project.rootFolders[0]);
    first->osMask = 0x10200;  // Windows 95 and every later NT release
    CFileItem* second = project.AddFile(folder / "a.dll", project.rootFolders[0]);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->osMask, 0xEC00u);
    EXPECT_EQ(first->osMask & second->osMask, 0u);
}

// The same additions give the same releases whether AddFile scans the Files list or, inside a batch, looks
// namesakes up in the index; the index starts from the files already there and follows every addition.
TEST(AddFileTest, BatchedAdditionsFollowTheSameRules) {
    TempFolder folder;
    WriteBytes(folder / "a.dll", {1});
    WriteBytes(folder / "b.txt", {2});
    ASSERT_TRUE(platform::CreateFolder(folder / "nt"));
    WriteBytes(folder / "nt\\A.DLL", {3});
    WriteBytes(folder / "nt\\B.TXT", {4});
    struct Addition {
        const char* source;
        bool inOther;       // the folder Other instead of the target folder
        uint32_t expected;  // the releases the new file gets; 0: none is added
    };
    const Addition additions[] = {
        {"nt\\A.DLL", false, 0xE000},  // the releases a.dll (Windows 95 family) leaves free, case ignored
        {"a.dll", false, 0},           // every named release is taken now
        {"a.dll", true, 0xEE00},       // another folder has its own names
        {"b.txt", false, 0xEE00},     {"nt\\B.TXT", false, 0},  // the index has taken the file just added
        {"nt\\B.TXT", true, 0xEE00},  {"b.txt", true, 0},
    };
    for (int batched = 0; batched < 3; ++batched) {
        SCOPED_TRACE(batched == 0 ? "without a batch" : batched == 1 ? "in a batch" : "in nested batches");
        CProject project;
        project.Reset();
        CFolder* target = project.rootFolders[0];
        CFolder* other = target->AddChild(std::make_unique<CFolder>("Other"));
        CFileItem* first = project.AddFile(folder / "a.dll", target);
        ASSERT_NE(first, nullptr);
        first->osMask = 0x0E00;  // before the batch opens, so the index has to start from it
        std::unique_ptr<CProject::FileBatch> outer, inner;
        if (batched > 0) {
            outer = std::make_unique<CProject::FileBatch>(project);
        }
        for (const Addition& addition : additions) {
            if (batched == 2 && &addition == &additions[3]) {
                inner = std::make_unique<CProject::FileBatch>(project);
            }
            if (batched == 2 && &addition == &additions[5]) {
                inner.reset();  // the outer batch's index stays
            }
            SCOPED_TRACE(std::string(addition.source) + (addition.inOther ? " in Other" : " in the target"));
            CFileItem* added = project.AddFile(folder / addition.source, addition.inOther ? other : target);
            EXPECT_EQ(added == nullptr ? 0u : added->osMask, addition.expected);
        }
        outer.reset();
        EXPECT_EQ(project.files.size(), 5u);
        EXPECT_EQ(project.AddFile(folder / "a.dll", other), nullptr)
            << "after the batch the list is scanned again";
    }
}

TEST(FileRefreshTest, VersionSizeAndTimeComeFromTheSourceFile) {
    TempFolder folder;
    PeLayout layout;
    layout.versionMS = 0x00020001;
    layout.versionLS = 0x00000007;
    const std::vector<uint8_t> pe = BuildPe(layout);
    WriteBytes(folder / "lib.dll", pe);
    WriteBytes(folder / "readme.txt", {'h', 'i'});
    auto withVersion = CFileItem::FromPath(folder / "lib.dll");
    EXPECT_EQ(withVersion->versionMS, 0x00020001u);
    EXPECT_EQ(withVersion->versionLS, 7u);
    EXPECT_EQ(withVersion->overwriteMethod, 3);
    EXPECT_EQ(withVersion->size, pe.size());
    auto withoutVersion = CFileItem::FromPath(folder / "readme.txt");
    EXPECT_EQ(withoutVersion->overwriteMethod, 4);
    EXPECT_EQ(withoutVersion->size, 2u);
    platform::FileInfo info;
    ASSERT_TRUE(platform::GetFileInfo(folder / "readme.txt", &info));
    EXPECT_EQ(withoutVersion->time, info.lastWriteTime);

    // A source that is gone: size 0, time and version kept.
    const uint64_t time = withVersion->time;
    ASSERT_TRUE(platform::RemoveFile(folder / "lib.dll"));
    withVersion->Refresh();
    EXPECT_EQ(withVersion->size, 0u);
    EXPECT_EQ(withVersion->time, time);
    EXPECT_EQ(withVersion->versionMS, 0x00020001u);
}

TEST(FileRefreshTest, ALoadedProjectDescribesTheCurrentSourceFiles) {
    TempFolder folder;
    WriteBytes(folder / "data.bin", {1, 2, 3});
    CProject project;
    project.Reset();
    project.AddFile(folder / "data.bin", project.rootFolders[0]);
    SaveProjectFile(project, folder / "p.tsp");
    WriteBytes(folder / "data.bin", {1, 2, 3, 4, 5});
    CProject loaded;
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "p.tsp"));
    ASSERT_EQ(loaded.files.size(), 1u);
    EXPECT_EQ(loaded.files[0]->size, 5u);
    EXPECT_EQ(loaded.files[0]->title, "data.bin");
    EXPECT_EQ(loaded.files[0]->sourcePath, folder / "data.bin");
    EXPECT_EQ(loaded.files[0]->folder, loaded.rootFolders[0]);
}

TEST(FolderTest, PathsLookupsAndAncestry) {
    TempFolder folder;
    WriteBytes(folder / "Tool.exe", {1});
    CProject project;
    project.Reset();
    CFolder* target = project.rootFolders[0];
    CFolder* bin = target->AddChild(std::make_unique<CFolder>("Bin"));
    CFolder* deep = bin->AddChild(std::make_unique<CFolder>("Deep"));
    EXPECT_EQ(bin->TargetPath(), "<Target Folder>\\Bin");
    EXPECT_EQ(target->FindChild("bIN"), bin);
    EXPECT_EQ(target->FindChild("Deep"), nullptr);
    EXPECT_TRUE(deep->IsBelow(bin, false));
    EXPECT_FALSE(deep->IsBelow(target, false));
    EXPECT_TRUE(deep->IsBelow(target, true));
    EXPECT_FALSE(target->IsBelow(deep, true));

    EXPECT_TRUE(target->IsEmpty(project.files));
    CFileItem* tool = project.AddFile(folder / "Tool.exe", deep);
    EXPECT_EQ(tool->TargetPath(), "<Target Folder>\\Bin\\Deep\\Tool.exe");
    EXPECT_EQ(tool->SourceFolder(), folder.Path());
    EXPECT_EQ(deep->FindFile(project.files, "TOOL.EXE"), tool);
    EXPECT_EQ(bin->FindFile(project.files, "Tool.exe"), nullptr);
    EXPECT_FALSE(target->IsEmpty(project.files)) << "a file below it";
    EXPECT_TRUE(tool->LiesIn(target, true));
    EXPECT_FALSE(tool->LiesIn(target, false));

    CFolder* other = target->AddChild(std::make_unique<CFolder>("Other"));
    EXPECT_TRUE(other->IsEmpty(project.files));
    other->AddChild(std::make_unique<CFolder>("Dyn"))->isDynamic = true;
    EXPECT_FALSE(other->IsEmpty(project.files)) << "a dynamic child folder";
}

TEST(ExclusionTest, PatternsWithADotExcludeEveryMatchingName) {
    EXPECT_TRUE(IsExcluded("C:\\d\\old.BAK", "*.bak"));
    EXPECT_FALSE(IsExcluded("C:\\d\\old.bak", ""));
    EXPECT_TRUE(IsExcluded("C:\\d\\a1.txt", "*.tmp;a*.txt"));
    EXPECT_TRUE(IsExcluded("C:\\d\\a2.txt", "*.tmp,a*.txt")) << "every match, not only the first in the folder";
    EXPECT_FALSE(IsExcluded("C:\\d\\b.txt", "*.tmp;a*.txt"));
    EXPECT_FALSE(IsExcluded("C:\\d\\Thumbs", "Thumbs")) << "a pattern without a dot excludes nothing";
    EXPECT_EQ(SplitPatterns("*.txt;;*.ini,*.bak"), (std::vector<std::string>{"*.txt", "*.ini", "*.bak"}));
}

class DynamicFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::CreateFolder(source.Path() + "\\sub"));
        ASSERT_TRUE(platform::CreateFolder(source.Path() + "\\sub\\deeper"));
        for (const char* name : {"a.txt", "b.ini", "c.bak", "d.doc", "sub\\e.txt", "sub\\f.bak", "sub\\deeper\\g.ini",
                                 "sub\\deeper\\h.txt.bak"}) {
            WriteBytes(source / name, {'x'});
        }
        WriteBytes(work / "fixed.txt", {1});
        project.Reset();
        CFolder* target = project.rootFolders[0];
        target->AddChild(std::make_unique<CFolder>("Fixed"));
        project.AddFile(work / "fixed.txt", target);
        dynamic = target->AddChild(std::make_unique<CFolder>("Dyn"));
        dynamic->isDynamic = true;
        dynamic->dynamicPath = source.Path();
        dynamic->wildCards = "*.txt;*.ini";
        dynamic->xWildCards = "*.bak";
        dynamic->overwriteMethod = 5;
        project.projectPath = work / "p.tsp";
    }

    std::vector<std::string> TargetPaths() const {
        std::vector<std::string> paths;
        for (const CFileItem* file : project.files) {
            paths.push_back(file->TargetPath() + (file->generated ? " (generated)" : ""));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    TempFolder source;
    TempFolder work;
    CProject project;
    CFolder* dynamic = nullptr;
};

TEST_F(DynamicFolderTest, TakesThePatternsOfEverySubfolderAndLeavesTheExclusions) {
    project.ExpandDynamicFolders();
    EXPECT_EQ(TargetPaths(), (std::vector<std::string>{
                                 "<Target Folder>\\Dyn\\a.txt (generated)",
                                 "<Target Folder>\\Dyn\\b.ini (generated)",
                                 "<Target Folder>\\Dyn\\sub\\deeper\\g.ini (generated)",
                                 "<Target Folder>\\Dyn\\sub\\e.txt (generated)",
                                 "<Target Folder>\\fixed.txt",
                             }));
    CFolder* sub = dynamic->FindChild("sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->generated && sub->isDynamic && sub->includeSF);
    EXPECT_EQ(sub->wildCards, "*.txt;*.ini");
    EXPECT_EQ(sub->dynamicPath, source / "sub");
    for (const CFileItem* file : project.files) {
        if (file->generated) {
            EXPECT_EQ(file->overwriteMethod, 5) << file->title;
        }
    }
}

TEST_F(DynamicFolderTest, ExpandedAndCleanedUpTheProjectIsAsItWas) {
    SaveProjectFile(project, work / "before.tsp");
    project.ExpandDynamicFolders();
    SaveProjectFile(project, work / "during.tsp");
    const std::string database = work / "tsdb.dat";
    SaveWithKind(project, database, kBuildDatabase);
    project.RemoveGenerated();
    SaveProjectFile(project, work / "after.tsp");

    // The project files differ only in the name each was saved as, which they do not hold.
    EXPECT_EQ(ReadBytes(work / "during.tsp"), ReadBytes(work / "before.tsp"));
    EXPECT_EQ(ReadBytes(work / "after.tsp"), ReadBytes(work / "before.tsp"));
    EXPECT_EQ(TargetPaths(), std::vector<std::string>{"<Target Folder>\\fixed.txt"});
    EXPECT_EQ(dynamic->children.size(), 0u);
    EXPECT_EQ(project.rootFolders[0]->children.size(), 2u);

    // The setup database carried the generated items.
    CProject setup;
    LoadWithKind(setup, database, kSetupProgram);
    EXPECT_EQ(setup.files.size(), 5u);
    CFolder* dyn = setup.rootFolders[0]->FindChild("Dyn");
    ASSERT_NE(dyn, nullptr);
    ASSERT_NE(dyn->FindChild("sub"), nullptr);
    EXPECT_NE(dyn->FindChild("sub")->FindChild("deeper")->FindFile(setup.files, "g.ini"), nullptr);
}

TEST_F(DynamicFolderTest, WithoutSubfoldersOnlyItsOwnFilesAreTaken) {
    dynamic->includeSF = false;
    dynamic->wildCards = "*.*";
    dynamic->xWildCards = "*.bak,*.doc";
    project.ExpandDynamicFolders();
    EXPECT_EQ(TargetPaths(), (std::vector<std::string>{
                                 "<Target Folder>\\Dyn\\a.txt (generated)",
                                 "<Target Folder>\\Dyn\\b.ini (generated)",
                                 "<Target Folder>\\fixed.txt",
                             }));
}

TEST_F(DynamicFolderTest, AMissingOrEmptySourceFolderAddsNothing) {
    for (const std::string& path : {source / "gone", std::string()}) {
        dynamic->dynamicPath = path;
        project.ExpandDynamicFolders();
        EXPECT_EQ(project.files.size(), 1u) << "\"" << path << "\"";
        EXPECT_EQ(dynamic->children.size(), 0u);
    }
}

}  // namespace
