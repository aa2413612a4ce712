#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/CustomAction.h"
#include "model/DocType.h"
#include "model/Feature.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/ItemArray.h"
#include "model/RegItem.h"
#include "model/Shortcut.h"
#include "model/UISettings.h"
#include "platform/Guid.h"

// An object that would lose a reference to an item being removed, as the delete confirmation lists it.
struct Dependent {
    std::string objectName;
    std::string objectType;
    bool operator==(const Dependent& other) const {
        return objectName == other.objectName && objectType == other.objectType;
    }
};

// The root of the model: everything a setup project describes. The authoring program holds one as its
// open document; the setup program holds one loaded from the setup database.
//
// References between the model's objects are pointers in memory; they become positions in the Files list
// or index paths when they are stored, so the lists keep every element's position right at all times.
class CProject {
public:
    static constexpr size_t kMaxRootFolders = kArchiveListCapacity;
    // Both programs share these capacities, so every project the authoring program accepts loads in the
    // setup program.
    static constexpr size_t kMaxFiles = kArchiveListCapacity;
    static constexpr size_t kMaxRootRegs = kArchiveListCapacity;
    static constexpr size_t kMaxShortcuts = kArchiveListCapacity;
    static constexpr size_t kMaxDocTypes = kArchiveListCapacity;
    static constexpr size_t kMaxActions = kArchiveListCapacity;

    static constexpr uint32_t kDefaultMinNT = 0x2004;  // Windows NT 4 with Service Pack 4
    static constexpr uint32_t kDefaultMin95 = 0x200;   // Windows 95

    // The setup program's starting state: every value at its default, no GUID, no root items, no
    // features. The authoring program calls Reset to make a new project.
    CProject() = default;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    CItemArray<CFolder> rootFolders{kMaxRootFolders};
    CItemArray<CFileItem> files{kMaxFiles};
    CItemArray<CRegItem> rootRegs{kMaxRootRegs};
    CItemArray<CShortcut> shortcuts{kMaxShortcuts};
    CItemArray<CDocType> docTypes{kMaxDocTypes};
    CItemArray<CCustomAction> actions{kMaxActions};
    CFeature rootFeature;  // never shown itself: its children are the top-level features
    CUISettings ui;

    std::string target;
    CFileItem* iconFile = nullptr;
    int32_t iconIndex = 0;
    bool noModify = false;
    bool noRemove = false;
    bool noRepair = false;
    std::string author;
    std::string comments;
    bool noARP = false;
    platform::Guid productID;
    std::string productName;
    std::string productVersion;
    std::string manufacturer;
    std::string productURL;
    std::string supportPhone;
    uint32_t minNT = kDefaultMinNT;
    uint32_t min95 = kDefaultMin95;
    int32_t mediaType = 0;
    int32_t mediaSize = 0;
    bool makeAutorun = true;
    std::string cdIconFile;
    int32_t cdIconIndex = 0;
    std::string destination;
    int32_t reservedSpace = 0;

    // Not stored.
    std::string projectPath;  // the project file; the base of every relative path
    std::string displayName;
    CFolder* sourceFolder = nullptr;
    CFolder* tempFolder = nullptr;

    // The new-project state: a new GUID, the "Target Folder", the five root registry keys, the root
    // feature "Features" with its child "Main", the default user-interface settings and the next
    // "Project%d" name.
    void Reset();

    // Stores or loads the whole project as one object named by the key ("TSDatabase").
    void Serialize(const std::string& key, CTreeArchive& ar);

    // Finds the root folders "Source Folder" and "Temp Folder": by exact name after a load, without
    // regard to case before a build.
    void FindSpecialFolders(bool ignoreCase);
    // Whether a file lies in the Source Folder or below it (such files are not compressed).
    bool IsInSourceFolder(const CFileItem& file) const;

    // Index paths of folders and registry items; the lookups give nullptr for a path that does not resolve.
    std::string IndexPathOf(const CFolder* folder) const;
    std::string IndexPathOf(const CRegItem* item) const;
    CFolder* FolderFromIndexPath(const std::string& text) const;
    CRegItem* RegItemFromIndexPath(const std::string& text) const;
    // The file, folder and registry item reference exchanges of the model's records.
    void ExchangeFileRef(CTreeArchive& ar, const char* name, CFileItem** file);
    void ExchangeFolderRef(CTreeArchive& ar, const char* name, CFolder** folder);
    void ExchangeRegItemRef(CTreeArchive& ar, const char* name, CRegItem** item);

