#include "setup/install/Steps.h"

void RemoveFiles(InstallRun&) {}
void RemoveFolders(InstallRun&) {}
void MakeFolders(InstallRun&) {}
void CopyFiles(InstallRun&) {}
