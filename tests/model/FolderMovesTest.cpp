#include <gtest/gtest.h>

#include <memory>

#include "model/Project.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;

namespace {

// <Target Folder>\App\Bin holding a.dll and, marked found by an expansion, gen.dll; <Target Folder>\Lib;
// a shortcut in Lib pointing at a.dll.
struct Tree {
    CProject project;
    CFolder* target = project.AddRootFolder("Target Folder");
    CFolder* app = target->AddChild(std::make_unique<CFolder>("App"));
    CFolder* bin = app->AddChild(std::make_unique<CFolder>("Bin"));
    CFolder* lib = target->AddChild(std::make_unique<CFolder>("Lib"));
    CFileItem* dll = File("a.dll", bin, false);
    CFileItem* generated = File("gen.dll", bin, true);
    CShortcut* link = Link();

    CFileItem* File(const std::string& title, CFolder* folder, bool found) {
        auto file = std::make_unique<CFileItem>();
        file->title = title;
        file->sourcePath = "C:\\src\\" + title;
        file->folder = folder;
        file->osMask = 0x0E00;
        file->registerFile = true;
        file->generated = found;
        return project.files.Add(std::move(file));
    }
    CShortcut* Link() {
        auto shortcut = std::make_unique<CShortcut>();
        shortcut->name = "A";
        shortcut->folder = lib;
        shortcut->target = dll;
        return project.shortcuts.Add(std::move(shortcut));
    }
};

TEST(FolderMovesTest, RootFoldersNamedForTheProjectAreMarked) {
    CProject project;
    CFolder* temp = project.AddRootFolder("temp folder");
    CFolder* source = project.AddRootFolder("Source Folder");
    CFolder* other = project.AddRootFolder("Desktop");
    EXPECT_EQ(project.tempFolder, temp);
    EXPECT_EQ(project.sourceFolder, source);
    EXPECT_EQ(other->parent, nullptr);
    EXPECT_EQ(project.rootFolders.size(), 3u);
    project.RemoveFolder(temp);
    EXPECT_EQ(project.tempFolder, nullptr) << "the mark goes with the folder";
}

TEST(FolderMovesTest, AMoveTakesTheWholeSubTreeAndKeepsEveryReference) {
    Tree t;
    ASSERT_TRUE(t.project.MoveFolder(t.app, t.lib));
    EXPECT_EQ(t.target->children.size(), 1u);
    EXPECT_EQ(t.target->children[0], t.lib);
    EXPECT_EQ(t.lib->position, 0);
    ASSERT_EQ(t.lib->children.size(), 1u);
    EXPECT_EQ(t.lib->children[0], t.app);
    EXPECT_EQ(t.app->parent, t.lib);
    EXPECT_EQ(t.app->position, 0);
    EXPECT_EQ(t.dll->folder, t.bin);
    EXPECT_EQ(t.dll->TargetPath(), "<Target Folder>\\Lib\\App\\Bin\\a.dll");
    EXPECT_EQ(t.link->target, t.dll);
}

TEST(FolderMovesTest, RefusedMovesChangeNothing) {
    Tree t;
    EXPECT_FALSE(t.project.MoveFolder(t.app, t.app)) << "onto itself";
    EXPECT_FALSE(t.project.MoveFolder(t.app, t.bin)) << "below itself";
    EXPECT_FALSE(t.project.MoveFolder(t.target, t.lib)) << "a root folder";
    EXPECT_EQ(t.app->parent, t.target);
    EXPECT_EQ(t.bin->parent, t.app);
    EXPECT_EQ(t.target->children.size(), 2u);
    EXPECT_EQ(t.project.CopyFolder(*t.app, t.bin), nullptr) << "a copy below itself would never end";
    EXPECT_EQ(t.bin->children.size(), 0u);
}

TEST(FolderMovesTest, ACopyTakesSettingsSubFoldersAndFiles) {
    Tree t;
    t.bin->isDynamic = true;
    t.bin->wildCards = "*.dll";
    t.bin->xWildCards = "x*.dll";
    t.bin->includeSF = false;
    t.bin->overwriteMethod = kAlwaysOverwrite;
    t.bin->dynamicPath = "C:\\dyn";
    CFolder* copy = t.project.CopyFolder(*t.app, t.lib);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->parent, t.lib);
    EXPECT_EQ(copy->name, "App");
    ASSERT_EQ(copy->children.size(), 1u);
    const CFolder* binCopy = copy->children[0];
    EXPECT_EQ(binCopy->TargetPath(), "<Target Folder>\\Lib\\App\\Bin");
    EXPECT_TRUE(binCopy->isDynamic);
    EXPECT_EQ(binCopy->wildCards, "*.dll");
    EXPECT_EQ(binCopy->xWildCards, "x*.dll");
    EXPECT_FALSE(binCopy->includeSF);
    EXPECT_EQ(binCopy->overwriteMethod, kAlwaysOverwrite);
    EXPECT_EQ(binCopy->dynamicPath, "C:\\dyn");
    ASSERT_EQ(t.project.files.size(), 3u) << "the found file is not copied";
    const CFileItem* fileCopy = t.project.files[2];
    EXPECT_EQ(fileCopy->folder, binCopy);
    EXPECT_EQ(fileCopy->title, "a.dll");
    EXPECT_EQ(fileCopy->osMask, 0x0E00u);
    EXPECT_TRUE(fileCopy->registerFile);
    EXPECT_EQ(fileCopy->position, 2);
    EXPECT_EQ(t.dll->folder, t.bin) << "the original stays";
    EXPECT_EQ(t.app->children.size(), 1u);
}

TEST(FolderMovesTest, FileAndShortcutCopies) {
    Tree t;
    CFileItem* copy = t.project.CopyFileItem(*t.generated, t.lib);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->folder, t.lib);
    EXPECT_FALSE(copy->generated) << "a copy made by hand is the project's own";
    EXPECT_EQ(copy->osMask, 0x0E00u);
    EXPECT_EQ(copy->sourcePath, "C:\\src\\gen.dll");
    CShortcut* linkCopy = t.project.CopyShortcut(*t.link, t.app);
    ASSERT_NE(linkCopy, nullptr);
    EXPECT_EQ(linkCopy->folder, t.app);
    EXPECT_EQ(linkCopy->target, t.dll);
    EXPECT_EQ(linkCopy->position, 1);
    EXPECT_EQ(t.link->folder, t.lib);
}

TEST(FolderMovesTest, TakenElementsLeaveTheListRenumbered) {
    CItemArray<CFolder> list(8);
    CFolder* a = list.Add(std::make_unique<CFolder>("a"));
    CFolder* b = list.Add(std::make_unique<CFolder>("b"));
    CFolder* c = list.Add(std::make_unique<CFolder>("c"));
    std::unique_ptr<CFolder> taken = list.Take(b);
    ASSERT_EQ(taken.get(), b);
    EXPECT_EQ(taken->position, -1);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(a->position, 0);
    EXPECT_EQ(c->position, 1);
    EXPECT_EQ(list.Take(b), nullptr) << "no longer in the list";
}

}  // namespace
