#include "win/ListView.h"

namespace win {

void ListView::AddColumn(const char* title, int width) const {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | (title != nullptr ? LVCF_TEXT : 0);
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    int count = Header_GetItemCount(ListView_GetHeader(Handle()));
    Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(count < 0 ? 0 : count), reinterpret_cast<LPARAM>(&column));
}

int ListView::Append(const std::string& text, LPARAM data, int image) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = Count();
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = data;
    item.iImage = image;
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = -1; (row = ListView_GetNextItem(Handle(), row, LVNI_SELECTED)) >= 0;) {
        rows.push_back(row);
    }
    return rows;
}

std::string ListView::ItemText(int row, int column) const {
    char text[MAX_PATH + 1] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void ListView::SetItemText(int row, int column, const std::string& text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ListView::FindData(LPARAM data) const {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return static_cast<int>(Send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

LPARAM ListView::Data(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

}  // namespace win
