#pragma once

#include "setup/engine/SetupEngine.h"

// Fills the engine from the installed product's key; false when the product is not installed.
bool ReadInstalledRecord(SetupEngine& engine);
// The start-up decision about an installed copy of the product; false ends the run.
bool CheckExistingInstallation(SetupEngine& engine);
