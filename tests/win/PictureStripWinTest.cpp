// The pictures drawn by the build, loaded as the programs load them: the strips into masked image lists
// that draw every cell as the bitmap has it with its transparent colour showing what lies below, and the
// icons at each size the windows ask for.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "win/Handles.h"
#include "win/PictureStrip.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBelow = RGB(10, 120, 30);  // what a transparent pixel shows

// The colour at (x, y) of a 24-bit bitmap resource of this program.
class StripResource {
public:
    explicit StripResource(int id) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
        if (found != nullptr) {
            info_ = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        }
    }
    bool Valid() const { return info_ != nullptr && info_->biBitCount == 24 && info_->biHeight > 0; }
    int Width() const { return info_->biWidth; }
    COLORREF At(int x, int y) const {
        const int stride = (info_->biWidth * 3 + 3) / 4 * 4;
        const BYTE* p = reinterpret_cast<const BYTE*>(info_ + 1) + stride * (info_->biHeight - 1 - y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }

private:
    const BITMAPINFOHEADER* info_ = nullptr;
};

// Draws one image of the list over kBelow into a 32-bit top-down bitmap and reads its pixels back.
std::vector<COLORREF> DrawCell(HIMAGELIST list, int index, int cell) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cell;
    info.bmiHeader.biHeight = -cell;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    win::OwnedGdiObject target(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(dc, target.Get());
    HBRUSH below = CreateSolidBrush(kBelow);
    RECT all{0, 0, cell, cell};
    FillRect(dc, &all, below);
    DeleteObject(below);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < cell * cell; ++i) {
        pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

struct StripCase {
    int id;
    int cells;
    int cell;
    COLORREF transparent;
};

TEST(PictureStrip, EveryCellDrawsAsDrawnWithItsTransparentColourShowingThrough) {
    const StripCase cases[] = {{1, 8, 16, kMagenta}, {2, 4, 20, kWhite}};
    for (const StripCase& c : cases) {
        SCOPED_TRACE(c.id);
        const StripResource strip(c.id);
        ASSERT_TRUE(strip.Valid());
        ASSERT_EQ(strip.Width(), c.cells * c.cell);
        win::OwnedImageList list(win::LoadPictureStrip(c.id, c.cell, c.transparent));
        ASSERT_EQ(ImageList_GetImageCount(list.Get()), c.cells);
        for (int index = 0; index < c.cells; ++index) {
            const std::vector<COLORREF> drawn = DrawCell(list.Get(), index, c.cell);
            int through = 0;
            int wrong = 0;
            for (int y = 0; y < c.cell; ++y) {
                for (int x = 0; x < c.cell; ++x) {
                    const COLORREF own = strip.At(index * c.cell + x, y);
                    const COLORREF expected = own == c.transparent ? kBelow : own;
                    through += own == c.transparent ? 1 : 0;
                    wrong += drawn[static_cast<size_t>(y * c.cell + x)] != expected ? 1 : 0;
                }
            }
            EXPECT_GT(through, 0) << "cell " << index;
            EXPECT_EQ(wrong, 0) << "cell " << index << " drawn differently from the bitmap";
        }
    }
}

TEST(PictureStrip, MissingBitmapGivesAnEmptyList) {
    win::OwnedImageList list(win::LoadPictureStrip(999, 16, kMagenta));
    ASSERT_NE(list.Get(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list.Get()), 0);
}

TEST(PictureIcons, EachSizeLoadsItsOwnImage) {
    const struct {
        int id;
        std::vector<int> sizes;
    } icons[] = {{10, {16, 32, 48}}, {11, {16, 32}}};
    for (const auto& icon : icons) {
        for (int size : icon.sizes) {
            SCOPED_TRACE(size);
            win::OwnedIcon loaded(static_cast<HICON>(
                LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon.id), IMAGE_ICON, size, size, 0)));
            ASSERT_NE(loaded.Get(), nullptr) << "icon " << icon.id;
            ICONINFO parts{};
            ASSERT_TRUE(GetIconInfo(loaded.Get(), &parts));
            BITMAP colour{};
            GetObjectA(parts.hbmColor, sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);
            EXPECT_EQ(colour.bmBitsPixel, 32) << "the true-colour image is chosen on a true-colour screen";
            DeleteObject(parts.hbmColor);
            DeleteObject(parts.hbmMask);
        }
    }
}

}  // namespace
