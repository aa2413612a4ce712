#pragma once

// The rules of the "Folders" page as plain decisions over the project: the names a folder may take, the
// states of its menu, what a drop of folders, files, shortcuts or shell directories onto a folder does (or
// the message that refuses it), and the operating-system masks of the file properties.
#include <cstdint>
#include <string>
#include <vector>

#include "author/EditorRules.h"
#include "model/Project.h"

namespace folder_rules {

extern const char kNewFolderName[];  // "New Folder"

// A new folder's name below parent (nullptr: a root folder): the message that refuses it, or empty.
std::string AddFolderRefusal(const CProject& project, const CFolder* parent, const std::string& name);
// A folder's new name beside its siblings and the files of its parent: the refusal, or empty.
std::string RenameFolderRefusal(const CProject& project, const CFolder& folder, const std::string& name);

// Whether a folder may be deleted: no sub-folders, no file lies in it, no shortcut is made in it.
bool CanDeleteFolder(const CProject& project, const CFolder& folder);
extern const char kFolderNotEmpty[];  // "Cannot delete folder because it is not empty."

// The folder menu's items for the folder under the pointer (nullptr: none).
struct FolderMenu {
    bool addFolder;
    bool remove;
    bool rename;
    bool properties;
    bool addFiles;
    bool addShortcut;
};
FolderMenu FolderMenuOf(const CProject& project, const CFolder* folder);

// What a drop does.
enum class DropAction {
    kNothing,  // refused without a word
    kRefuse,   // refused with the message
    kMove,
    kCopy,
    kShortcut,  // a new shortcut in the target, pointing at the dragged object
};
struct DropDecision {
    DropAction action;
    std::string message;
    bool operator==(const DropDecision& other) const {
        return action == other.action && message == other.message;
    }
};

// "Shortcut to %s".
std::string ShortcutNameFor(const std::string& name);
// The shortcut of that name (case ignored) whose location is the folder, or nullptr.
const CShortcut* FindShortcut(const CProject& project, const CFolder& folder, const std::string& name);

// A folder dragged from the tree onto target with the effect of the keys (editor_rules::EffectOf).
DropDecision FolderDrop(const CProject& project, const CFolder& dragged, const CFolder& target,
                        editor_rules::DropEffect effect);
// A file, or a shortcut, dragged from the list; effect already follows EffectOf with the number of items
// dragged, so that several items never make shortcuts.
DropDecision FileDrop(const CProject& project, const CFileItem& file, const CFolder& target,
                      editor_rules::DropEffect effect);
DropDecision ShortcutDrop(const CProject& project, const CShortcut& shortcut, const CFolder& target,
                          editor_rules::DropEffect effect);

// A directory dropped from the shell onto target: kCopy adds a dynamic folder named by the directory's
// last component (DirectoryName), else the refusal.
DropDecision DirectoryDrop(const CProject& project, const CFolder& target, const std::string& directory);
std::string DirectoryName(const std::string& directory);

// The operating systems of the file properties' list, in its order, with their bits.
struct OsEntry {
    const char* name;
    uint32_t bit;
};
const std::vector<OsEntry>& OsEntries();
// The mask stored for the boxes: every release for "All Operating Systems", else the sum of the entries
// checked (one flag per entry of OsEntries).
uint32_t OsMaskOf(bool all, const std::vector<bool>& checked);
// Whether a mask shows "All Operating Systems" checked: every named release is in it.
bool ShowsAllSystems(uint32_t mask);

// The texts of the file properties: "%d.%d.%d.%d" of the version, and "%02d/%02d/%04d %02d:%02d" of a
// local time as month/day/year hour:minute.
std::string VersionText(uint32_t versionMS, uint32_t versionLS);
std::string DateText(int month, int day, int year, int hour, int minute);

// The overwrite methods of the file and folder properties, by their stored value (0 to 5).
const std::vector<std::string>& OverwriteChoices();

// The patterns of a wildcard list, split at "," and ";".
std::vector<std::string> Patterns(const std::string& list);

}  // namespace folder_rules
