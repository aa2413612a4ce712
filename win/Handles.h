#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

// Owns one handle of a kind and frees it with the kind's own function; moves, never copies.
template <typename Handle, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Traits::Free(handle_);
        }
        handle_ = handle;
    }
    Handle Release() { return std::exchange(handle_, nullptr); }

private:
    Handle handle_ = nullptr;
};

struct IconTraits {
    static void Free(HICON icon) { DestroyIcon(icon); }
};
struct MenuTraits {
    static void Free(HMENU menu) { DestroyMenu(menu); }
};
struct ImageListTraits {
    static void Free(HIMAGELIST list) { ImageList_Destroy(list); }
};
struct GdiTraits {
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct ModuleTraits {
    static void Free(HMODULE module) { FreeLibrary(module); }
};

using OwnedIcon = Owned<HICON, IconTraits>;
using OwnedMenu = Owned<HMENU, MenuTraits>;
using OwnedImageList = Owned<HIMAGELIST, ImageListTraits>;
using OwnedGdiObject = Owned<HGDIOBJ, GdiTraits>;
using OwnedModule = Owned<HMODULE, ModuleTraits>;

}  // namespace win
