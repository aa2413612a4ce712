#pragma once

// What the UI driver and its hook library inside the program under test agree on.
#include <cstddef>

constexpr const char* kUiHookLibrary = "uihook.dll";
constexpr const char* kUiHookProcedure = "UiDriverHook";
constexpr const char* kUiHookReadMenu = "TessaroUiDriverReadMenu";
constexpr size_t kUiHookBufferSize = 16384;
constexpr int kUiHookPopupMenu = -1;  // the menu position that names the pop-up menu window itself
