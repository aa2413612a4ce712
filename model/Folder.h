#pragma once

#include <cstdint>
#include <string>

#include "model/ItemArray.h"

class CFileItem;
class CProject;

// Overwrite methods of a file, in the order the authoring program offers them.
enum OverwriteMethod : uint8_t {
    kNeverOverwrite = 0,
    kOverwriteNewerVersion = 1,
    kKeepNewerVersion = 2,
    kOverwriteNewerVersionThenDate = 3,
    kOverwriteNewerDate = 4,
    kAlwaysOverwrite = 5,
};
// The name of an overwrite method as the authoring program offers it; "" for a value out of range.
const char* OverwriteMethodName(int method);

// A folder of the target file system. Root folders ("Target Folder", "Source Folder", ...) stand for
// places on the target machine; the others are named below them. Files do not hang in folders: they lie
// in the project's Files list and each names its folder.
//
// A dynamic folder takes its subfolders and files from a folder of the authoring machine when the media
// are built; what the expansion adds is marked generated and never stored in a project file.
class CFolder {
public:
    static constexpr size_t kMaxChildren = kArchiveListCapacity;
    static constexpr size_t kExpandedViews = 10;

    CFolder() = default;
    explicit CFolder(std::string folderName) : name(std::move(folderName)) {}

    int position = -1;
    CFolder* parent = nullptr;
    std::string name;
    std::string dynamicPath;  // the folder of the authoring machine that a dynamic folder mirrors
    uint8_t expanded[kExpandedViews] = {};  // one byte per tree view of the authoring program
    bool isDynamic = false;
    std::string wildCards = "*.*";  // patterns of the files to take, separated by "," or ";"
    std::string xWildCards;         // patterns of the files to leave out
    bool includeSF = true;          // a dynamic folder also mirrors the subfolders
    uint8_t overwriteMethod = kOverwriteNewerVersionThenDate;  // given to the files the expansion finds
    CItemArray<CFolder> children{kMaxChildren};
    bool generated = false;  // made by the dynamic expansion
    // Setup program, for one run: to be present afterwards, present before, no shortcuts made in it, and
    // the folder's path on the target with the path variables expanded.
    bool isSelected = false;
    bool isInstalled = false;
    bool suppressed = false;
    std::string resolvedPath;

    // basePath: the project file's path, against which the dynamic path is stored.
    void Serialize(const std::string& key, CTreeArchive& ar, const std::string& basePath);

    // Appends a child folder and makes this folder its parent; nullptr when the folder is full.
    CFolder* AddChild(std::unique_ptr<CFolder> child);

    // The display path: a root folder's name in angle brackets, below it the names joined by backslashes
    // ("<Target Folder>\Bin").
    std::string TargetPath() const;

    // The child folder of that name, compared without regard to case.
    CFolder* FindChild(const std::string& childName) const;

    // The first file of the project that lies directly in this folder and has that title, compared without
    // regard to case.
    CFileItem* FindFile(const CItemArray<CFileItem>& files, const std::string& title) const;

    // True when the parent is the ancestor or, if recursive, any further ancestor is.
    bool IsBelow(const CFolder* ancestor, bool recursive) const;

    // False when a file of the project lies in this folder or below it, or when a child folder is dynamic.
    bool IsEmpty(const CItemArray<CFileItem>& files) const;

    // Adds what a dynamic folder finds on the authoring machine (subfolders, when IncludeSF is set, and
    // the files that its patterns take and its exclusions leave), marked generated; then expands every
    // child folder in turn.
    void ExpandDynamic(CProject& project);
};

// Whether a file of the authoring machine is left out by a list of exclusion patterns (XWildCards).
bool IsExcluded(const std::string& filePath, const std::string& exclusions);

// The patterns of a wildcard list, split at every "," or ";" (empty patterns dropped).
std::vector<std::string> SplitPatterns(const std::string& list);
