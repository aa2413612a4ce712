// The pictures of the wizard: the banner of each page with its header texts, and the splash.
#include <objbase.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "setup/install/ComIds.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardRes.h"

using namespace wizard_rules;

namespace {

constexpr int kBuiltInWidth = 160;
constexpr int kRampTop = 60;
constexpr int kRampHeight = 10;
constexpr UINT kSplashTimer = 1;

std::vector<char> ReadWholeFile(const std::string& path) {
    std::vector<char> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size > 0) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

// A font made for one header line.
class HeaderFont {
public:
    HeaderFont(int height, int weight)
        : font_(CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial")) {}
    ~HeaderFont() { DeleteObject(font_); }
    HeaderFont(const HeaderFont&) = delete;
    HeaderFont& operator=(const HeaderFont&) = delete;
    HFONT Handle() const { return font_; }

private:
    HFONT font_;
};

void DrawLine(HDC dc, const HeaderFont& font, int x, int y, const std::string& text) {
    HGDIOBJ old = SelectObject(dc, font.Handle());
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
}

}  // namespace

HBITMAP LoadPictureBitmap(const std::string& path, SIZE* size) {
    std::vector<char> bytes = ReadWholeFile(path);
    if (bytes.empty()) {
        return nullptr;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) {
        return nullptr;
    }
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, com_ids::kPicture,
                                          reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded) || picture == nullptr) {
        return nullptr;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    HDC screen = GetDC(nullptr);
    const int pixelsX = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int pixelsY = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    HBITMAP bitmap = pixelsX > 0 && pixelsY > 0 ? CreateCompatibleBitmap(screen, pixelsX, pixelsY) : nullptr;
    if (bitmap != nullptr) {
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        picture->Render(dc, 0, 0, pixelsX, pixelsY, 0, height, width, -height, nullptr);
        SelectObject(dc, old);
        DeleteDC(dc);
        size->cx = pixelsX;
        size->cy = pixelsY;
    }
    ReleaseDC(nullptr, screen);
    picture->Release();
    return bitmap;
}

void CWizard::BuildBanners() {
    RECT box{0, 0, 350, 52};
    MapDialogRect(Handle(), &box);
    bannerSize_ = SIZE{box.right, box.bottom};
    HDC screen = GetDC(Handle());
    memoryDC_ = CreateCompatibleDC(screen);
    ReleaseDC(Handle(), screen);
    const bool install = engine_.mode == SM_NEW;
    for (int page = 0; page < CUISettings::kPageSlots; ++page) {
        if (engine_.project.ui.showPage[page] != 0 && (install || page < kLicense || page > kSetupType)) {
            backgrounds_[static_cast<size_t>(page)] = BuildBanner(page);
        }
    }
}

HBITMAP CWizard::BuildBanner(int page) {
    HDC screen = GetDC(Handle());
    HBITMAP bitmap = CreateCompatibleBitmap(screen, bannerSize_.cx, bannerSize_.cy);
    ReleaseDC(Handle(), screen);
    HGDIOBJ old = SelectObject(memoryDC_, bitmap);
    RECT all{0, 0, bannerSize_.cx, bannerSize_.cy};
    FillRect(memoryDC_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    SIZE size{};
    HBITMAP picture = nullptr;
    if (engine_.project.ui.showBanner[page] != 0) {
        char path[MAX_PATH + 32];
        wsprintfA(path, "%s\\Banner%d.bmp", engine_.tstempFolder.c_str(), page);
        picture = LoadPictureBitmap(path, &size);
    }
    if (picture == nullptr) {
        picture = LoadPictureBitmap(engine_.tstempFolder + "\\BAll.bmp", &size);
    }
    HDC pictureDC = CreateCompatibleDC(memoryDC_);
    if (picture != nullptr) {
        HGDIOBJ oldPicture = SelectObject(pictureDC, picture);
        SetStretchBltMode(memoryDC_, COLORONCOLOR);
        StretchBlt(memoryDC_, 0, 0, bannerSize_.cx, bannerSize_.cy, pictureDC, 0, 0, size.cx, size.cy,
                   SRCCOPY);
        SelectObject(pictureDC, oldPicture);
        DeleteObject(picture);
    } else {
        HBITMAP builtIn = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_WZ_BANNER), IMAGE_BITMAP, 0, 0, 0));
        if (builtIn != nullptr) {
            BITMAP info{};
            GetObjectA(builtIn, sizeof info, &info);
            HGDIOBJ oldPicture = SelectObject(pictureDC, builtIn);
            BitBlt(memoryDC_, bannerSize_.cx - kBuiltInWidth, 0, info.bmWidth, info.bmHeight, pictureDC, 0, 0,
                   SRCCOPY);
            SelectObject(pictureDC, oldPicture);
            DeleteObject(builtIn);
        }
        for (int x = 0; x < bannerSize_.cx; ++x) {
            HBRUSH brush = CreateSolidBrush(RampColour(x, bannerSize_.cx));
            RECT column{x, kRampTop, x + 1, kRampTop + kRampHeight};
            FillRect(memoryDC_, &column, brush);
            DeleteObject(brush);
        }
    }
    DeleteDC(pictureDC);
    SelectObject(memoryDC_, old);
    return bitmap;
}

