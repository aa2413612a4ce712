#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/DocType.h"
#include "model/Folder.h"
#include "model/Shortcut.h"

// Which document types, verbs and shortcuts the install sequence touches, from the run marks of their
// files and folders, and the registry texts and file names it makes for them.

// Document types.

// A type is registered when it has no verbs, or when one of its verbs starts a file that is selected and
// not installed.
bool DocTypeNeeded(const CDocType& type);
// A verb's command is written when its target is set, selected and not installed and it has a name.
bool VerbToRegister(const CVerb& verb);
// A verb's command is deleted when its target is set, installed and no longer selected and it has a name.
bool VerbToRemove(const CVerb& verb);

enum class DocTypeRemoval {
    kNothing,
    kVerbs,      // the commands of the verbs to remove go; the type stays
    kWholeType,  // the extension key and the type's key go with everything below them
};
// A type loses its keys when a verb's target is being removed and no verb's target is selected, and a type
// without verbs in mode SM_REMOVE; a type that keeps a selected target loses only the verbs whose targets
// are removed. A type none of whose targets was installed is left alone: it was never registered.
DocTypeRemoval RemovalOf(const CDocType& type, int32_t mode);

// The key of the extension under HKEY_CLASSES_ROOT: "." and the extension (a dot written in front of it
// is not doubled); empty for a type without extension.
std::string ExtensionKey(const std::string& extension);
std::string DefaultIconKey(const std::string& typeName);
// The default value of the DefaultIcon key: the icon file's path, a comma and the index.
std::string DefaultIconText(const std::string& iconPath, int32_t iconIndex);
std::string VerbCommandKey(const std::string& typeName, const std::string& verbName);
// The command of a verb: the program's path in double quotes, then a blank and the arguments when there
// are any.
std::string VerbCommandText(const std::string& programPath, const std::string& arguments);

// Shortcuts.

// A shortcut is made when its target file is selected and not installed; without a target file, when its
// working folder is; without either, never.
bool ShortcutNeeded(const CShortcut& shortcut);
// A shortcut goes when its target file is installed and no longer selected; without a target file, when its
// working folder is; without either, never.
bool ShortcutGoes(const CShortcut& shortcut);
// A needed shortcut is not made without a name, in a missing folder, in a suppressed folder (desktop or
// start-menu shortcuts that the user declined), or in a folder that, or one of whose ancestors, resolves to
// no path (a shell folder the system does not have).
bool CanMakeShortcut(const CShortcut& shortcut);
// What the shortcut starts: the target file's resolved path, or without one the working folder's.
std::string ShortcutLinkPath(const CShortcut& shortcut);
// The shortcut's file, "folder\name.lnk"; empty when it has no folder, its folder resolves to no path or it
// has no name.
std::string ShortcutFilePath(const CShortcut& shortcut);
// The folders to create for a shortcut, its root first and its own folder last.
std::vector<const CFolder*> FolderChain(const CFolder& folder);
// The folder whose removal is tried after a shortcut is deleted (it goes only when empty): the shortcut's
// folder when it lies below a root folder. A root folder (the desktop, the start menu, the target folder)
// is never removed with a shortcut. Empty when there is none.
std::string ShortcutFolderToRemove(const CShortcut& shortcut);
