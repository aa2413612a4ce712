/* A custom-action program for the wizard's UI test: appends its argument as one line to the file named by
   the environment variable WIZARD_ACTION_LOG, or "started without arguments"; with the argument "pause" it
   waits three seconds instead, so that the page on the screen can be looked at. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "pause") == 0) {
        Sleep(3000);
        return 0;
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
