/* Custom-action functions for the wizard's UI test, called with the wizard's window. */
#include <windows.h>

#define WM_SETUP_EXPAND (WM_USER + 183)
#define WM_SETUP_SETVALUE (WM_USER + 184)

/* Fails, so that the wizard goes to its Finish page. */
__declspec(dllexport) int __cdecl Fail(HWND wizard) {
    (void)wizard;
    return 0;
}

/* Moves the target folder below the expansion of "<temp folder>" and fails when a message is not
   answered with 1. */
__declspec(dllexport) int __cdecl SetTarget(HWND wizard) {
    char expanded[MAX_PATH * 2];
    char target[MAX_PATH * 2];
    if (SendMessageA(wizard, WM_SETUP_EXPAND, (WPARAM) "<temp folder>", (LPARAM)expanded) != 1) {
        return 0;
    }
    wsprintfA(target, "%s\\Moved Gadget", expanded);
    return SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "TARGET FOLDER", (LPARAM)target) == 1 &&
           SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "no such name", (LPARAM) "x") == 0;
}

/* Deletes the second licence file from the setup's temporary folder, as if it had been lost; fails when
   there is none to delete. */
__declspec(dllexport) int __cdecl LoseLicense(HWND wizard) {
    char expanded[MAX_PATH * 2];
    char license[MAX_PATH * 2];
    if (SendMessageA(wizard, WM_SETUP_EXPAND, (WPARAM) "<temp folder>", (LPARAM)expanded) != 1) {
        return 0;
    }
    wsprintfA(license, "%s\\License1.txt", expanded);
    return DeleteFileA(license) ? 1 : 0;
}

/* Sets the target folder to "C:\Gadget", and fails when the message is not answered with 1. */
__declspec(dllexport) int __cdecl TargetGadget(HWND wizard) {
    return SendMessageA(wizard, WM_SETUP_SETVALUE, (WPARAM) "target folder", (LPARAM) "C:\\Gadget") == 1;
}
