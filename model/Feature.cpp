#include "model/Feature.h"

#include <algorithm>

#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/Project.h"
#include "model/RegItem.h"
#include "model/Text.h"
#include "platform/Format.h"

namespace {

std::string EntryKey(const char* format, size_t number) {
    char key[64];
    platform::FormatTo(key, sizeof key, format, static_cast<int>(number));
    return key;
}

// The index list convention: a count leaf "<key>.Size" followed by one leaf per entry, named by the
// entry format and the entry's number. exchangeEntry(name, &item) stores or loads one reference.
//
// On load the list is refilled from the entries that resolve, in order. The count comes from the file,
// so no more entries are looked up than the object holds leaves: a damaged count costs nothing.
template <typename T, typename ExchangeEntry>
void ExchangeIndexList(CTreeArchive& ar, const std::string& key, const char* entryFormat, CRefList<T>& list,
                       ExchangeEntry exchangeEntry) {
    int32_t count = static_cast<int32_t>(list.size());
    ar.ExchangeInt(key + ".Size", &count, 0);
    if (ar.IsStoring()) {
        for (size_t i = 0; i < list.size(); ++i) {
            T* item = list[i];
            exchangeEntry(EntryKey(entryFormat, i), &item);
        }
        return;
    }
    list.Clear();
    const size_t present = static_cast<size_t>(std::max(0, std::min(count, ar.ChildCount())));
    for (size_t i = 0; i < present && !list.IsFull(); ++i) {
        T* item = nullptr;
        exchangeEntry(EntryKey(entryFormat, i), &item);
        list.Add(item);
    }
}

bool IsBelow(const CFolder* item, const CFolder* ancestor) {
    return item->IsBelow(ancestor, true);
}
bool IsBelow(const CRegItem* item, const CRegItem* ancestor) {
    return item->IsBelow(ancestor);
}

// The answer of the first child that has one, when the query is recursive.
template <typename Query>
int FirstChildAnswer(const CItemArray<CFeature>& children, bool recursive, Query query) {
    if (recursive) {
        for (const CFeature* child : children) {
            if (int state = query(*child)) {
                return state;
            }
        }
    }
    return kNotIncluded;
}

// An entry that is the item gives `itself`, an entry below the item kPartlyIncluded, and, when `covers`
// is given, an entry above the item gives `covers`.
template <typename T>
int StateInList(const CRefList<T>& list, const T* item, int itself, int covers) {
    for (const T* entry : list) {
        if (entry == item) {
            return itself;
        }
        if (IsBelow(entry, item)) {
            return kPartlyIncluded;
        }
        if (covers != kNotIncluded && IsBelow(item, entry)) {
            return covers;
        }
    }
    return kNotIncluded;
}

}  // namespace

void CFeature::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Name", &name, std::string());
    ar.ExchangeString("Description", &description, std::string());
    ar.ExchangeBool("Required", &required, false);
    ar.ExchangeBool("Visible", &visible, false);
    ar.ExchangeBool("Expanded", &expanded, false);
    ar.ExchangeBool("Selected", &selected, false);
    auto folderEntry = [&](const std::string& entry, CFolder** folder) {
        project.ExchangeFolderRef(ar, entry.c_str(), folder);
    };
    auto regEntry = [&](const std::string& entry, CRegItem** item) {
        project.ExchangeRegItemRef(ar, entry.c_str(), item);
    };
    ExchangeIndexList(ar, "FileFolders", "FileFolders[%d]", fileFolders, folderEntry);
    ExchangeIndexList(ar, "Folders", "Folders[%d]", folders, folderEntry);
    ExchangeIndexList(ar, "Files", "Files[%d]->Index", files,
                      [&](const std::string& entry, CFileItem** file) {
                          project.ExchangeFileRef(ar, entry.c_str(), file);
                      });
    ExchangeIndexList(ar, "RegValueKeys", "RegValueKeys[%d]", regValueKeys, regEntry);
    ExchangeIndexList(ar, "RegKeys", "RegKeys[%d]", regKeys, regEntry);
    ExchangeIndexList(ar, "RegValues", "RegValues[%d]", regValues, regEntry);
    children.Exchange(ar, "Children", [&](CFeature& child, const std::string& childKey) {
        child.Serialize(childKey, ar, project);
        child.parent = this;
    });
    ar.EndObject();
}

void CFeature::Empty() {
    fileFolders.Clear();
    folders.Clear();
    files.Clear();
    regValueKeys.Clear();
    regKeys.Clear();
    regValues.Clear();
    children.Clear();
}

