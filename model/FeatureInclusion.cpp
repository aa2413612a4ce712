#include "model/FeatureInclusion.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"

namespace feature_inclusion {
namespace {

// How the two trees are walked: folders with their files, keys with their values.
bool Below(const CFolder* item, const CFolder* ancestor) {
    return item->IsBelow(ancestor, true);
}
bool Below(const CRegItem* item, const CRegItem* ancestor) {
    return item->IsBelow(ancestor);
}
template <typename Node>
bool AtOrBelow(const Node* item, const Node* ancestor) {
    return item == ancestor || Below(item, ancestor);
}
// A file in the folder (directly, or at any depth).
bool LeafIn(const CFileItem* file, const CFolder* folder, bool anyDepth) {
    return file->LiesIn(folder, anyDepth);
}
// A value of the key (directly, or at any depth); a key listed alone counts at any depth only.
bool LeafIn(const CRegItem* item, const CRegItem* key, bool anyDepth) {
    return anyDepth ? item->IsBelow(key) : item->parent == key && !item->IsKey();
}
std::vector<CFolder*> ChildNodes(const CFolder* folder) {
    std::vector<CFolder*> folders;
    for (CFolder* child : folder->children) {
        folders.push_back(child);
    }
    return folders;
}
std::vector<CRegItem*> ChildNodes(const CRegItem* key) {
    std::vector<CRegItem*> keys;
    for (CRegItem* child : key->children) {
        if (child->IsKey()) {
            keys.push_back(child);
        }
    }
    return keys;
}

// One tree's three lists of a feature: the nodes with everything below them ("Folders", "RegKeys"), the
// nodes with their direct leaves ("FileFolders", "RegValueKeys") and the single leaves ("Files",
// "RegValues"). An append that does not fit is remembered, and the caller puts the lists back.
template <typename Node, typename Leaf>
struct Scope {
    CRefList<Node>& all;
    CRefList<Node>& direct;
    CRefList<Leaf>& single;
    bool full = false;

    template <typename T>
    void Append(CRefList<T>& list, T* item) {
        if (!list.Add(item)) {
            full = true;
        }
    }

    // The "all" entry that is the node or an ancestor of it (strictly an ancestor when strict).
    Node* Coverer(const Node* node, bool strict) const {
        for (Node* entry : all) {
            if (strict ? Below(node, entry) : AtOrBelow(node, entry)) {
                return entry;
            }
        }
        return nullptr;
    }

    bool LeafIncluded(const Leaf* leaf) const {
        return single.Contains(leaf) ||
               all.Any([leaf](const Node* entry) { return LeafIn(leaf, entry, true); }) ||
               direct.Any([leaf](const Node* entry) { return LeafIn(leaf, entry, false); });
    }

    void AddLeaf(Leaf* leaf) {
        if (!LeafIncluded(leaf)) {
            Append(single, leaf);
        }
    }

    void AddDirect(Node* node) {
        if (Coverer(node, false) != nullptr || direct.Contains(node)) {
            return;
        }
        single.RemoveIf([node](const Leaf* entry) { return LeafIn(entry, node, false); });
        Append(direct, node);
    }

    void AddAll(Node* node) {
        if (Coverer(node, false) != nullptr) {
            return;
        }
        single.RemoveIf([node](const Leaf* entry) { return LeafIn(entry, node, true); });
        direct.RemoveIf([node](const Node* entry) { return AtOrBelow(entry, node); });
        all.RemoveIf([node](const Node* entry) { return Below(entry, node); });
        Append(all, node);
    }

    // Replaces the "all" entry of the covering node by entries for everything it covered except the
    // subtree of `except` (a child of start, or nothing when start itself loses only some leaves): each
    // level from start up to the coverer keeps its direct leaves and its other child nodes.
    void Split(Node* coverer, const Node* except, Node* start) {
        for (Node* level = start; level != nullptr; except = level, level = level->parent) {
            for (Node* child : ChildNodes(level)) {
                if (child != except) {
                    Append(all, child);
                }
            }
            Append(direct, level);
            if (level == coverer) {
                break;
            }
        }
        all.Remove(coverer);
    }

    void RemoveNode(Node* node) {
        if (all.Contains(node)) {
            all.Remove(node);
            return;
        }
        direct.Remove(node);
        if (Node* coverer = Coverer(node, true)) {
            Split(coverer, node, node->parent);
            return;
        }
        single.RemoveIf([node](const Leaf* entry) {
            return static_cast<const void*>(entry) == static_cast<const void*>(node) ||
                   LeafIn(entry, node, true);
        });
        all.RemoveIf([node](const Node* entry) { return Below(entry, node); });
        direct.RemoveIf([node](const Node* entry) { return Below(entry, node); });
    }

