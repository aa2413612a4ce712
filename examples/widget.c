/* Widget: the bundled example's product, a tiny Windows program. Started with any argument (as the
   example's custom action and document verb start it) it ends at once; otherwise it greets. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    if (commandLine != NULL && commandLine[0] != '\0') {
        return 0;
    }
    MessageBoxA(NULL, "Widget 1.0 is installed.", "Widget", MB_OK | MB_ICONINFORMATION);
    return 0;
}
