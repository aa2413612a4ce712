#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "win/Window.h"

namespace win {

// A list-view control; grows only by what the programs use.
class ListView : public Window {
public:
    ListView() = default;
    explicit ListView(HWND hwnd) : Window(hwnd) {}

    void AddColumn(const char* title, int width) const;
    // Appends a row; returns its index.
    int Append(const std::string& text, LPARAM data = 0, int image = -1) const;
    void Clear() const { ListView_DeleteAllItems(Handle()); }
    int Count() const { return ListView_GetItemCount(Handle()); }
    // The first selected row, or -1.
    int Selected() const { return ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); }
    bool IsSelected(int row) const { return ListView_GetItemState(Handle(), row, LVIS_SELECTED) != 0; }
    void Select(int row) const { ListView_SetItemState(Handle(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
    LPARAM Data(int row) const;
    // The row that carries data, or -1.
    int FindData(LPARAM data) const;
    void EnsureVisible(int row) const { ListView_EnsureVisible(Handle(), row, FALSE); }
    std::vector<int> SelectedRows() const;
    std::string ItemText(int row, int column = 0) const;
    void SetItemText(int row, int column, const std::string& text) const;
    bool Delete(int row) const { return ListView_DeleteItem(Handle(), row) != FALSE; }
    HWND EditLabel(int row) const {
        return reinterpret_cast<HWND>(Send(LVM_EDITLABELA, static_cast<WPARAM>(row)));
    }
    // which: LVSIL_SMALL or LVSIL_NORMAL.
    void SetImageList(HIMAGELIST list, int which = LVSIL_SMALL) const {
        ListView_SetImageList(Handle(), list, which);
    }
};

}  // namespace win
