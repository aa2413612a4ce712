#pragma once

#include <windows.h>

#include <commctrl.h>

namespace win {

// A new image list of the cells of a bitmap resource: square pictures of cell pixels side by side, with
// the transparent colour masked out (24-bit colours, so that every release of the common controls draws
// them). The list is empty when the module has no such bitmap; the caller destroys it.
HIMAGELIST LoadPictureStrip(int bitmapId, int cell, COLORREF transparent, HINSTANCE instance = nullptr);

}  // namespace win
