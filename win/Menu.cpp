#include "win/Menu.h"

namespace win {

Menu::Menu(int id, HINSTANCE instance)
    : menu_(LoadMenuA(instance != nullptr ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))) {
    popup_ = menu_ ? GetSubMenu(menu_.Get(), 0) : nullptr;
}

void Menu::Enable(int command, bool enable) const {
    EnableMenuItem(popup_, static_cast<UINT>(command), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void Menu::Check(int command, bool check) const {
    CheckMenuItem(popup_, static_cast<UINT>(command), MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
}

void Menu::CheckRadio(int first, int last, int command) const {
    CheckMenuRadioItem(popup_, static_cast<UINT>(first), static_cast<UINT>(last), static_cast<UINT>(command),
                       MF_BYCOMMAND);
}

void Menu::SetDefault(int command) const { SetMenuDefaultItem(popup_, static_cast<UINT>(command), FALSE); }

void Menu::SetText(int command, const char* text) const {
    ModifyMenuA(popup_, static_cast<UINT>(command), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(command), text);
}

void Menu::Remove(int command) const { DeleteMenu(popup_, static_cast<UINT>(command), MF_BYCOMMAND); }

int KeyCommands::CommandOf(const NMHDR* header) const {
    if (header->hwndFrom != control || (header->code != TVN_KEYDOWN && header->code != LVN_KEYDOWN)) {
        return 0;
    }
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) {
        return 0;
    }
    // NMTVKEYDOWN and NMLVKEYDOWN have the same layout.
    switch (reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey) {
        case VK_INSERT:
            return insert;
        case VK_DELETE:
            return remove;
        case VK_F2:
            return rename;
        default:
            return 0;
    }
}

int Menu::Track(HWND owner, POINT screen) const {
    if (popup_ == nullptr) {
        return 0;
    }
    if (screen.x == -1 && screen.y == -1) {
        RECT box{};
        HWND focus = GetFocus();
        GetWindowRect(focus != nullptr ? focus : owner, &box);
        screen = {box.left + 8, box.top + 8};
    }
    return static_cast<int>(TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                                           screen.y, 0, owner, nullptr));
}

}  // namespace win
