#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>

#include "win/Handles.h"

namespace win {

// An owned image list of icons of one size.
class ImageList {
public:
    // Small (16 x 16, the system's small icon size) or large icons.
    explicit ImageList(bool small = true, int initial = 16);

    HIMAGELIST Handle() const { return list_.Get(); }
    // Appends a copy of the icon; its index, or -1.
    int Add(HICON icon) const { return icon != nullptr ? ImageList_AddIcon(list_.Get(), icon) : -1; }
    // Appends an icon resource of the module (nullptr: the program).
    int AddResource(int id, HINSTANCE instance = nullptr) const;
    int Count() const { return ImageList_GetImageCount(list_.Get()); }
    bool Small() const { return small_; }

private:
    bool small_;
    OwnedImageList list_;
};

// The files' own shell icons (SHGetFileInfoA) in one image list, each icon added once: programs and icon
// files (.exe, .ico) by their path, as each has its own icon; every other file by its extension, which
// gives all its files one icon. A missing file shows its extension's icon, a file of no type the system's
// plain document icon.
class ShellIcons {
public:
    explicit ShellIcons(bool small = true) : images_(small) {}

    HIMAGELIST Images() const { return images_.Handle(); }
    ImageList& List() { return images_; }
    // The index of the file's icon in Images(), or -1 when the system has none.
    int IndexOf(const std::string& path);

private:
    int Cached(const std::string& key, const std::string& query, DWORD attributes, UINT flags);

    ImageList images_;
    std::map<std::string, int> byKey_;  // folded path or ".ext", to index
};

}  // namespace win
