// Opens one of the authoring program's item choosers or its shortcut dialog on a small project for a UI
// test, and prints what it handed back.
//   author_dialog_host DIR choose file|folder|key|value [CURRENT [SUB]]
//       prints "chosen PATH sub=N", "none sub=N" or "cancel"; CURRENT is the path of the item to open on
//       (a file's or folder's target path, a registry item's full path), SUB the check box's state
//   author_dialog_host DIR shortcut SHOWCMD
//       opens the dialog on a shortcut with that show command; prints "ok" or "cancel" and its fields
// DIR holds the project's files: app.exe, tools.dll, plugin.dll, readme.txt, broken.ico, widget.ico.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "author/dialogs/ItemChooser.h"
#include "author/dialogs/ShortcutDialog.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"
#include "model/Shortcut.h"

namespace {

CFolder* AddFolder(CFolder* parent, const char* name) {
    return parent->AddChild(std::make_unique<CFolder>(name));
}

CRegItem* AddReg(CRegItem* parent, const char* name, uint32_t type = 0, const char* value = "") {
    CRegItem* item = parent->AddChild(std::make_unique<CRegItem>(name, type));
    item->value = value;
    return item;
}

// Target Folder\Bin (app.exe, tools.dll) with Bin\Plugins (plugin.dll), Target Folder\Docs (readme.txt,
// broken.ico, widget.ico), the root Programs; HKEY_LOCAL_MACHINE\Software\Widget with three values and the
// sub-key Settings, HKEY_CURRENT_USER\Software\Widget.
void MakeProject(CProject& project, const std::string& dir) {
    project.Reset();
    CFolder* target = project.rootFolders[0];
    CFolder* bin = AddFolder(target, "Bin");
    CFolder* plugins = AddFolder(bin, "Plugins");
    CFolder* docs = AddFolder(target, "Docs");
    project.rootFolders.Add(std::make_unique<CFolder>("Programs"));
    project.AddFile(dir + "\\app.exe", bin);
    project.AddFile(dir + "\\tools.dll", bin);
    project.AddFile(dir + "\\plugin.dll", plugins);
    project.AddFile(dir + "\\readme.txt", docs);
    project.AddFile(dir + "\\broken.ico", docs);
    project.AddFile(dir + "\\widget.ico", docs);
    CRegItem* widget = AddReg(AddReg(project.rootRegs[2], "Software"), "Widget");
    AddReg(widget, "", 1, "Widget");
    AddReg(widget, "Version", 1, "1.0");
    AddReg(widget, "Count", 4, "-1");
    AddReg(AddReg(widget, "Settings"), "Theme", 1, "dark");
    AddReg(AddReg(project.rootRegs[1], "Software"), "Widget");
}

std::string PathOf(const CFileItem* file) {
    return file != nullptr ? file->TargetPath() : std::string();
}
std::string PathOf(const CFolder* folder) {
    return folder != nullptr ? folder->TargetPath() : std::string();
}
std::string PathOf(const CRegItem* item) {
    return item != nullptr ? item->FullPath() : std::string();
}

CFolder* FindFolder(const CItemArray<CFolder>& folders, const std::string& path) {
    for (CFolder* folder : folders) {
        if (folder->TargetPath() == path) {
            return folder;
        }
        if (CFolder* found = FindFolder(folder->children, path)) {
            return found;
        }
    }
    return nullptr;
}

CRegItem* FindRegItem(const CItemArray<CRegItem>& items, const std::string& path) {
    for (CRegItem* item : items) {
        if (item->FullPath() == path) {
            return item;
        }
        if (CRegItem* found = FindRegItem(item->children, path)) {
            return found;
        }
    }
    return nullptr;
}

int Choose(CProject& project, const std::string& kind, const std::string& current, bool sub) {
    const CItemChooser::Kind kinds[] = {CItemChooser::kFile, CItemChooser::kFolder, CItemChooser::kKey,
                                        CItemChooser::kValue};
    const char* names[] = {"file", "folder", "key", "value"};
    int k = 0;
    while (k < 4 && kind != names[k]) {
        ++k;
    }
    if (k == 4) {
        return 2;
    }
    CItemChooser chooser(project, kinds[k]);
    for (CFileItem* file : project.files) {
        if (file->TargetPath() == current) {
            chooser.SetCurrent(file);
        }
    }
    chooser.SetCurrent(FindFolder(project.rootFolders, current));
    chooser.SetCurrent(FindRegItem(project.rootRegs, current));
    chooser.SetIncludeSubItems(sub);
    const CItemChooser::Outcome outcome = chooser.Choose(nullptr);
    std::string chosen =
        PathOf(chooser.ChosenFile()) + PathOf(chooser.ChosenFolder()) + PathOf(chooser.ChosenRegItem());
    if (outcome == CItemChooser::kCancelled) {
        std::printf("cancel\n");
    } else if (outcome == CItemChooser::kNoSelection) {
        std::printf("none%s sub=%d\n", chosen.empty() ? "" : " but an item",
                    chooser.IncludeSubItems() ? 1 : 0);
    } else {
        std::printf("chosen %s sub=%d\n", chosen.c_str(), chooser.IncludeSubItems() ? 1 : 0);
    }
    return 0;
}

int EditShortcut(CProject& project, int32_t showCmd) {
    CShortcut* shortcut = project.shortcuts.Add(std::make_unique<CShortcut>());
    shortcut->name = "Widget";
    shortcut->description = "Starts the widget";
    shortcut->folder = project.rootFolders[1];
    shortcut->target = project.files[0];
    shortcut->arguments = "/quiet";
    shortcut->showCmd = showCmd;
    shortcut->workingFolder = project.rootFolders[0]->children[0];
    shortcut->iconFile = project.files[5];
    shortcut->iconIndex = 0;
    const bool ok = CShortcutDialog(project, *shortcut).Edit(nullptr);
    std::printf(
        "%s\nname=%s\ndescription=%s\nlocation=%s\ntarget=%s\narguments=%s\nrun=%d\nstart=%s\nicon=%s\n"
        "index=%d\n",
        ok ? "ok" : "cancel", shortcut->name.c_str(), shortcut->description.c_str(),
        PathOf(shortcut->folder).c_str(), PathOf(shortcut->target).c_str(), shortcut->arguments.c_str(),
        shortcut->showCmd, PathOf(shortcut->workingFolder).c_str(), PathOf(shortcut->iconFile).c_str(),
        shortcut->iconIndex);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    if (argc >= 3) {
        CProject project;
        MakeProject(project, argv[1]);
        const std::string command = argv[2];
        if (command == "choose" && argc >= 4 && argc <= 6) {
            int result =
                Choose(project, argv[3], argc >= 5 ? argv[4] : "", argc >= 6 && std::string(argv[5]) == "1");
            if (result == 0) {
                return 0;
            }
        }
        if (command == "shortcut" && argc == 4) {
            return EditShortcut(project, static_cast<int32_t>(std::strtol(argv[3], nullptr, 10)));
        }
    }
    std::fprintf(stderr,
                 "usage: author_dialog_host DIR choose file|folder|key|value [CURRENT [SUB]] | "
                 "DIR shortcut SHOWCMD\n");
    return 2;
}