void CWizard::DrawHeader(int page) {
    const size_t slot = static_cast<size_t>(page);
    if (backgrounds_[slot] == nullptr) {
        backgrounds_[slot] = BuildBanner(page);
    }
    if (banners_[slot] == nullptr) {
        HDC screen = GetDC(Handle());
        banners_[slot] = CreateCompatibleBitmap(screen, bannerSize_.cx, bannerSize_.cy);
        ReleaseDC(Handle(), screen);
    }
    // The header is drawn on a fresh copy of the background, so that a header whose text changed since the
    // last visit (another mode, another outcome) never lies over the old one.
    HDC backgroundDC = CreateCompatibleDC(memoryDC_);
    HGDIOBJ oldBackground = SelectObject(backgroundDC, backgrounds_[slot]);
    HGDIOBJ old = SelectObject(memoryDC_, banners_[slot]);
    BitBlt(memoryDC_, 0, 0, bannerSize_.cx, bannerSize_.cy, backgroundDC, 0, 0, SRCCOPY);
    SelectObject(backgroundDC, oldBackground);
    DeleteDC(backgroundDC);

    const PageHeader header = HeaderOf(page, engine_.mode, engine_.project.productName, engine_.completed);
    SetBkMode(memoryDC_, TRANSPARENT);
    SetTextColor(memoryDC_, RGB(0, 0, 0));
    const HeaderFont title(16, FW_BOLD);
    const HeaderFont subtitle(15, FW_NORMAL);
    DrawLine(memoryDC_, title, 10, 10, header.title);
    DrawLine(memoryDC_, header.subtitleInTitleFont ? title : subtitle, 10, 30, header.subtitle);
    SelectObject(memoryDC_, old);

    Item(IDC_WZ_BANNER).Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banners_[slot]));
    InvalidateRect(Item(IDC_WZ_BANNER).Handle(), nullptr, FALSE);
}

// ---- CSplash ----

CSplash::~CSplash() {
    Close();
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
}

void CSplash::Open() {
    if (Create(nullptr, IDD_SPLASH) == nullptr) {
        return;
    }
}

void CSplash::Close() {
    if (Handle() != nullptr && IsWindow(Handle())) {
        DestroyWindow(Handle());
    }
}

BOOL CSplash::OnInit() {
    SIZE size{};
    picture_ = LoadPictureBitmap(picturePath_, &size);
    if (picture_ != nullptr) {
        SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        Item(IDC_SPLASH_PICTURE).Move(0, 0, size.cx, size.cy);
        Item(IDC_SPLASH_PICTURE).Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
    }
    RECT window{};
    GetWindowRect(Handle(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), HWND_TOPMOST, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetTimer(Handle(), kSplashTimer, 3000, nullptr);
    return TRUE;
}

bool CSplash::OnCommand(int id, int code, HWND) {
    if (id == IDC_SPLASH_PICTURE && code == STN_DBLCLK) {
        Close();
        return true;
    }
    return false;
}

bool CSplash::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
    if ((message == WM_TIMER && wParam == kSplashTimer) || message == WM_LBUTTONDBLCLK) {
        KillTimer(Handle(), kSplashTimer);
        Close();
        *result = TRUE;
        return true;
    }
    return false;
}
