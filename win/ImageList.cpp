#include "win/ImageList.h"

#include <shellapi.h>

#include "platform/NoCase.h"

namespace win {

ImageList::ImageList(bool small, int initial)
    : small_(small),
      list_(ImageList_Create(GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON),
                             GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON), ILC_COLOR32 | ILC_MASK,
                             initial, initial)) {}

int ImageList::AddResource(int id, HINSTANCE instance) const {
    const int size = GetSystemMetrics(small_ ? SM_CXSMICON : SM_CXICON);
    OwnedIcon icon(static_cast<HICON>(LoadImageA(instance != nullptr ? instance : GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
    return Add(icon.Get());
}

namespace {

// The extension with its dot ("" for none), folded: the part after the last dot of the last component.
std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string();
    }
    return nocase::Upper(path.substr(dot));
}

}  // namespace

int ShellIcons::Cached(const std::string& key, const std::string& query, DWORD attributes, UINT flags) {
    auto found = byKey_.find(key);
    if (found != byKey_.end()) {
        return found->second;
    }
    SHFILEINFOA info{};
    flags |= SHGFI_ICON | (images_.Small() ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (SHGetFileInfoA(query.c_str(), attributes, &info, sizeof info, flags) == 0 || info.hIcon == nullptr) {
        return -1;  // not remembered: a file that appears later gets its icon then
    }
    OwnedIcon icon(info.hIcon);
    const int index = images_.Add(icon.Get());
    byKey_[key] = index;
    return index;
}

int ShellIcons::IndexOf(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    if (extension == ".EXE" || extension == ".ICO") {
        const int own = Cached(nocase::Upper(path), path, 0, 0);
        if (own >= 0) {
            return own;
        }
    }
    // The extension's icon, from the file type alone (no file needs to exist).
    return Cached(extension, "file" + extension, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
}

}  // namespace win
