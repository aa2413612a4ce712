#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/RegItem.h"

// Where a registry entry of the project lives on the target machine, and what the registry steps do to
// it given its run marks and the mode.

// The place of an entry: its hive, the key that holds it ("" for the hive itself) and its own name (a
// key's last part, a value's name; "" is a key's default value).
struct RegistryPlace {
    platform::RegistryHive hive = platform::RegistryHive::kNone;
    std::string parentKey;
    std::string name;
    bool isValue = false;

    // A key entry's own path: the parent key and the name joined by a backslash.
    std::string KeyPath() const;
    // The whole place as a person reads it: the hive's name, the key path, and a value's name after a
    // backslash ("(Default)" for the unnamed value).
    std::string Text() const;
};

// The place of an entry. False for one that names nothing the steps may touch: a root entry, an entry
// below a root of no known hive, a key whose name is not a key path, and an entry below such a key or
// below a value.
bool PlaceOf(const CRegItem& item, bool installForAll, RegistryPlace* place);

// Every entry below the roots and the roots themselves, at all levels.
size_t CountRegistryEntries(const CItemArray<CRegItem>& roots);

// The write step writes an entry that is selected and not installed, outside test mode.
bool ShouldWriteEntry(const CRegItem& item, bool test);

// The bytes written for a value: its data; a string value (REG_SZ, REG_EXPAND_SZ) whose data does not end
// in a zero byte gets one, so that what is written is always a terminated string.
std::vector<uint8_t> ValueBytes(const CRegItem& item);

enum class RegistryRemoval {
    kSkip,      // left alone, no progress step
    kStepOnly,  // progress step, nothing deleted
    kDelete,    // deleted from its parent key, progress step
};
// Roots, Permanent entries and every entry in test mode only step. Otherwise an entry is deleted when it
// was installed and is no longer selected, or in mode SM_REMOVE whatever its marks, and the rest is
// skipped; a key to be deleted that holds a Permanent entry at any depth only steps, since deleting the key
// would take that entry with it.
RegistryRemoval RemovalOf(const CRegItem& item, int32_t mode, bool test);

// A key path below a hive: not empty, and no empty part (no leading, trailing or doubled backslash).
bool IsKeyPath(const std::string& path);

// A key path below a hive cut at its last backslash: the parent ("" for a key right below the hive) and the
// last part. False for a path that names no key below the hive: empty, or with an empty part.
bool SplitKeyPath(const std::string& path, std::string* parent, std::string* last);
