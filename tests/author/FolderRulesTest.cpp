#include <gtest/gtest.h>

#include <memory>

#include "author/FolderRules.h"
#include "model/Project.h"

using namespace folder_rules;
using editor_rules::DropEffect;
using editor_rules::EffectOf;

namespace {

// <Target Folder> holding BIN (with the file tool.exe and the folder Docs) and Lib with the file readme.txt
// and the shortcut "Shortcut to app.exe"; <Program Files> holding app.exe; the Temp and Source Folders.
struct Tree {
    CProject project;
    CFolder* target = project.AddRootFolder("Target Folder");
    CFolder* programs = project.AddRootFolder("Program Files");
    CFolder* temp = project.AddRootFolder("Temp Folder");
    CFolder* source = project.AddRootFolder("Source Folder");
    CFolder* bin = target->AddChild(std::make_unique<CFolder>("BIN"));
    CFolder* docs = bin->AddChild(std::make_unique<CFolder>("Docs"));
    CFolder* lib = target->AddChild(std::make_unique<CFolder>("Lib"));
    CFileItem* readme = File("C:\\src\\readme.txt", target);
    CFileItem* tool = File("C:\\src\\tool.exe", bin);
    CFileItem* app = File("C:\\src\\app.exe", programs);
    CShortcut* link = Link("Shortcut to app.exe", lib);

