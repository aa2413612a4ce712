#pragma once

#include <cstdint>
#include <string>

class CFileItem;
class CFolder;
class CProject;
class CTreeArchive;

// Show commands of a shortcut (the Windows SW_ values), in the order the authoring program offers them.
enum ShortcutShowCommand : int32_t {
    kShowNormal = 1,     // SW_SHOWNORMAL
    kShowMinimized = 7,  // SW_SHOWMINNOACTIVE
    kShowMaximized = 3,  // SW_SHOWMAXIMIZED
};

// A shortcut that the setup program creates in a folder of the target file system and that starts a file
// of the project.
class CShortcut {
public:
    int position = -1;
    CFolder* folder = nullptr;  // where the shortcut is created
    std::string name;           // its file name without extension
    CFileItem* target = nullptr;
    std::string arguments;
    std::string description;
    int32_t showCmd = kShowNormal;  // any other value is kept as it is
    CFolder* workingFolder = nullptr;
    CFileItem* iconFile = nullptr;  // none: the target's icon
    int32_t iconIndex = 0;

    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);
};
