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

}  // namespace setup_exit