    // Whether a feature that the setup program installs takes in the file: one below the root feature,
    // whose own lists are not installed.
    bool IsInstalledByAFeature(const CFileItem* file) const;

    // Adds a file to a folder. Files of the same title may share a folder when they are meant for
    // different releases: the new file gets the named releases that its namesakes leave free, and none is
    // added (nullptr) when they leave none or the Files list is full.
    CFileItem* AddFile(const std::string& sourcePath, CFolder* folder);

    // Moves and copies of the folder tree (model/ProjectMoves.cpp). A root folder of that name (added
    // to the root list, and marked as the Source or Temp Folder when it is named so); nullptr when the
    // list is full.
    CFolder* AddRootFolder(const std::string& name);
    // Moves a folder with its whole sub-tree below another; false (nothing changed) when into is the
    // folder itself or lies below it, when the folder is a root folder or when the target is full.
    bool MoveFolder(CFolder* folder, CFolder* into);
    // Appends below into a copy of the folder with its settings, its sub-folders and the files that lie
    // in them (files found by a dynamic expansion are not copied). nullptr when into is the folder or
    // lies below it, or when a list is full.
    CFolder* CopyFolder(const CFolder& folder, CFolder* into);
    // A copy of the file with all its settings (its OS mask kept) in the folder; nullptr when Files is full.
    CFileItem* CopyFileItem(const CFileItem& file, CFolder* into);
    // A copy of the shortcut whose location is the folder; nullptr when the list is full.
    CShortcut* CopyShortcut(const CShortcut& shortcut, CFolder* into);
    // Many additions at once (the dynamic expansion, a folder of files added in one go): while a batch is
    // open, AddFile finds a file's namesakes in an index of the folder and title of every file, made once
    // when the batch opens and kept in step by each addition, instead of looking through the whole Files
    // list for each new file. While it is open, files are added only through AddFile and none is renamed,
    // moved or removed. Batches may nest; the index goes when the outermost one closes.
    class FileBatch {
    public:
        explicit FileBatch(CProject& project);
        ~FileBatch();
        FileBatch(const FileBatch&) = delete;
        FileBatch& operator=(const FileBatch&) = delete;

    private:
        CProject& project_;
    };

    // Expands every dynamic folder (the build's first step) and removes what that added (its last).
    void ExpandDynamicFolders();
    void RemoveGenerated();

    // Removal. Each removal first clears every reference to the item; the Dependents calls list the
    // objects that would lose one, without changing anything.
    std::vector<Dependent> FileDependents(const CFileItem* file);
    void RemoveFile(CFileItem* file);
    bool CanRemoveFolder(const CFolder* folder) const;
    std::vector<Dependent> FolderDependents(const CFolder* folder);
    // Removes a folder with everything below it. Callers check CanRemoveFolder first; files that still
    // name a removed folder are left without folder.
    void RemoveFolder(CFolder* folder);
    // A registry item goes with its whole subtree: the features lose every item of it.
    std::vector<Dependent> RegItemDependents(const CRegItem* item);
    void RemoveRegItem(CRegItem* item);

private:
    struct NamesakeKey {
        const CFolder* folder;
        std::string upperTitle;
        bool operator==(const NamesakeKey& other) const {
            return folder == other.folder && upperTitle == other.upperTitle;
        }
    };
    struct NamesakeHash {
        size_t operator()(const NamesakeKey& key) const;
    };
    // The releases that the files of a folder and title take, while a FileBatch is open.
    std::unordered_map<NamesakeKey, uint32_t, NamesakeHash> namesakes_;
    int openBatches_ = 0;

    // One walk over every reference to the items that match: it lists the objects that would lose a
    // reference when dependents is given, and clears those references when it is not. The match sees
    // only the referenced pointer, so a walk that matches everything is safe after a list was replaced.
    void ForgetFiles(const CRefList<CFileItem>::Match& matches, std::vector<Dependent>* dependents);
    void ForgetFolders(const CRefList<CFolder>::Match& matches, std::vector<Dependent>* dependents);
    void ForgetRegItems(const CRefList<CRegItem>::Match& matches, std::vector<Dependent>* dependents);
    void RemoveFolderTree(CFolder* folder);
};
