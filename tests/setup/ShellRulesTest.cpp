#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/FileItem.h"
#include "setup/engine/SetupRules.h"
#include "setup/engine/ShellRules.h"

namespace {

// A file with its run marks.
std::unique_ptr<CFileItem> File(bool selected, bool installed) {
    auto file = std::make_unique<CFileItem>();
    file->isSelected = selected;
    file->isInstalled = installed;
    return file;
}

class DocTypes : public ::testing::Test {
protected:
    CVerb* AddVerb(const std::string& name, CFileItem* target) {
        CVerb* verb = type.verbs.Add(std::make_unique<CVerb>());
        verb->name = name;
        verb->target = target;
        return verb;
    }

    CDocType type;
    std::unique_ptr<CFileItem> fresh = File(true, false);    // installed in this run
    std::unique_ptr<CFileItem> kept = File(true, true);      // stays as it is
    std::unique_ptr<CFileItem> going = File(false, true);    // removed in this run
    std::unique_ptr<CFileItem> absent = File(false, false);  // neither before nor after
};

TEST_F(DocTypes, NeededWithoutVerbsOrWithANewTarget) {
    EXPECT_TRUE(DocTypeNeeded(type));
    AddVerb("open", kept.get());
    AddVerb("print", nullptr);
    EXPECT_FALSE(DocTypeNeeded(type));
    AddVerb("edit", going.get());
    AddVerb("view", absent.get());
    EXPECT_FALSE(DocTypeNeeded(type));
    AddVerb("",
            fresh.get());  // a nameless verb writes nothing, but its new target still makes the type needed
    EXPECT_TRUE(DocTypeNeeded(type));
}

TEST_F(DocTypes, VerbsFollowTheirTargets) {
    EXPECT_TRUE(VerbToRegister(*AddVerb("open", fresh.get())));
    EXPECT_FALSE(VerbToRemove(*type.verbs[0]));
    const CVerb* gone = AddVerb("open", going.get());
    EXPECT_TRUE(VerbToRemove(*gone));
    EXPECT_FALSE(VerbToRegister(*gone));
    for (const CVerb* verb :
         {AddVerb("open", kept.get()), AddVerb("open", absent.get()), AddVerb("open", nullptr)}) {
        EXPECT_FALSE(VerbToRegister(*verb));
        EXPECT_FALSE(VerbToRemove(*verb));
    }
    EXPECT_FALSE(VerbToRegister(*AddVerb("", fresh.get())));
    EXPECT_FALSE(VerbToRemove(*AddVerb("", going.get())));
}

TEST_F(DocTypes, TypeWithoutVerbsGoesOnlyAtRemoval) {
    EXPECT_EQ(RemovalOf(type, SM_REMOVE), DocTypeRemoval::kWholeType);
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kNothing);
}

TEST_F(DocTypes, WholeTypeGoesWhenNoTargetStays) {
    AddVerb("open", going.get());
    AddVerb("print", absent.get());
    AddVerb("edit", nullptr);
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kWholeType);
    EXPECT_EQ(RemovalOf(type, SM_REMOVE), DocTypeRemoval::kWholeType);
}

TEST_F(DocTypes, OnlyTheVerbsGoWhenATargetStaysOrArrives) {
    AddVerb("open", going.get());
    AddVerb("print", kept.get());
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kVerbs);
    type.verbs.RemoveAt(1);
    AddVerb("print", fresh.get());
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kVerbs);
}

TEST_F(DocTypes, TypeNeverRegisteredIsLeftAlone) {
    AddVerb("open", absent.get());
    AddVerb("print", nullptr);
    EXPECT_EQ(RemovalOf(type, SM_REMOVE), DocTypeRemoval::kNothing);
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kNothing);
    AddVerb("edit", fresh.get());
    AddVerb("view", kept.get());
    EXPECT_EQ(RemovalOf(type, SM_CHANGE), DocTypeRemoval::kNothing);
}

TEST(DocTypeTexts, KeysAndValues) {
    EXPECT_EQ(ExtensionKey("abc"), ".abc");
    EXPECT_EQ(ExtensionKey(".abc"), ".abc");
    EXPECT_EQ(ExtensionKey(""), "");
    EXPECT_EQ(ExtensionKey(".."), "");
    EXPECT_EQ(DefaultIconKey("App.Doc"), "App.Doc\\DefaultIcon");
    EXPECT_EQ(DefaultIconText("C:\\App\\app.exe", 2), "C:\\App\\app.exe,2");
    EXPECT_EQ(DefaultIconText("C:\\App\\app.exe", -101), "C:\\App\\app.exe,-101");
    EXPECT_EQ(VerbCommandKey("App.Doc", "open"), "App.Doc\\shell\\open\\command");
    EXPECT_EQ(VerbCommandText("C:\\App\\app.exe", "%1"), "\"C:\\App\\app.exe\" %1");
    EXPECT_EQ(VerbCommandText("C:\\App\\app.exe", ""), "\"C:\\App\\app.exe\"");
}

