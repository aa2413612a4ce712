#include "author/FolderRules.h"

#include <cstdio>

#include "model/Folder.h"
#include "platform/NoCase.h"

namespace folder_rules {

const char kNewFolderName[] = "New Folder";
const char kFolderNotEmpty[] = "Cannot delete folder because it is not empty.";

namespace {

using editor_rules::DropEffect;

// What holds a name below parent (a root folder's parent is the project: root folders, no files).
enum class Holder { kNone, kFolder, kFile };

Holder HolderOf(const CProject& project, const CFolder* parent, const std::string& name,
                const CFolder* except) {
    const CItemArray<CFolder>& siblings = parent != nullptr ? parent->children : project.rootFolders;
    for (const CFolder* sibling : siblings) {
        if (sibling != except && nocase::Equal(sibling->name, name)) {
            return Holder::kFolder;
        }
    }
    if (parent != nullptr) {
        for (const CFileItem* file : project.files) {
            if (file->folder == parent && nocase::Equal(file->title, name)) {
                return Holder::kFile;
            }
        }
    }
    return Holder::kNone;
}

std::string AddMessage(Holder holder, const std::string& name) {
    if (holder == Holder::kNone) {
        return std::string();
    }
    return "Cannot add \"" + name + "\". A " + (holder == Holder::kFolder ? "folder" : "file") +
           " with the name you specified already exists. Specify a different name.";
}

bool IsProjectFolder(const CProject& project, const CFolder& folder) {
    return &folder == project.tempFolder || &folder == project.sourceFolder;
}

DropDecision Nothing() {
    return {DropAction::kNothing, std::string()};
}

DropDecision ShortcutUnlessTaken(const CProject& project, const CFolder& target, const std::string& name) {
    if (IsProjectFolder(project, target) || FindShortcut(project, target, ShortcutNameFor(name)) != nullptr) {
        return Nothing();
    }
    return {DropAction::kShortcut, std::string()};
}

}  // namespace

std::string AddFolderRefusal(const CProject& project, const CFolder* parent, const std::string& name) {
    return AddMessage(HolderOf(project, parent, name, nullptr), name);
}

std::string RenameFolderRefusal(const CProject& project, const CFolder& folder, const std::string& name) {
    switch (HolderOf(project, folder.parent, name, &folder)) {
        case Holder::kFolder:
            return "Cannot rename the folder. A folder with the name you specified already exists. Specify a "
                   "different name.";
        case Holder::kFile:
            return "Cannot rename the folder. A file with the name you specified already exists. Specify a "
                   "different name.";
        case Holder::kNone:
            break;
    }
    return std::string();
}

bool CanDeleteFolder(const CProject& project, const CFolder& folder) {
    return project.CanRemoveFolder(&folder);
}

FolderMenu FolderMenuOf(const CProject& project, const CFolder* folder) {
    if (folder == nullptr) {
        return {false, false, false, false, false, false};
    }
    const bool temp = folder == project.tempFolder;
    return {!temp, CanDeleteFolder(project, *folder), folder->parent != nullptr, true,
            true,  !IsProjectFolder(project, *folder)};
}

std::string ShortcutNameFor(const std::string& name) {
    return "Shortcut to " + name;
}

const CShortcut* FindShortcut(const CProject& project, const CFolder& folder, const std::string& name) {
    for (const CShortcut* shortcut : project.shortcuts) {
        if (shortcut->folder == &folder && nocase::Equal(shortcut->name, name)) {
            return shortcut;
        }
    }
    return nullptr;
}

DropDecision FolderDrop(const CProject& project, const CFolder& dragged, const CFolder& target,
                        DropEffect effect) {
    if (&target == project.tempFolder || dragged.parent == nullptr) {
        return Nothing();
    }
    if (effect == DropEffect::kShortcut) {
        return ShortcutUnlessTaken(project, target, dragged.name);
    }
    // A folder cannot go into itself or below itself.
    if (&target == &dragged || target.IsBelow(&dragged, true)) {
        return Nothing();
    }
    if (target.FindChild(dragged.name) != nullptr) {
        return {DropAction::kRefuse, std::string("Cannot ") + editor_rules::EffectVerb(effect) +
                                         " the folder \"" + dragged.name +
                                         "\" to the target folder because a folder with that "
                                         "name already exists."};
    }
    return {effect == DropEffect::kCopy ? DropAction::kCopy : DropAction::kMove, std::string()};
}

DropDecision FileDrop(const CProject& project, const CFileItem& file, const CFolder& target,
                      DropEffect effect) {
    if (effect == DropEffect::kShortcut) {
        return ShortcutUnlessTaken(project, target, file.title);
    }
    if (target.FindFile(project.files, file.title) != nullptr) {
        return {DropAction::kRefuse, std::string("Cannot ") + editor_rules::EffectVerb(effect) +
                                         " the file \"" + file.sourcePath +
                                         "\" to the target folder because a file with that "
                                         "name already exists."};
    }
    return {effect == DropEffect::kCopy ? DropAction::kCopy : DropAction::kMove, std::string()};
}

DropDecision ShortcutDrop(const CProject& project, const CShortcut& shortcut, const CFolder& target,
                          DropEffect effect) {
    if (IsProjectFolder(project, target) || FindShortcut(project, target, shortcut.name) != nullptr) {
        return Nothing();
    }
    return {effect == DropEffect::kCopy ? DropAction::kCopy : DropAction::kMove, std::string()};
}

std::string DirectoryName(const std::string& directory) {
    std::string path = directory;
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) {
        path.pop_back();
    }
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DropDecision DirectoryDrop(const CProject& project, const CFolder& target, const std::string& directory) {
    const std::string name = DirectoryName(directory);
    if (&target == project.tempFolder || name.empty() || name.back() == ':') {
        return Nothing();
    }
    const std::string refusal = AddFolderRefusal(project, &target, name);
    if (!refusal.empty()) {
        return {DropAction::kRefuse, refusal};
    }
    return {DropAction::kCopy, std::string()};
}

const std::vector<OsEntry>& OsEntries() {
    static const std::vector<OsEntry> entries = {{"Windows XP", kOsWinXP}, {"Windows 2000", kOsWin2000},
                                                 {"Windows NT", kOsNT4},   {"Windows ME", kOsWinME},
                                                 {"Windows 98", kOsWin98}, {"Windows 95", kOsWin95}};
    return entries;
}

uint32_t OsMaskOf(bool all, const std::vector<bool>& checked) {
    if (all) {
        return kOsMaskAll;
    }
    uint32_t mask = 0;
    const std::vector<OsEntry>& entries = OsEntries();
    for (size_t i = 0; i < entries.size() && i < checked.size(); ++i) {
        if (checked[i]) {
            mask |= entries[i].bit;
        }
    }
    return mask;
}

bool ShowsAllSystems(uint32_t mask) {
    return (mask & kOsMaskNamed) == kOsMaskNamed;
}

std::string VersionText(uint32_t versionMS, uint32_t versionLS) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(versionMS >> 16),
                  static_cast<int>(versionMS & 0xFFFF), static_cast<int>(versionLS >> 16),
                  static_cast<int>(versionLS & 0xFFFF));
    return text;
}

std::string DateText(int month, int day, int year, int hour, int minute) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", month, day, year, hour, minute);
    return text;
}

const std::vector<std::string>& OverwriteChoices() {
    static const std::vector<std::string> choices = [] {
        std::vector<std::string> names;
        for (int method = kNeverOverwrite; method <= kAlwaysOverwrite; ++method) {
            names.push_back(OverwriteMethodName(method));
        }
        return names;
    }();
    return choices;
}

std::vector<std::string> Patterns(const std::string& list) {
    return SplitPatterns(list);
}

}  // namespace folder_rules
