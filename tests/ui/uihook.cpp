// The UI driver's helper inside the program under test. Some things can be read only by the process that
// owns them, such as the items of a window's menu; the driver sets this library's hook on the program's
// user-interface thread, which loads the library there, and asks through a registered message.
//
// UiDriverReadMenu message: wParam the position of a menu in the window's menu bar, or kUiHookPopupMenu when
// the window is an open pop-up menu; lParam a buffer of kUiHookBufferSize bytes in the program's memory
// (the driver reserves it). The hook fills the buffer with one line per item: "-" for a separator,
// otherwise the command identifier, a space and the item's text, followed by " (grayed)" when the item is
// grayed and " (checked)" when it is checked; or with "no menu" when there is none at that position.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tests/ui/uihook.h"

namespace {

void Append(char* buffer, size_t* used, const char* text) {
    size_t length = std::strlen(text);
    if (*used + length + 1 >= kUiHookBufferSize) {
        return;
    }
    std::memcpy(buffer + *used, text, length + 1);
    *used += length;
}

void DescribeMenu(HWND window, int position, char* buffer) {
    size_t used = 0;
    buffer[0] = '\0';
    HMENU menu = position == kUiHookPopupMenu ? reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0))
                                              : GetSubMenu(GetMenu(window), position);
    if (menu == nullptr) {
        Append(buffer, &used, "no menu\n");
        return;
    }
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[512] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) {
            continue;
        }
        char line[600];
        if (item.fType & MFT_SEPARATOR) {
            std::snprintf(line, sizeof line, "-\n");
        } else {
            std::snprintf(line, sizeof line, "%u %s%s%s\n", item.wID, text,
                          (item.fState & MFS_GRAYED) ? " (grayed)" : "",
                          (item.fState & MFS_CHECKED) ? " (checked)" : "");
        }
        Append(buffer, &used, line);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK UiDriverHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT readMenu = RegisterWindowMessageA(kUiHookReadMenu);
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == readMenu && call->lParam != 0) {
            DescribeMenu(call->hwnd, static_cast<int>(call->wParam), reinterpret_cast<char*>(call->lParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