class Shortcuts : public ::testing::Test {
protected:
    Shortcuts() {
        menu.resolvedPath = "C:\\Menu";
        product = menu.AddChild(std::make_unique<CFolder>("Product"));
        product->resolvedPath = "C:\\Menu\\Product";
        shortcut.folder = product;
        shortcut.name = "Widget";
    }

    CFolder menu{"Programs"};
    CFolder* product;
    CShortcut shortcut;
};

TEST_F(Shortcuts, TargetFileDecides) {
    const struct {
        bool selected, installed, needed, goes;
    } cases[] = {{true, false, true, false},
                 {false, true, false, true},
                 {true, true, false, false},
                 {false, false, false, false}};
    for (const auto& c : cases) {
        auto target = File(c.selected, c.installed);
        shortcut.target = target.get();
        EXPECT_EQ(ShortcutNeeded(shortcut), c.needed) << c.selected << c.installed;
        EXPECT_EQ(ShortcutGoes(shortcut), c.goes) << c.selected << c.installed;
    }
}

TEST_F(Shortcuts, WorkingFolderDecidesWithoutTarget) {
    CFolder work("Target Folder");
    shortcut.workingFolder = &work;
    work.isSelected = true;
    EXPECT_TRUE(ShortcutNeeded(shortcut));
    EXPECT_FALSE(ShortcutGoes(shortcut));
    work.isSelected = false;
    work.isInstalled = true;
    EXPECT_FALSE(ShortcutNeeded(shortcut));
    EXPECT_TRUE(ShortcutGoes(shortcut));

    auto kept = File(true, true);  // a target file overrules the working folder
    shortcut.target = kept.get();
    EXPECT_FALSE(ShortcutNeeded(shortcut));
    EXPECT_FALSE(ShortcutGoes(shortcut));

    shortcut.target = nullptr;
    shortcut.workingFolder = nullptr;
    EXPECT_FALSE(ShortcutNeeded(shortcut));
    EXPECT_FALSE(ShortcutGoes(shortcut));
}

TEST_F(Shortcuts, WhereOneCanBeMade) {
    EXPECT_TRUE(CanMakeShortcut(shortcut));
    product->suppressed = true;
    EXPECT_FALSE(CanMakeShortcut(shortcut));
    product->suppressed = false;
    menu.resolvedPath.clear();  // a shell folder the system does not have: the child would be "\Product"
    EXPECT_FALSE(CanMakeShortcut(shortcut));
    menu.resolvedPath = "C:\\Menu";
    shortcut.name.clear();
    EXPECT_FALSE(CanMakeShortcut(shortcut));
    shortcut.name = "Widget";
    shortcut.folder = nullptr;
    EXPECT_FALSE(CanMakeShortcut(shortcut));
}

TEST_F(Shortcuts, FilesAndFolders) {
    EXPECT_EQ(ShortcutFilePath(shortcut), "C:\\Menu\\Product\\Widget.lnk");
    const std::vector<const CFolder*> chain = FolderChain(*product);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0], &menu);
    EXPECT_EQ(chain[1], product);
    EXPECT_EQ(ShortcutFolderToRemove(shortcut), "C:\\Menu\\Product");

    shortcut.folder = &menu;  // a root folder (the desktop, the start menu) never goes with a shortcut
    EXPECT_EQ(ShortcutFilePath(shortcut), "C:\\Menu\\Widget.lnk");
    EXPECT_EQ(ShortcutFolderToRemove(shortcut), "");
    EXPECT_EQ(FolderChain(menu).size(), 1u);

    shortcut.folder = nullptr;
    EXPECT_EQ(ShortcutFilePath(shortcut), "");
    EXPECT_EQ(ShortcutFolderToRemove(shortcut), "");
}

TEST_F(Shortcuts, LinkPathFromTargetOrWorkingFolder) {
    CFolder work("Target Folder");
    work.resolvedPath = "D:\\Work";
    shortcut.workingFolder = &work;
    EXPECT_EQ(ShortcutLinkPath(shortcut), "D:\\Work");
    auto target = File(true, false);
    target->resolvedPath = "D:\\Work\\app.exe";
    shortcut.target = target.get();
    EXPECT_EQ(ShortcutLinkPath(shortcut), "D:\\Work\\app.exe");
}

}  // namespace
