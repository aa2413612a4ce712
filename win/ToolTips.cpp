#include "win/ToolTips.h"

#include <commctrl.h>

namespace win {

ToolTips::~ToolTips() {
    if (tips_ != nullptr && IsWindow(tips_)) {
        DestroyWindow(tips_);
    }
}

void ToolTips::Create(HWND owner) {
    owner_ = owner;
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
    SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void ToolTips::Add(HWND control, const char* text) {
    if (tips_ == nullptr || control == nullptr) {
        return;
    }
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace win
