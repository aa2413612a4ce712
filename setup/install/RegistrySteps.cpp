#include "platform/WinRegistry.h"
#include "setup/engine/RegistryRules.h"
#include "setup/install/RegKey.h"
#include "setup/install/Steps.h"

namespace {

// Names read while a tree is deleted: a key name has at most 255 characters, a value name 16383.
constexpr DWORD kKeyNameSize = 256;
constexpr DWORD kValueNameSize = 16384;

void WriteEntry(const SetupEngine& engine, const CRegItem& item) {
    RegistryPlace place;
    if (!PlaceOf(item, engine.installForAll, &place)) {
        return;
    }
    const HKEY hive = platform::HiveKey(place.hive);
    RegKey key;
    if (!place.isValue) {
        const LONG error = key.Create(hive, place.KeyPath());
        engine.Log(error == ERROR_SUCCESS ? "Registry key made" : "Registry key not made", place.Text());
        return;
    }
    LONG error = key.Create(hive, place.parentKey);
    if (error == ERROR_SUCCESS) {
        const std::vector<uint8_t> bytes = ValueBytes(item);
        error = RegSetValueExA(key.Get(), place.name.c_str(), 0, item.type,
                               bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    engine.Log(error == ERROR_SUCCESS ? "Registry value written" : "Registry value not written",
               place.Text());
}

void WriteTree(InstallRun& run, const CRegItem& item) {
    if (ShouldWriteEntry(item, run.engine.test)) {
        WriteEntry(run.engine, item);
    }
    run.Step();
    for (const CRegItem* child : item.children) {
        WriteTree(run, *child);
    }
}

bool HasSubkeys(HKEY parent, const std::string& name) {
    RegKey key;
    if (key.Open(parent, name, KEY_READ) != ERROR_SUCCESS) {
        return false;
    }
    char subkey[kKeyNameSize];
    DWORD size = sizeof subkey;
    const LONG error = RegEnumKeyExA(key.Get(), 0, subkey, &size, nullptr, nullptr, nullptr, nullptr);
    return error == ERROR_SUCCESS || error == ERROR_MORE_DATA;
}

// Deletes an entry from the key that holds it; false when that key cannot be opened. A key that still has
// subkeys (of other products, or the system's own) stays: on the Windows 95 family RegDeleteKeyA would
// take them with it.
bool DeleteEntry(const SetupEngine& engine, const CRegItem& item) {
    RegistryPlace place;
    if (!PlaceOf(item, engine.installForAll, &place)) {
        return false;
    }
    RegKey parent;
    if (parent.Open(platform::HiveKey(place.hive), place.parentKey) != ERROR_SUCCESS) {
        return false;
    }
    if (place.isValue) {
        if (RegDeleteValueA(parent.Get(), place.name.c_str()) == ERROR_SUCCESS) {
            engine.Log("Registry value removed", place.Text());
        }
    } else if (HasSubkeys(parent.Get(), place.name)) {
        engine.Log("Registry key kept", place.Text() + " (it holds other keys)");
    } else if (RegDeleteKeyA(parent.Get(), place.name.c_str()) == ERROR_SUCCESS) {
        engine.Log("Registry key removed", place.Text());
    }
    return true;
}

void RemoveTree(InstallRun& run, const CRegItem& item) {
    for (const CRegItem* child : item.children) {
        RemoveTree(run, *child);
    }
    switch (RemovalOf(item, run.engine.mode, run.engine.test)) {
        case RegistryRemoval::kSkip:
            break;
        case RegistryRemoval::kStepOnly:
            run.Step();
            break;
        case RegistryRemoval::kDelete:
            if (DeleteEntry(run.engine, item)) {
                run.Step();
            }
            break;
    }
}

LONG DeleteValues(HKEY key) {
    for (;;) {
        char name[kValueNameSize];
        DWORD size = sizeof name;
        LONG error = RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (error == ERROR_SUCCESS) {
            error = RegDeleteValueA(key, name);
        }
        if (error != ERROR_SUCCESS) {
            return error;
        }
    }
}

LONG DeleteSubkeys(HKEY hive, const std::string& path, HKEY key) {
    for (;;) {
        char name[kKeyNameSize];
        DWORD size = sizeof name;
        LONG error = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (error == ERROR_SUCCESS) {
            error = DeleteRegistryTree(hive, path + "\\" + name);
        }
        if (error != ERROR_SUCCESS) {
            return error;
        }
    }
}

}  // namespace

void WriteRegistryEntries(InstallRun& run) {
    const CItemArray<CRegItem>& roots = run.engine.project.rootRegs;
    run.BeginStep("Updating Registry...", static_cast<int32_t>(CountRegistryEntries(roots)));
    for (const CRegItem* root : roots) {
        WriteTree(run, *root);
    }
}

void RemoveRegistryEntries(InstallRun& run) {
    const CItemArray<CRegItem>& roots = run.engine.project.rootRegs;
    run.BeginStep("Removing Registry Keys...", static_cast<int32_t>(CountRegistryEntries(roots)));
    for (const CRegItem* root : roots) {
        RemoveTree(run, *root);
    }
}

LONG DeleteRegistryTree(HKEY hive, const std::string& path) {
    std::string parentPath;
    std::string last;
    if (!SplitKeyPath(path, &parentPath, &last)) {
        return ERROR_INVALID_PARAMETER;  // never the hive itself
    }
    {
        RegKey key;
        LONG error = key.Open(hive, path);
        if (error == ERROR_SUCCESS) {
            error = DeleteValues(key.Get());
        }
        if (error == ERROR_SUCCESS) {
            error = DeleteSubkeys(hive, path, key.Get());
        }
        if (error != ERROR_SUCCESS) {
            return error;
        }
    }
    RegKey parent;
    const LONG error = parent.Open(hive, parentPath);
    return error != ERROR_SUCCESS ? error : RegDeleteKeyA(parent.Get(), last.c_str());
}
