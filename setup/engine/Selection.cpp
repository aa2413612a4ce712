#include "setup/engine/Selection.h"

void PrepareSelection(SetupEngine&) {}

void ResolvePaths(SetupEngine&) {}

void MarkInstalledItems(SetupEngine&) {}
