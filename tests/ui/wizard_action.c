/* A custom-action program for the wizard's UI test: appends its argument as one line to the file named by
   the environment variable WIZARD_ACTION_LOG, or "started without arguments"; with the argument "pause" it
   waits three seconds instead, so that the page on the screen can be looked at; with "hold PATH" it keeps
   that file open against writers for two minutes, as a running program keeps its files, and with "lock PATH"
   against readers too. Closing its window lets the file go at once. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static HANDLE held = INVALID_HANDLE_VALUE;

/* Lets the file go when the session ends, as a program does at a restart, before the system goes on. */
static LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_ENDSESSION && wParam) || message == WM_TIMER || message == WM_CLOSE) {
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int Hold(const char* path, DWORD sharing) {
    held = CreateFileA(path, GENERIC_READ, sharing, NULL, OPEN_EXISTING, 0, NULL);
    if (held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    WNDCLASSA type = {0};
    type.lpfnWndProc = HolderProc;
    type.hInstance = GetModuleHandleA(NULL);
    type.lpszClassName = "WizardTestHolder";
    RegisterClassA(&type);
    HWND window = CreateWindowA("WizardTestHolder", "Holding a file", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 120, 40,
                                NULL, NULL, type.hInstance, NULL);
    SetTimer(window, 1, 120000, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "pause") == 0) {
        Sleep(3000);
        return 0;
    }
    if (argc > 2 && strcmp(argv[1], "hold") == 0) {
        return Hold(argv[2], FILE_SHARE_READ);
    }
    if (argc > 2 && strcmp(argv[1], "lock") == 0) {
        return Hold(argv[2], 0);
    }
    const char* log = getenv("WIZARD_ACTION_LOG");
    FILE* file = log != NULL ? fopen(log, "a") : NULL;
    if (file == NULL) {
        return 1;
    }
    fprintf(file, "%s\n", argc > 1 ? argv[1] : "started without arguments");
    fclose(file);
    return 0;
}
