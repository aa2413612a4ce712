#pragma once

#include "setup/engine/SetupEngine.h"

// The run marks of the install sequence, from the features: what is to be present afterwards (selected)
// and what was present before (installed), with the total bytes to copy.
void PrepareSelection(SetupEngine& engine);

// The path variables expanded in the product texts, folders, files, registry texts, shortcuts and
// document types; each folder's and file's resolved path and each folder's suppressed mark.
void ResolvePaths(SetupEngine& engine);

// At start-up of a maintenance run: every item of every feature recorded as installed gets its installed
// mark.
void MarkInstalledItems(SetupEngine& engine);
