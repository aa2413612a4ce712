#include "setup/install/Steps.h"

void RemoveDocTypes(InstallRun&) {}
void RegisterDocTypes(InstallRun&) {}
