#pragma once

#include <windows.h>

// The setup program's whole run: start-up, hand-over by user-interface type, and the exit that removes the
// private temporary folder. Returns the process exit code: 0 when the run got to its hand-over, 1 when it
// ended early.
int RunSetupProgram(HINSTANCE instance, const char* commandLine);