    CFileItem* File(const std::string& path, CFolder* folder) {
        auto file = std::make_unique<CFileItem>();
        file->sourcePath = path;
        file->title = path.substr(path.find_last_of('\\') + 1);
        file->folder = folder;
        return project.files.Add(std::move(file));
    }
    CShortcut* Link(const std::string& name, CFolder* folder) {
        auto shortcut = std::make_unique<CShortcut>();
        shortcut->name = name;
        shortcut->folder = folder;
        return project.shortcuts.Add(std::move(shortcut));
    }
};

const char kAddFolderClash[] =
    "Cannot add \"%s\". A folder with the name you specified already exists. Specify a different name.";
const char kAddFileClash[] =
    "Cannot add \"%s\". A file with the name you specified already exists. Specify a different name.";
const char kRenameFolderClash[] =
    "Cannot rename the folder. A folder with the name you specified already exists. Specify a different "
    "name.";
const char kRenameFileClash[] =
    "Cannot rename the folder. A file with the name you specified already exists. Specify a different name.";

std::string With(const char* format, const std::string& name) {
    std::string text = format;
    return text.replace(text.find("%s"), 2, name);
}

TEST(FolderNamesTest, ANameIsTakenOnceAmongTheFoldersAndFilesOfAParent) {
    Tree t;
    const struct {
        const char* name;
        std::string expectedAdd;     // a new folder below <Target Folder>
        std::string expectedRename;  // Lib renamed
    } cases[] = {
        {"bin", With(kAddFolderClash, "bin"), kRenameFolderClash},  // bin beside BIN
        {"BIN", With(kAddFolderClash, "BIN"), kRenameFolderClash},
        {"README.TXT", With(kAddFileClash, "README.TXT"), kRenameFileClash},
        {"lib", With(kAddFolderClash, "lib"), ""},  // Lib keeps its own name in other case
        {"Docs", "", ""},                           // a name of another level is free
        {"tool.exe", "", ""},                       // a file of a sub-folder does not count
        {"New Folder", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddFolderRefusal(t.project, t.target, c.name), c.expectedAdd) << c.name;
        EXPECT_EQ(RenameFolderRefusal(t.project, *t.lib, c.name), c.expectedRename) << c.name;
    }
    EXPECT_EQ(AddFolderRefusal(t.project, nullptr, "program files"), With(kAddFolderClash, "program files"))
        << "root folders are siblings too";
}

TEST(FolderMenuTest, ItemsFollowTheFolderUnderThePointer) {
    Tree t;
    const struct {
        const char* what;
        CFolder* folder;
        FolderMenu expected;  // addFolder, remove, rename, properties, addFiles, addShortcut
    } cases[] = {
        {"no folder", nullptr, {false, false, false, false, false, false}},
        {"Temp Folder", t.temp, {false, true, false, true, true, false}},
        {"Source Folder", t.source, {true, true, false, true, true, false}},
        {"a root with sub-folders", t.target, {true, false, false, true, true, true}},
        {"a folder holding a file", t.bin, {true, false, true, true, true, true}},
        {"a folder holding only a shortcut", t.lib, {true, false, true, true, true, true}},
        {"an empty folder", t.docs, {true, true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        const FolderMenu menu = FolderMenuOf(t.project, c.folder);
        EXPECT_EQ(menu.addFolder, c.expected.addFolder) << c.what;
        EXPECT_EQ(menu.remove, c.expected.remove) << c.what;
        EXPECT_EQ(menu.rename, c.expected.rename) << c.what;
        EXPECT_EQ(menu.properties, c.expected.properties) << c.what;
        EXPECT_EQ(menu.addFiles, c.expected.addFiles) << c.what;
        EXPECT_EQ(menu.addShortcut, c.expected.addShortcut) << c.what;
    }
}

TEST(FolderDropTest, FoldersDraggedOntoFolders) {
    Tree t;
    const DropDecision nothing{DropAction::kNothing, ""};
    const DropDecision move{DropAction::kMove, ""};
    const DropDecision copy{DropAction::kCopy, ""};
    const DropDecision shortcut{DropAction::kShortcut, ""};
    const struct {
        const char* what;
        CFolder* dragged;
        CFolder* target;
        bool ctrl, alt;
        DropDecision expected;
    } cases[] = {
        {"a root folder dragged", t.programs, t.target, false, false, nothing},
        {"a root folder Alt-dragged", t.programs, t.target, false, true, nothing},
        {"onto the Temp Folder", t.docs, t.temp, true, false, nothing},
        {"onto itself", t.bin, t.bin, false, false, nothing},
        {"below itself", t.bin, t.docs, true, false, nothing},
        {"moved", t.docs, t.lib, false, false, move},
        {"copied", t.docs, t.lib, true, false, copy},
        {"Alt makes a shortcut", t.docs, t.lib, false, true, shortcut},
        {"Ctrl+Alt makes a shortcut", t.docs, t.lib, true, true, shortcut},
        {"a shortcut in the Source Folder", t.docs, t.source, false, true, nothing},
        {"moved where its name is",
         t.docs,
         t.bin,
         false,
         false,
         {DropAction::kRefuse,
          "Cannot move the folder \"Docs\" to the target folder because a folder with that name already "
          "exists."}},
        {"copied where the name is in other case",
         t.lib,
         t.target,
         true,
         false,
         {DropAction::kRefuse,
          "Cannot copy the folder \"Lib\" to the target folder because a folder with that name already "
          "exists."}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderDrop(t.project, *c.dragged, *c.target, EffectOf(c.ctrl, c.alt, 1)), c.expected)
            << c.what;
    }
    t.Link("Shortcut to Docs", t.bin);
    EXPECT_EQ(FolderDrop(t.project, *t.docs, *t.bin, EffectOf(false, true, 1)), nothing)
        << "the target already holds the shortcut";
}

TEST(ItemDropTest, FilesAndShortcutsDraggedFromTheList) {
    Tree t;
    const DropDecision nothing{DropAction::kNothing, ""};
    const struct {
        const char* what;
        CFileItem* file;  // else the shortcut is dragged
        CFolder* target;
        bool ctrl, alt;
        size_t count;
        DropAction expected;
    } cases[] = {
        {"a file moved", t.tool, t.lib, false, false, 1, DropAction::kMove},
        {"a file copied", t.tool, t.lib, true, false, 1, DropAction::kCopy},
        {"Alt on one file", t.tool, t.lib, false, true, 1, DropAction::kShortcut},
        {"Ctrl+Alt on one file makes a shortcut", t.tool, t.lib, true, true, 1, DropAction::kShortcut},
        {"Alt on two files moves them", t.tool, t.lib, false, true, 2, DropAction::kMove},
        {"Ctrl+Alt on two files copies them", t.tool, t.lib, true, true, 2, DropAction::kCopy},
        {"a file onto the Temp Folder", t.tool, t.temp, false, false, 1, DropAction::kMove},
        {"a shortcut to the Temp Folder", t.tool, t.temp, false, true, 1, DropAction::kNothing},
        {"a file's shortcut exists", t.app, t.lib, false, true, 1, DropAction::kNothing},
        {"a shortcut moved", nullptr, t.bin, false, false, 1, DropAction::kMove},
        {"a shortcut copied", nullptr, t.bin, true, false, 1, DropAction::kCopy},
        {"a shortcut Alt-dragged moves", nullptr, t.bin, false, true, 1, DropAction::kMove},
        {"a shortcut onto the Temp Folder", nullptr, t.temp, false, false, 1, DropAction::kNothing},
        {"a shortcut onto the Source Folder", nullptr, t.source, true, false, 1, DropAction::kNothing},
        {"a shortcut onto its own folder", nullptr, t.lib, true, false, 1, DropAction::kNothing},
    };
    for (const auto& c : cases) {
        const DropEffect effect = EffectOf(c.ctrl, c.alt, c.count);
        const DropDecision got = c.file != nullptr ? FileDrop(t.project, *c.file, *c.target, effect)
                                                   : ShortcutDrop(t.project, *t.link, *c.target, effect);
        EXPECT_EQ(got.action, c.expected) << c.what;
        EXPECT_EQ(got.message, "") << c.what;
    }
    t.File("D:\\other\\TOOL.EXE", t.lib);
    EXPECT_EQ(FileDrop(t.project, *t.tool, *t.lib, DropEffect::kCopy),
              (DropDecision{DropAction::kRefuse,
                            "Cannot copy the file \"C:\\src\\tool.exe\" to the target folder "
                            "because a file with that name already exists."}));
    EXPECT_EQ(FileDrop(t.project, *t.tool, *t.bin, DropEffect::kMove).message,
              "Cannot move the file \"C:\\src\\tool.exe\" to the target folder because a file with that name "
              "already exists.")
        << "a move into its own folder";
}

TEST(ShellDropTest, ADirectoryMakesADynamicFolderNamedAfterIt) {
    Tree t;
    const struct {
        const char* directory;
        CFolder* target;
        DropDecision expected;
    } cases[] = {
        {"C:\\work\\Data", t.target, {DropAction::kCopy, ""}},
        {"C:\\work\\Data\\", t.target, {DropAction::kCopy, ""}},
        {"C:\\work\\Data", t.temp, {DropAction::kNothing, ""}},
        {"C:\\", t.target, {DropAction::kNothing, ""}},
        {"Z:\\x\\bin", t.target, {DropAction::kRefuse, With(kAddFolderClash, "bin")}},
        {"Z:\\x\\Readme.txt", t.target, {DropAction::kRefuse, With(kAddFileClash, "Readme.txt")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryDrop(t.project, *c.target, c.directory), c.expected) << c.directory;
    }
    EXPECT_EQ(DirectoryName("C:\\work\\Data\\"), "Data");
    EXPECT_EQ(DirectoryName("Data"), "Data");
}

TEST(OsMaskTest, TheBoxesAndTheMask) {
    const struct {
        bool all;
        std::vector<bool> checked;  // XP, 2000, NT, ME, 98, 95
        uint32_t mask;
        bool showsAll;
    } cases[] = {
        {true, {false, false, false, false, false, false}, 0x1ff00, true},
        {false, {true, true, true, true, true, true}, 0xee00, true},
        {false, {true, false, false, false, false, false}, 0x8000, false},
        {false, {false, true, false, false, false, false}, 0x4000, false},
        {false, {false, false, true, false, false, false}, 0x2000, false},
        {false, {false, false, false, true, false, false}, 0x800, false},
        {false, {false, false, false, false, true, false}, 0x400, false},
        {false, {false, false, false, false, false, true}, 0x200, false},
        {false, {true, true, true, false, false, false}, 0xe000, false},
        {false, {false, false, false, false, false, false}, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OsMaskOf(c.all, c.checked), c.mask) << std::hex << c.mask;
        EXPECT_EQ(ShowsAllSystems(c.mask), c.showsAll) << std::hex << c.mask;
    }
    EXPECT_FALSE(ShowsAllSystems(0x1fd00)) << "Windows 95 missing";
    ASSERT_EQ(OsEntries().size(), 6u);
    EXPECT_STREQ(OsEntries()[0].name, "Windows XP");
    EXPECT_STREQ(OsEntries()[5].name, "Windows 95");
}

TEST(FilePropertiesTextTest, VersionAndDate) {
    EXPECT_EQ(VersionText(0x00050001, 0x0A280003), "5.1.2600.3");
    EXPECT_EQ(VersionText(0, 0), "0.0.0.0");
    EXPECT_EQ(DateText(3, 7, 2004, 9, 5), "03/07/2004 09:05");
}

}  // namespace