    // Takes one leaf of the node `home` out; siblings are the other leaves directly in home.
    void RemoveLeaf(Leaf* leaf, Node* home, const std::vector<Leaf*>& siblings) {
        if (single.Contains(leaf)) {
            single.Remove(leaf);
            return;
        }
        if (Node* coverer = Coverer(home, false)) {
            Split(coverer, nullptr, home);
        }
        if (direct.Contains(home)) {
            direct.Remove(home);
            for (Leaf* sibling : siblings) {
                if (sibling != leaf) {
                    Append(single, sibling);
                }
            }
        }
    }
};

template <typename T>
bool SameEntries(const CRefList<T>& first, const CRefList<T>& second) {
    return first.size() == second.size() && std::equal(first.begin(), first.end(), second.begin());
}

// Runs an edit on the feature's lists; a list that overflows puts every list back as it was.
Outcome Edit(CFeature& feature, const std::function<bool(CFeature&)>& edit) {
    const CRefList<CFolder> fileFolders = feature.fileFolders;
    const CRefList<CFolder> folders = feature.folders;
    const CRefList<CFileItem> files = feature.files;
    const CRefList<CRegItem> regValueKeys = feature.regValueKeys;
    const CRefList<CRegItem> regKeys = feature.regKeys;
    const CRefList<CRegItem> regValues = feature.regValues;
    if (!edit(feature)) {
        feature.fileFolders = fileFolders;
        feature.folders = folders;
        feature.files = files;
        feature.regValueKeys = regValueKeys;
        feature.regKeys = regKeys;
        feature.regValues = regValues;
        return Outcome::kListFull;
    }
    const bool same = SameEntries(fileFolders, feature.fileFolders) &&
                      SameEntries(folders, feature.folders) && SameEntries(files, feature.files) &&
                      SameEntries(regValueKeys, feature.regValueKeys) &&
                      SameEntries(regKeys, feature.regKeys) && SameEntries(regValues, feature.regValues);
    return same ? Outcome::kUnchanged : Outcome::kChanged;
}

Outcome EditFiles(CFeature& feature, const std::function<void(Scope<CFolder, CFileItem>&)>& edit) {
    return Edit(feature, [&edit](CFeature& target) {
        Scope<CFolder, CFileItem> scope{target.folders, target.fileFolders, target.files};
        edit(scope);
        return !scope.full;
    });
}

Outcome EditRegistry(CFeature& feature, const std::function<void(Scope<CRegItem, CRegItem>&)>& edit) {
    return Edit(feature, [&edit](CFeature& target) {
        Scope<CRegItem, CRegItem> scope{target.regKeys, target.regValueKeys, target.regValues};
        edit(scope);
        return !scope.full;
    });
}

}  // namespace

Outcome AddFile(CFeature& feature, CFileItem* file) {
    return EditFiles(feature, [file](Scope<CFolder, CFileItem>& scope) { scope.AddLeaf(file); });
}

Outcome AddFolderWithFiles(CFeature& feature, CFolder* folder) {
    return EditFiles(feature, [folder](Scope<CFolder, CFileItem>& scope) { scope.AddDirect(folder); });
}

Outcome AddFolderWithSubfolders(CFeature& feature, CFolder* folder) {
    return EditFiles(feature, [folder](Scope<CFolder, CFileItem>& scope) { scope.AddAll(folder); });
}

Outcome AddRegValue(CFeature& feature, CRegItem* value) {
    return EditRegistry(feature, [value](Scope<CRegItem, CRegItem>& scope) { scope.AddLeaf(value); });
}

Outcome AddKeyWithValues(CFeature& feature, CRegItem* key) {
    return EditRegistry(feature, [key](Scope<CRegItem, CRegItem>& scope) { scope.AddDirect(key); });
}

Outcome AddKeyWithSubkeys(CFeature& feature, CRegItem* key) {
    return EditRegistry(feature, [key](Scope<CRegItem, CRegItem>& scope) { scope.AddAll(key); });
}

Outcome RemoveFolder(CFeature& feature, CFolder* folder) {
    return EditFiles(feature, [folder](Scope<CFolder, CFileItem>& scope) { scope.RemoveNode(folder); });
}

Outcome RemoveFile(CFeature& feature, CFileItem* file, const CItemArray<CFileItem>& files) {
    if (file->folder == nullptr) {
        return EditFiles(feature, [file](Scope<CFolder, CFileItem>& scope) { scope.single.Remove(file); });
    }
    std::vector<CFileItem*> siblings;
    for (CFileItem* other : files) {
        if (other->folder == file->folder) {
            siblings.push_back(other);
        }
    }
    return EditFiles(feature, [file, &siblings](Scope<CFolder, CFileItem>& scope) {
        scope.RemoveLeaf(file, file->folder, siblings);
    });
}

Outcome RemoveRegItem(CFeature& feature, CRegItem* item) {
    if (item->IsKey() || item->parent == nullptr) {
        return EditRegistry(feature, [item](Scope<CRegItem, CRegItem>& scope) { scope.RemoveNode(item); });
    }
    std::vector<CRegItem*> siblings;
    for (CRegItem* other : item->parent->children) {
        if (!other->IsKey()) {
            siblings.push_back(other);
        }
    }
    return EditRegistry(feature, [item, &siblings](Scope<CRegItem, CRegItem>& scope) {
        scope.RemoveLeaf(item, item->parent, siblings);
    });
}

}  // namespace feature_inclusion
