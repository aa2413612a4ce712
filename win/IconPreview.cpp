#include "win/IconPreview.h"

#include <commctrl.h>
#include <shellapi.h>

namespace win {

void IconPreview::Attach(Window picture, Window spin, int maxIndex) {
    picture_ = picture;
    spin_ = spin;
    spin_.Send(UDM_SETRANGE32, 0, maxIndex);
}

int IconPreview::IconCount(const std::string& file) {
    if (file.empty()) {
        return 0;
    }
    UINT count = ExtractIconExA(file.c_str(), -1, nullptr, nullptr, 0);
    return count == UINT_MAX ? 0 : static_cast<int>(count);
}

void IconPreview::Show(const std::string& file, int index) {
    HICON icon = nullptr;
    if (index >= 0 && index < IconCount(file)) {
        ExtractIconExA(file.c_str(), index, &icon, nullptr, 1);
    }
    picture_.Send(STM_SETICON, reinterpret_cast<WPARAM>(icon));
    icon_.Reset(icon);
}

int IconPreview::Index() const {
    BOOL failed = FALSE;
    LRESULT position = spin_.Send(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    return failed ? 0 : static_cast<int>(position);
}

void IconPreview::SetIndex(int index) const { spin_.Send(UDM_SETPOS32, 0, index); }

}  // namespace win
