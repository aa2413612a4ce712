/* A stand-in for the HTML Help viewer's library (hhctrl.ocx) for the context-help UI test: put beside the
 * program under test, it is loaded instead of the system's and records every HtmlHelpA call as one line
 * "COMMAND|PATH|OWNER TITLE" in help-calls.txt beside itself, so that the test sees which topic each F1 and
 * each Help command asks for. It opens no window. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static HMODULE self_module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        self_module = instance;
    }
    return TRUE;
}

__declspec(dllexport) HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    char log[MAX_PATH];
    char title[256] = "";
    char* slash;
    FILE* out;
    (void)data;
    GetModuleFileNameA(self_module, log, sizeof log);
    slash = strrchr(log, '\\');
    if (slash == NULL || (size_t)(slash - log) + sizeof "help-calls.txt" >= sizeof log) {
        return NULL;
    }
    strcpy(slash + 1, "help-calls.txt");
    if (owner != NULL) {
        GetWindowTextA(owner, title, sizeof title);
    }
    out = fopen(log, "a");
    if (out != NULL) {
        fprintf(out, "%u|%s|%s\n", command, file != NULL ? file : "(null)", title);
        fclose(out);
    }
    return NULL;
}
