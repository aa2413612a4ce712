#pragma once

// Stopping a long job on a signal without leaving its temporary files behind. The handlers that
// CatchInterrupts installs only note the signal (and give the default action back, so that a second one
// ends the program at once); the job asks Interrupted() where it can stop and fails through its ordinary
// error path, which removes what it made. A write past the process's file-size limit then fails with an
// error of its own instead of ending the program without a word.
namespace platform {

void CatchInterrupts();
bool Interrupted();
// The signal (or console event) that was noted; 0 when none was.
int InterruptSignal();
// Ends the program as the noted signal would have ended it, once the job has cleaned up.
[[noreturn]] void EndForInterrupt();

}  // namespace platform
