// Removing items from the project, and the clearing of every reference to them.
#include "model/Project.h"

#include <functional>

namespace {

// The words that name the kinds of objects in the delete confirmation's list.
const char kProjectType[] = "project";
const char kFileType[] = "file";
const char kFeatureType[] = "feature";
const char kShortcutType[] = "shortcut";
const char kDocTypeType[] = "Document Type";
const char kVerbType[] = "Verb";
const char kActionType[] = "custom action";

// The references of one object to items that match: cleared, or, when dependents is given, the object is
// listed once however many of its references match.
template <typename T>
void Forget(std::initializer_list<T**> references, const typename CRefList<T>::Match& matches,
            const std::string& objectName, const char* objectType, std::vector<Dependent>* dependents) {
    bool refers = false;
    for (T** reference : references) {
        if (*reference != nullptr && matches(*reference)) {
            refers = true;
            if (dependents == nullptr) {
                *reference = nullptr;
            }
        }
    }
    if (refers && dependents != nullptr) {
        dependents->push_back({objectName, objectType});
    }
}

// Lists every feature of the tree for which refers() is true.
void ListFeatures(CFeature& root, const std::function<bool(const CFeature&)>& refers,
                  std::vector<Dependent>* dependents) {
    root.ForEach([&](CFeature& feature) {
        if (refers(feature)) {
            dependents->push_back({feature.name, kFeatureType});
        }
    });
}

}  // namespace

void CProject::ForgetFiles(const CRefList<CFileItem>::Match& matches, std::vector<Dependent>* dependents) {
    Forget<CFileItem>({&iconFile}, matches, "Icon File", kProjectType, dependents);
    Forget<CFileItem>({&ui.runApplication}, matches, "Run File", kProjectType, dependents);
    Forget<CFileItem>({&ui.readmeFile}, matches, "Readme File", kProjectType, dependents);
    for (CShortcut* shortcut : shortcuts) {
        Forget<CFileItem>({&shortcut->target, &shortcut->iconFile}, matches, shortcut->name, kShortcutType,
                          dependents);
    }
    for (CDocType* docType : docTypes) {
        Forget<CFileItem>({&docType->iconFile}, matches, docType->name, kDocTypeType, dependents);
        for (CVerb* verb : docType->verbs) {
            Forget<CFileItem>({&verb->target}, matches, verb->name, kVerbType, dependents);
        }
    }
    for (CCustomAction* action : actions) {
        Forget<CFileItem>({&action->target}, matches, action->name, kActionType, dependents);
    }
    if (dependents == nullptr) {
        rootFeature.RemoveFiles(matches);
    } else {
        ListFeatures(rootFeature, [&](const CFeature& feature) { return feature.files.Any(matches); }, dependents);
    }
}

std::vector<Dependent> CProject::FileDependents(const CFileItem* file) {
    std::vector<Dependent> dependents;
    ForgetFiles([file](const CFileItem* f) { return f == file; }, &dependents);
    return dependents;
}

void CProject::RemoveFile(CFileItem* file) {
    if (!files.Holds(file)) {
        return;
    }
    ForgetFiles([file](const CFileItem* f) { return f == file; }, nullptr);
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
    for (const CShortcut* shortcut : shortcuts) {
        if (shortcut->folder == folder) {
            return false;
        }
    }
    return true;
}

void CProject::ForgetFolders(const CRefList<CFolder>::Match& matches, std::vector<Dependent>* dependents) {
    for (CFileItem* file : files) {
        Forget<CFolder>({&file->folder}, matches, file->title, kFileType, dependents);
    }
    for (CShortcut* shortcut : shortcuts) {
        Forget<CFolder>({&shortcut->folder, &shortcut->workingFolder}, matches, shortcut->name, kShortcutType,
                        dependents);
    }
    if (dependents == nullptr) {
        for (CFolder** special : {&sourceFolder, &tempFolder}) {
            if (*special != nullptr && matches(*special)) {
                *special = nullptr;
            }
        }
        rootFeature.RemoveFolders(matches);
    } else {
        ListFeatures(rootFeature, [&](const CFeature& feature) { return feature.RefersToFolder(matches); },
                     dependents);
    }
}

std::vector<Dependent> CProject::FolderDependents(const CFolder* folder) {
    std::vector<Dependent> dependents;
    ForgetFolders([folder](const CFolder* f) { return f == folder; }, &dependents);
    return dependents;
}

void CProject::RemoveFolderTree(CFolder* folder) {
    while (!folder->children.empty()) {
        RemoveFolderTree(folder->children[folder->children.size() - 1]);
    }
    ForgetFolders([folder](const CFolder* f) { return f == folder; }, nullptr);
    CItemArray<CFolder>& list = folder->parent != nullptr ? folder->parent->children : rootFolders;
    list.Remove(folder);
}

void CProject::RemoveFolder(CFolder* folder) {
    const CItemArray<CFolder>& list = folder->parent != nullptr ? folder->parent->children : rootFolders;
    if (list.Holds(folder)) {
        RemoveFolderTree(folder);
    }
}

void CProject::ForgetRegItems(const CRefList<CRegItem>::Match& matches, std::vector<Dependent>* dependents) {
    if (dependents == nullptr) {
        rootFeature.RemoveRegItems(matches);
        return;
    }
    ListFeatures(rootFeature, [&](const CFeature& feature) { return feature.RefersToRegItem(matches); }, dependents);
}

namespace {

CRefList<CRegItem>::Match ItemAndBelow(const CRegItem* item) {
    return [item](const CRegItem* other) { return other == item || other->IsBelow(item); };
}

}  // namespace

std::vector<Dependent> CProject::RegItemDependents(const CRegItem* item) {
    std::vector<Dependent> dependents;
    ForgetRegItems(ItemAndBelow(item), &dependents);
    return dependents;
}

void CProject::RemoveRegItem(CRegItem* item) {
    CItemArray<CRegItem>& list = item->parent != nullptr ? item->parent->children : rootRegs;
    if (!list.Holds(item)) {
        return;
    }
    ForgetRegItems(ItemAndBelow(item), nullptr);
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
