#include <signal.h>

#include <cstdlib>
#include <initializer_list>

#include "platform/Interrupt.h"

namespace platform {

namespace {

volatile sig_atomic_t noted = 0;

void Note(int signal) {
    noted = signal;
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    // Once: a second signal of the same kind takes its default action.
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

bool Interrupted() {
    return noted != 0;
}

int InterruptSignal() {
    return noted;
}

void EndForInterrupt() {
    const int signal = noted != 0 ? noted : SIGTERM;
    ::signal(signal, SIG_DFL);
    raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace platform
