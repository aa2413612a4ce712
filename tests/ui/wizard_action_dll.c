/* Custom-action functions for the wizard's UI test, called with the wizard's window. */
#include <windows.h>

#define WM_SETUP_EXPAND (WM_USER + 183)
#define WM_SETUP_SETVALUE (WM_USER + 184)

/* Fails, so that the wizard goes to its Finish page. */
__declspec(dllexport) int __cdecl Fail(HWND wizard) {
    (void)wizard;
    return 0;
}

/* Writes the path of NAME in the setup's temporary folder to PATH, as the wizard expands it; 0 when the
   wizard does not answer with 1. */
static int InTempFolder(HWND wizard, const char* name, char* path) {
    char expanded[MAX_PATH * 2];
    if (SendMessageA(wizard, WM_SETUP_EXPAND, (WPARAM) "<temp folder>", (LPARAM)expanded) != 1) {
        return 0;
    }
    wsprintfA(path, "%s\\%s", expanded, name);
    return 1;
}

/* Moves the target folder below the expansion of "<temp folder>" and fails when a message is not
   answered with 1. */
__declspec(dllexport) int __cdecl SetTarget(HWND wizard) {
    char target[MAX_PATH * 2];
    if (!InTempFolder(wizard, "Moved Gadget", target)) {
        return 0;
    }
    return SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "TARGET FOLDER", (LPARAM)target) == 1 &&
           SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "no such name", (LPARAM) "x") == 0;
}

/* Deletes the second licence file from the setup's temporary folder, as if it had been lost; fails when
   there is none to delete. */
__declspec(dllexport) int __cdecl LoseLicense(HWND wizard) {
    char license[MAX_PATH * 2];
    return InTempFolder(wizard, "License1.txt", license) && DeleteFileA(license) ? 1 : 0;
}

/* Sets the target folder to "C:\Gadget", and fails when the message is not answered with 1. */
__declspec(dllexport) int __cdecl TargetGadget(HWND wizard) {
    return SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "target folder", (LPARAM) "C:\\Gadget") == 1;
}
