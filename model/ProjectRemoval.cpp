// Removing items from the project, and the clearing of every reference to them.
#include "model/Project.h"

namespace {

const char kProjectType[] = "project";
const char kFileType[] = "file";

}  // namespace

void CProject::ForgetFile(const CFileItem* file, std::vector<Dependent>* dependents) {
    if (iconFile == file) {
        if (dependents != nullptr) {
            dependents->push_back({"Icon File", kProjectType});
        } else {
            iconFile = nullptr;
        }
    }
    // Features (their "Files" lists), shortcuts (target and icon file), document types (icon file), their
    // verbs (target) and custom actions (target) are walked here once the project holds them.
}

std::vector<Dependent> CProject::FileDependents(const CFileItem* file) {
    std::vector<Dependent> dependents;
    ForgetFile(file, &dependents);
    return dependents;
}

void CProject::RemoveFile(CFileItem* file) {
    if (!files.Holds(file)) {
        return;
    }
    ForgetFile(file, nullptr);
    files.Remove(file);
}

bool CProject::CanRemoveFolder(const CFolder* folder) const {
    if (!folder->children.empty()) {
        return false;
    }
    for (const CFileItem* file : files) {
        if (file->folder == folder) {
            return false;
        }
    }
    // A folder in which a shortcut lies cannot be removed either; shortcuts are checked here once the
    // project holds them.
    return true;
}

void CProject::ForgetFolder(const CFolder* folder, std::vector<Dependent>* dependents) {
    for (CFileItem* file : files) {
        if (file->folder == folder) {
            if (dependents != nullptr) {
                dependents->push_back({file->title, kFileType});
            } else {
                file->folder = nullptr;
            }
        }
    }
    if (dependents == nullptr) {
        if (sourceFolder == folder) {
            sourceFolder = nullptr;
        }
        if (tempFolder == folder) {
            tempFolder = nullptr;
        }
    }
    // Features ("FileFolders" and "Folders") and shortcuts (location and working folder) are walked here
    // once the project holds them.
}

std::vector<Dependent> CProject::FolderDependents(const CFolder* folder) {
    std::vector<Dependent> dependents;
    ForgetFolder(folder, &dependents);
    return dependents;
}

void CProject::RemoveFolderTree(CFolder* folder) {
    while (!folder->children.empty()) {
        RemoveFolderTree(folder->children[folder->children.size() - 1]);
    }
    ForgetFolder(folder, nullptr);
    CItemArray<CFolder>& list = folder->parent != nullptr ? folder->parent->children : rootFolders;
    list.Remove(folder);
}

void CProject::RemoveFolder(CFolder* folder) {
    const CItemArray<CFolder>& list = folder->parent != nullptr ? folder->parent->children : rootFolders;
    if (list.Holds(folder)) {
        RemoveFolderTree(folder);
    }
}

void CProject::RemoveRegItem(CRegItem* item) {
    CItemArray<CRegItem>& list = item->parent != nullptr ? item->parent->children : rootRegs;
    if (!list.Holds(item)) {
        return;
    }
    // The features' registry lists ("RegValueKeys", "RegKeys", "RegValues") lose the item and every item
    // below it here, once the project holds features.
    list.Remove(item);
}

void CProject::RemoveGenerated() {
    // Files first, so that no file is ever left pointing at a removed folder.
    for (size_t i = files.size(); i-- > 0;) {
        if (files[i]->generated) {
            RemoveFile(files[i]);
        }
    }
    for (CFolder* root : rootFolders) {
        std::vector<CFolder*> pending = {root};
        while (!pending.empty()) {
            CFolder* folder = pending.back();
            pending.pop_back();
            for (size_t i = folder->children.size(); i-- > 0;) {
                CFolder* child = folder->children[i];
                if (child->generated) {
                    RemoveFolderTree(child);
                } else {
                    pending.push_back(child);
                }
            }
        }
    }
}
