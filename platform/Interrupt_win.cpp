#include <windows.h>

#include <cstdlib>

#include "platform/Interrupt.h"

namespace platform {

namespace {

volatile LONG noted = 0;

BOOL WINAPI Note(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        // The first event is noted and handled; the next takes the default action.
        return InterlockedCompareExchange(&noted, static_cast<LONG>(event) + 1, 0) == 0 ? TRUE : FALSE;
    }
    return FALSE;
}

}  // namespace

void CatchInterrupts() {
    SetConsoleCtrlHandler(Note, TRUE);
}

bool Interrupted() {
    return noted != 0;
}

int InterruptSignal() {
    return static_cast<int>(noted);
}

void EndForInterrupt() {
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace platform
