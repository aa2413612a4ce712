#include "win/FileDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <memory>

namespace win {

std::string FileDialog::SystemFilter(const char* filter) {
    std::string text = filter != nullptr ? filter : "";
    for (char& c : text) {
        if (c == '|') {
            c = '\0';
        }
    }
    text.append(2, '\0');
    return text;
}

bool FileDialog::Run(DWORD flags, bool save, char* buffer, DWORD size) const {
    const std::string filter = SystemFilter(filter_);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = size;
    ofn.lpstrDefExt = extension_;
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.Flags = flags | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if ((save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn)) != FALSE) {
        filterIndex_ = static_cast<int>(ofn.nFilterIndex);
        return true;
    }
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
        // Never a path cut to fit: the choice is refused and said so.
        MessageBoxA(owner_, "The path of the chosen file is too long!", "Tessaro", MB_OK | MB_ICONERROR);
    }
    return false;
}

bool FileDialog::Open(std::string* path) const {
    char name[MAX_PATH] = "";
    lstrcpynA(name, path->c_str(), sizeof name);
    if (!Run(OFN_FILEMUSTEXIST, false, name, sizeof name)) {
        return false;
    }
    *path = name;
    return true;
}

bool FileDialog::Save(std::string* path) const {
    char name[MAX_PATH] = "";
    lstrcpynA(name, path->c_str(), sizeof name);
    if (!Run(OFN_OVERWRITEPROMPT, true, name, sizeof name)) {
        return false;
    }
    *path = name;
    return true;
}

bool FileDialog::OpenMany(std::vector<std::string>* paths) const {
    constexpr DWORD kSize = 64 * 1024;
    auto buffer = std::make_unique<char[]>(kSize);
    buffer[0] = '\0';
    if (!Run(OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, false, buffer.get(), kSize)) {
        return false;
    }
    // One file: its full path. Several: the folder, then each name, each ended by a zero byte.
    paths->clear();
    const char* folder = buffer.get();
    const char* name = folder + lstrlenA(folder) + 1;
    if (*name == '\0') {
        paths->push_back(folder);
        return true;
    }
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') {
        base += '\\';
    }
    for (; *name != '\0'; name += lstrlenA(name) + 1) {
        paths->push_back(base + name);
    }
    return true;
}

}  // namespace win
