// The setup program: Setup.exe on the media, TSSetup.exe on the target machine.
#include <windows.h>

#include "setup/main/Startup.h"

namespace {

// Libraries are loaded from the system folder only, so that a library planted beside Setup.exe in a
// download folder is never loaded. The call exists from Windows 8 (and Windows 7 with its update); older
// systems lack it and keep their own search order.
void RestrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return;
    }
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) {
        set(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
    }
    using SetDirectory = BOOL(WINAPI*)(LPCSTR);
    auto setDirectory =
        reinterpret_cast<SetDirectory>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory != nullptr) {
        setDirectory("");  // takes the current folder out of the search
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RestrictLibrarySearch();
    return RunSetupProgram(instance, commandLine);
}
