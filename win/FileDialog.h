#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win {

// The common file dialogs. Filters are written as the programs show them, with "|" between the parts
// and "||" at the end: "Icon Files (*.ico,*.exe)|*.ico;*.exe|All Files (*.*)|*.*||".
class FileDialog {
public:
    FileDialog(HWND owner, const char* filter) : owner_(owner), filter_(filter) {}

    void SetDefaultExtension(const char* extension) { extension_ = extension; }
    // The file type shown first, counted from 1 in the filter's order; after a dialog that was not
    // cancelled, the type the user chose.
    void SetFilterIndex(int index) { filterIndex_ = index; }
    int FilterIndex() const { return filterIndex_; }

    // One existing file; *path holds the proposed name and receives the chosen one. False on Cancel.
    bool Open(std::string* path) const;
    // Several existing files, each a full path, in the order the dialog gives them. False on Cancel.
    bool OpenMany(std::vector<std::string>* paths) const;
    // A file to write, with the question before an existing file is replaced. False on Cancel.
    bool Save(std::string* path) const;

    // The filter in the dialog's own form: parts separated by zero bytes, two at the end.
    static std::string SystemFilter(const char* filter);

private:
    bool Run(DWORD flags, bool save, char* buffer, DWORD size) const;

    HWND owner_;
    const char* filter_;
    const char* extension_ = nullptr;
    mutable int filterIndex_ = 1;
};

}  // namespace win
