#include <vector>

#include "model/Project.h"
#include "model/Text.h"

namespace {

// Whether target is the folder itself or lies below it: a move or copy there would make the folder hold
// itself.
bool WithinTree(const CFolder* target, const CFolder* folder) {
    return target == folder || target->IsBelow(folder, true);
}

void CopySettings(const CFolder& from, CFolder* to) {
    to->dynamicPath = from.dynamicPath;
    to->isDynamic = from.isDynamic;
    to->wildCards = from.wildCards;
    to->xWildCards = from.xWildCards;
    to->includeSF = from.includeSF;
    to->overwriteMethod = from.overwriteMethod;
}

}  // namespace

CFolder* CProject::AddRootFolder(const std::string& name) {
    CFolder* folder = rootFolders.Add(std::make_unique<CFolder>(name));
    if (folder != nullptr) {
        if (sourceFolder == nullptr && text::EqualNoCase(name, "Source Folder")) {
            sourceFolder = folder;
        }
        if (tempFolder == nullptr && text::EqualNoCase(name, "Temp Folder")) {
            tempFolder = folder;
        }
    }
    return folder;
}

bool CProject::MoveFolder(CFolder* folder, CFolder* into) {
    if (folder->parent == nullptr || WithinTree(into, folder) || into->children.IsFull()) {
        return false;
    }
    std::unique_ptr<CFolder> taken = folder->parent->children.Take(folder);
    if (taken == nullptr) {
        return false;
    }
    into->AddChild(std::move(taken));
    return true;
}

CFolder* CProject::CopyFolder(const CFolder& folder, CFolder* into) {
    if (WithinTree(into, &folder)) {
        return nullptr;
    }
    auto copy = std::make_unique<CFolder>(folder.name);
    CopySettings(folder, copy.get());
    CFolder* added = into->AddChild(std::move(copy));
    if (added == nullptr) {
        return nullptr;
    }
    // The files are gathered before any copy is appended to the same list.
    std::vector<const CFileItem*> inFolder;
    for (const CFileItem* file : files) {
        if (file->folder == &folder && !file->generated) {
            inFolder.push_back(file);
        }
    }
    for (const CFileItem* file : inFolder) {
        if (CopyFileItem(*file, added) == nullptr) {
            return nullptr;
        }
    }
    for (const CFolder* child : folder.children) {
        if (!child->generated && CopyFolder(*child, added) == nullptr) {
            return nullptr;
        }
    }
    return added;
}

CFileItem* CProject::CopyFileItem(const CFileItem& file, CFolder* into) {
    auto copy = std::make_unique<CFileItem>(file);
    copy->position = -1;
    copy->folder = into;
    copy->generated = false;
    return files.Add(std::move(copy));
}

CShortcut* CProject::CopyShortcut(const CShortcut& shortcut, CFolder* into) {
    auto copy = std::make_unique<CShortcut>(shortcut);
    copy->position = -1;
    copy->folder = into;
    return shortcuts.Add(std::move(copy));
}
