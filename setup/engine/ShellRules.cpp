#include "setup/engine/ShellRules.h"

#include <algorithm>

#include "model/FileItem.h"
#include "setup/engine/SetupRules.h"

namespace {

bool IsNew(const CFileItem* file) {
    return file != nullptr && file->isSelected && !file->isInstalled;
}
bool IsGoing(const CFileItem* file) {
    return file != nullptr && file->isInstalled && !file->isSelected;
}

}  // namespace

bool DocTypeNeeded(const CDocType& type) {
    if (type.verbs.empty()) {
        return true;
    }
    for (const CVerb* verb : type.verbs) {
        if (IsNew(verb->target)) {
            return true;
        }
    }
    return false;
}

bool VerbToRegister(const CVerb& verb) {
    return IsNew(verb.target) && !verb.name.empty();
}

bool VerbToRemove(const CVerb& verb) {
    return IsGoing(verb.target) && !verb.name.empty();
}

DocTypeRemoval RemovalOf(const CDocType& type, int32_t mode) {
    if (type.verbs.empty()) {
        return mode == SM_REMOVE ? DocTypeRemoval::kWholeType : DocTypeRemoval::kNothing;
    }
    bool anyGoing = false;
    bool anyStaying = false;
    for (const CVerb* verb : type.verbs) {
        anyGoing = anyGoing || IsGoing(verb->target);
        anyStaying = anyStaying || (verb->target != nullptr && verb->target->isSelected);
    }
    if (!anyGoing) {
        return DocTypeRemoval::kNothing;
    }
    return anyStaying ? DocTypeRemoval::kVerbs : DocTypeRemoval::kWholeType;
}

std::string ExtensionKey(const std::string& extension) {
    const size_t start = extension.find_first_not_of('.');
    return start == std::string::npos ? std::string() : "." + extension.substr(start);
}

std::string DefaultIconKey(const std::string& typeName) {
    return typeName + "\\DefaultIcon";
}

std::string DefaultIconText(const std::string& iconPath, int32_t iconIndex) {
    return iconPath + "," + std::to_string(iconIndex);
}

std::string VerbCommandKey(const std::string& typeName, const std::string& verbName) {
    return typeName + "\\shell\\" + verbName + "\\command";
}

std::string VerbCommandText(const std::string& programPath, const std::string& arguments) {
    std::string text = "\"" + programPath + "\"";
    if (!arguments.empty()) {
        text += " " + arguments;
    }
    return text;
}

bool ShortcutNeeded(const CShortcut& shortcut) {
    if (shortcut.target != nullptr) {
        return IsNew(shortcut.target);
    }
    const CFolder* folder = shortcut.workingFolder;
    return folder != nullptr && folder->isSelected && !folder->isInstalled;
}

bool ShortcutGoes(const CShortcut& shortcut) {
    if (shortcut.target != nullptr) {
        return IsGoing(shortcut.target);
    }
    const CFolder* folder = shortcut.workingFolder;
    return folder != nullptr && folder->isInstalled && !folder->isSelected;
}

bool CanMakeShortcut(const CShortcut& shortcut) {
    if (shortcut.name.empty() || shortcut.folder == nullptr || shortcut.folder->suppressed) {
        return false;
    }
    for (const CFolder* folder = shortcut.folder; folder != nullptr; folder = folder->parent) {
        if (folder->resolvedPath.empty()) {
            return false;
        }
    }
    return true;
}

std::string ShortcutLinkPath(const CShortcut& shortcut) {
    if (shortcut.target != nullptr) {
        return shortcut.target->resolvedPath;
    }
    return shortcut.workingFolder != nullptr ? shortcut.workingFolder->resolvedPath : std::string();
}

std::string ShortcutFilePath(const CShortcut& shortcut) {
    if (shortcut.folder == nullptr || shortcut.folder->resolvedPath.empty() || shortcut.name.empty()) {
        return std::string();
    }
    return shortcut.folder->resolvedPath + "\\" + shortcut.name + ".lnk";
}

std::vector<const CFolder*> FolderChain(const CFolder& folder) {
    std::vector<const CFolder*> chain;
    for (const CFolder* f = &folder; f != nullptr; f = f->parent) {
        chain.push_back(f);
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::string ShortcutFolderToRemove(const CShortcut& shortcut) {
    const CFolder* folder = shortcut.folder;
    return folder != nullptr && folder->parent != nullptr ? folder->resolvedPath : std::string();
}