int CFeature::ContainsFile(const CFileItem* file, bool recursive) const {
    if (folders.Any([file](const CFolder* entry) { return file->LiesIn(entry, true); })) {
        return kIncludedByAncestor;
    }
    if (file->folder != nullptr && fileFolders.Contains(file->folder)) {
        return kIncludedByContainer;
    }
    if (files.Contains(file)) {
        return kIncludedItself;
    }
    return FirstChildAnswer(children, recursive,
                            [file](const CFeature& child) { return child.ContainsFile(file, true); });
}

int CFeature::FolderState(const CFolder* folder, bool recursive) const {
    if (int state = StateInList(folders, folder, kIncludedWithSubtree, kIncludedByAncestor)) {
        return state;
    }
    if (int state = StateInList(fileFolders, folder, kIncludedItself, kNotIncluded)) {
        return state;
    }
    if (files.Any([folder](const CFileItem* file) { return file->LiesIn(folder, true); })) {
        return kPartlyIncluded;
    }
    return FirstChildAnswer(children, recursive,
                            [folder](const CFeature& child) { return child.FolderState(folder, true); });
}

int CFeature::RegItemState(const CRegItem* item, bool recursive) const {
    if (int state = StateInList(regKeys, item, kIncludedWithSubtree, kIncludedByAncestor)) {
        return state;
    }
    for (const CRegItem* entry : regValueKeys) {
        if (entry == item) {
            return kIncludedItself;
        }
        if (entry->IsBelow(item)) {
            return kPartlyIncluded;
        }
        if (item->parent == entry && !item->IsKey()) {
            return kIncludedByContainer;
        }
    }
    if (int state = StateInList(regValues, item, kIncludedItself, kNotIncluded)) {
        return state;
    }
    return FirstChildAnswer(children, recursive,
                            [item](const CFeature& child) { return child.RegItemState(item, true); });
}

void CFeature::ForEach(const std::function<void(CFeature&)>& visit) {
    visit(*this);
    for (CFeature* child : children) {
        child->ForEach(visit);
    }
}

void CFeature::RemoveFolders(const CRefList<CFolder>::Match& matches) {
    ForEach([&](CFeature& feature) {
        feature.fileFolders.RemoveIf(matches);
        feature.folders.RemoveIf(matches);
    });
}

void CFeature::RemoveFiles(const CRefList<CFileItem>::Match& matches) {
    ForEach([&](CFeature& feature) { feature.files.RemoveIf(matches); });
}

void CFeature::RemoveRegItems(const CRefList<CRegItem>::Match& matches) {
    ForEach([&](CFeature& feature) {
        feature.regValueKeys.RemoveIf(matches);
        feature.regKeys.RemoveIf(matches);
        feature.regValues.RemoveIf(matches);
    });
}

bool CFeature::RefersToFolder(const CRefList<CFolder>::Match& matches) const {
    return fileFolders.Any(matches) || folders.Any(matches);
}

bool CFeature::RefersToRegItem(const CRefList<CRegItem>::Match& matches) const {
    return regValueKeys.Any(matches) || regKeys.Any(matches) || regValues.Any(matches);
}

CFeature* CFeature::FindChild(const std::string& childName) const {
    for (CFeature* child : children) {
        if (text::EqualNoCase(child->name, childName)) {
            return child;
        }
    }
    return nullptr;
}

CFeature* CFeature::AddChild(std::unique_ptr<CFeature> child) {
    CFeature* added = children.Add(std::move(child));
    if (added != nullptr) {
        added->parent = this;
    }
    return added;
}

bool CFeature::RemoveChild(CFeature* child) {
    return children.Remove(child);
}

std::unique_ptr<CFeature> CFeature::Copy() const {
    auto copy = std::make_unique<CFeature>(name, description);
    copy->required = required;
    copy->visible = visible;
    copy->expanded = expanded;
    copy->selected = selected;
    copy->fileFolders = fileFolders;
    copy->folders = folders;
    copy->files = files;
    copy->regValueKeys = regValueKeys;
    copy->regKeys = regKeys;
    copy->regValues = regValues;
    for (const CFeature* child : children) {
        copy->AddChild(child->Copy());
    }
    return copy;
}

std::unique_ptr<CFeature> CFeature::TakeChild(CFeature* child) {
    std::unique_ptr<CFeature> taken = children.Take(child);
    if (taken != nullptr) {
        taken->parent = nullptr;
    }
    return taken;
}

bool CFeature::IsBelow(const CFeature* ancestor) const {
    for (const CFeature* up = parent; up != nullptr; up = up->parent) {
        if (up == ancestor) {
            return true;
        }
    }
    return false;
}
