#pragma once

#include <windows.h>

#include "setup/engine/ProgressSink.h"
#include "setup/engine/SetupEngine.h"

// The whole work of a run on the target machine: the marks, the paths, then the removal and installation
// steps that the mode allows. Sets the engine's completed flag when every step has run; a CTSSException
// from a step ends the sequence and is shown in a message box owned by the window (when there is one and
// the message is not empty), sets the engine's failed flag, and, in a first installation that had not yet
// registered the product, takes away what the run made.
void RunSequence(SetupEngine& engine, ProgressSink* sink, HWND window);
