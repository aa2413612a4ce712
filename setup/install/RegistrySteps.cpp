#include "setup/install/Steps.h"

void RemoveRegistryEntries(InstallRun&) {}
void WriteRegistryEntries(InstallRun&) {}
LONG DeleteRegistryTree(HKEY, const std::string&) { return ERROR_CALL_NOT_IMPLEMENTED; }
