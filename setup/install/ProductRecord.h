#pragma once

#include "setup/engine/InstalledCopy.h"
#include "setup/engine/SetupEngine.h"

// The installed-product record in this machine's registry (HKEY_LOCAL_MACHINE).

// Fills the engine from the installed product's key; false, with the engine unchanged, when the product
// is not installed or its record is incomplete.
bool ReadInstalledRecord(SetupEngine& engine);
// The start-up decision about an installed copy of the product; false ends the run. The host shows the
// messages, closes the start-up notice and starts the other copy of the setup program.
bool CheckExistingInstallation(SetupEngine& engine, InstalledCopyHost& host);
