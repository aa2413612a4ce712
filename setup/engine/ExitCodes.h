#pragma once

// The setup program's exit codes, the same in every interface type, so that a deployment script can judge a
// silent run. The failure and restart codes are those that deployment tools already read from installers.
namespace setup_exit {

constexpr int kDone = 0;             // the run did what was asked
constexpr int kFailedBefore = 1;     // ended before anything on the machine changed (media, database, system)
constexpr int kUsage = 2;            // the command line could not be read
constexpr int kCancelled = 1602;     // the user cancelled
constexpr int kFailedDuring = 1603;  // the sequence failed after it had started changing the machine
constexpr int kRestartNeeded = 3010; // done, but a restart finishes it (files in use replaced at boot)

// What a code means, for the log.
inline const char* Meaning(int code) {
    switch (code) {
        case kDone: return "done";
        case kFailedBefore: return "ended before anything on the machine changed";
        case kUsage: return "the command line cannot be read";
        case kCancelled: return "cancelled";
        case kFailedDuring: return "the sequence failed after it had started changing the machine";
        case kRestartNeeded: return "done, a restart finishes it";
        default: return "unknown";
    }
}

// Whether a run with that code did what was asked; the log of any other run is kept.
inline bool Succeeded(int code) { return code == kDone || code == kRestartNeeded; }

}  // namespace setup_exit
