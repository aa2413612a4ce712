#include "setup/install/Steps.h"

void RemoveShortcuts(InstallRun&) {}
void CreateShortcuts(InstallRun&) {}
