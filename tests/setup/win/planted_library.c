/* A library planted beside the setup program under the name of a system library. If the program's loader
   ever takes it, it leaves a marker file beside itself: its own path followed by ".loaded". */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char marker[MAX_PATH + 8];
        DWORD length = GetModuleFileNameA(instance, marker, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(marker, ".loaded");
            HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}
