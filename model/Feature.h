#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/ItemArray.h"
#include "model/RefList.h"

class CFileItem;
class CFolder;
class CProject;
class CRegItem;

// How a feature takes in a file, folder or registry item; the membership queries answer with one of these.
enum FeatureInclusion : int {
    kNotIncluded = 0,
    kPartlyIncluded = 1,        // something below the item is listed
    kIncludedByAncestor = 2,    // an ancestor is listed with everything below it
    kIncludedByContainer = 4,   // its folder or key is listed with the items directly in it
    kIncludedItself = 8,        // listed alone, or with the items directly in it
    kIncludedWithSubtree = 16,  // listed with everything below it
};

// A feature selects what a setup installs. Features form a tree below the project's root feature, whose
// children are the top-level features the user sees. A feature owns its sub-features only: it refers to
// folders, files and registry items through lists that say how much of each item it takes.
class CFeature {
public:
    static constexpr size_t kMaxChildren = kArchiveListCapacity;
    static constexpr size_t kMaxFolderRefs = kArchiveListCapacity;
    static constexpr size_t kMaxFileRefs = kArchiveListCapacity;
    static constexpr size_t kMaxRegRefs = kArchiveListCapacity;

    CFeature() = default;
    CFeature(std::string featureName, std::string featureDescription)
        : name(std::move(featureName)), description(std::move(featureDescription)) {}
    CFeature(const CFeature&) = delete;
    CFeature& operator=(const CFeature&) = delete;

    int position = -1;
    CFeature* parent = nullptr;
    std::string name;  // also the name under which the setup program records the selection
    std::string description;
    bool required = false;  // the user cannot deselect it
    bool visible = true;    // shown in the setup program (an invisible feature hides its subtree)
    bool expanded = false;
    bool selected = true;                           // selected for installation at the start
    bool installed = false;                         // setup program: recorded as installed on the target
    CRefList<CFolder> fileFolders{kMaxFolderRefs};  // each folder with the files directly in it
    CRefList<CFolder> folders{kMaxFolderRefs};      // each folder with everything below it
    CRefList<CFileItem> files{kMaxFileRefs};        // each file alone (its folder is made for it)
    CRefList<CRegItem> regValueKeys{kMaxRegRefs};   // each key with the values directly in it
    CRefList<CRegItem> regKeys{kMaxRegRefs};        // each key with everything below it
    CRefList<CRegItem> regValues{kMaxRegRefs};      // each item alone
    CItemArray<CFeature> children{kMaxChildren};

    // The feature, its reference lists as index lists and its children. Folders, files and registry items
    // must be loaded first: entries that do not resolve are dropped.
    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);

    // Empties every list and deletes the sub-features.
    void Empty();

    // How the feature (and, if recursive, the first of its children that has an answer) takes in a file:
    // kIncludedByAncestor, kIncludedByContainer, kIncludedItself or kNotIncluded.
    int ContainsFile(const CFileItem* file, bool recursive) const;
    // How a folder is marked in the feature trees: kIncludedWithSubtree, kIncludedItself, kPartlyIncluded,
    // kIncludedByAncestor or kNotIncluded; the first match decides.
    int FolderState(const CFolder* folder, bool recursive) const;
    // The same for a registry item; a value directly in a key listed with its values is
    // kIncludedByContainer.
    int RegItemState(const CRegItem* item, bool recursive) const;

    // Calls visit for this feature and every feature below it, parents before their children.
    void ForEach(const std::function<void(CFeature&)>& visit);

    // Takes the matching items out of every list of this feature and of every feature below it.
    void RemoveFolders(const CRefList<CFolder>::Match& matches);
    void RemoveFiles(const CRefList<CFileItem>::Match& matches);
    void RemoveRegItems(const CRefList<CRegItem>::Match& matches);
    // Whether this feature's own lists refer to a matching item.
    bool RefersToFolder(const CRefList<CFolder>::Match& matches) const;
    bool RefersToRegItem(const CRefList<CRegItem>::Match& matches) const;

    // The sub-feature of that name, compared without regard to case.
    CFeature* FindChild(const std::string& childName) const;
    // Appends a sub-feature and makes this feature its parent; nullptr when 50 are there already.
    CFeature* AddChild(std::unique_ptr<CFeature> child);
    // A copy of the feature with its fields, its lists and copies of its sub-features, with no parent.
    std::unique_ptr<CFeature> Copy() const;
    // Takes a sub-feature out with its subtree without deleting it; nullptr when it is not a child.
    std::unique_ptr<CFeature> TakeChild(CFeature* child);
    // True when the feature lies below the ancestor, at any depth.
    bool IsBelow(const CFeature* ancestor) const;
    // Deletes a sub-feature with its subtree; the siblings behind it move up. False when it is not a child.
    bool RemoveChild(CFeature* child);
};
