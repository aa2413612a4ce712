/* A custom-action program for the wizard's UI test: appends its argument as one line to the file named by
   the environment variable WIZARD_ACTION_LOG. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    const char* log = getenv("WIZARD_ACTION_LOG");
    FILE* file = log != NULL ? fopen(log, "a") : NULL;
    if (file == NULL) {
        return 1;
    }
    fprintf(file, "%s\n", argc > 1 ? argv[1] : "");
    fclose(file);
    return 0;
}
