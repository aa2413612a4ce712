#include "win/PictureStrip.h"

namespace win {

HIMAGELIST LoadPictureStrip(int bitmapId, int cell, COLORREF transparent, HINSTANCE instance) {
    HIMAGELIST list = ImageList_Create(cell, cell, ILC_COLOR24 | ILC_MASK, 8, 0);
    HBITMAP strip = LoadBitmapA(instance != nullptr ? instance : GetModuleHandleA(nullptr),
                                MAKEINTRESOURCEA(bitmapId));
    if (list != nullptr && strip != nullptr) {
        ImageList_AddMasked(list, strip, transparent);
    }
    if (strip != nullptr) {
        DeleteObject(strip);
    }
    return list;
}

}  // namespace win
