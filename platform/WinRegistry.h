#pragma once

#include <windows.h>

#include "platform/Registry.h"

// Windows only: the system key of a hive.
namespace platform {

// The predefined key of a hive; null for no hive.
HKEY HiveKey(RegistryHive hive);

}  // namespace platform
