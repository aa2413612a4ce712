#include "setup/install/ProductRecord.h"

#include "setup/install/Steps.h"

bool ReadInstalledRecord(SetupEngine&) { return false; }
bool CheckExistingInstallation(SetupEngine&) { return true; }
void RegisterProduct(InstallRun&) {}
void InstallSetupProgram(InstallRun&) {}
