// Copying keys of the system registry into the project's registry items.
#include "model/RegItem.h"

namespace {

struct HiveRoot {
    const char* name;
    platform::RegistryHive hive;
};

// The hives in the order of the first four root items of a project.
const HiveRoot kHives[] = {
    {"HKEY_CLASSES_ROOT", platform::RegistryHive::kClassesRoot},
    {"HKEY_CURRENT_USER", platform::RegistryHive::kCurrentUser},
    {"HKEY_LOCAL_MACHINE", platform::RegistryHive::kLocalMachine},
    {"HKEY_USERS", platform::RegistryHive::kUsers},
};

// The child of that name and kind, added when there is none; nullptr when the parent is full.
CRegItem* FindOrAdd(CRegItem& parent, const std::string& name, bool wantKey) {
    if (CRegItem* found = parent.FindChild(name, wantKey)) {
        return found;
    }
    // A new value gets a string type until the import sets the real one.
    return parent.AddChild(std::make_unique<CRegItem>(name, wantKey ? 0 : platform::kRegString));
}

}  // namespace

CRegItem* CRegItem::ImportFromSystem(CItemArray<CRegItem>& rootRegs, const std::string& fullKeyPath,
                                     platform::RegistryReader& registry) {
    const size_t slash = fullKeyPath.find('\\');
    const std::string hiveName = fullKeyPath.substr(0, slash);
    const std::string subkey = slash == std::string::npos ? std::string() : fullKeyPath.substr(slash + 1);
    for (size_t i = 0; i < sizeof kHives / sizeof kHives[0]; ++i) {
        if (hiveName != kHives[i].name || i >= rootRegs.size()) {
            continue;
        }
        CRegItem* item = rootRegs[i];
        size_t at = 0;
        while (item != nullptr && at < subkey.size()) {
            size_t end = subkey.find('\\', at);
            if (end == std::string::npos) {
                end = subkey.size();
            }
            if (end > at) {
                item = FindOrAdd(*item, subkey.substr(at, end - at), true);
            }
            at = end + 1;
        }
        if (item != nullptr) {
            item->ImportKey(registry, kHives[i].hive, subkey);
        }
        return item;
    }
    return nullptr;
}

void CRegItem::ImportKey(platform::RegistryReader& registry, platform::RegistryHive hive,
                         const std::string& subkey) {
    std::unique_ptr<platform::RegistryKeyReader> key = registry.OpenKey(hive, subkey);
    if (!key) {
        return;
    }
    platform::RegistryValue found;
    for (uint32_t index = 0; key->EnumValue(index, &found); ++index) {
        // Type 0 makes a key in the model, so a value of type REG_NONE cannot be held as a value.
        if (found.type == 0) {
            continue;
        }
        if (CRegItem* item = FindOrAdd(*this, found.name, false)) {
            item->type = found.type;
            TextFromData(found.type, found.data, &item->value);
        }
    }
    std::string childName;
    for (uint32_t index = 0; key->EnumSubkey(index, &childName); ++index) {
        if (CRegItem* child = FindOrAdd(*this, childName, true)) {
            child->ImportKey(registry, hive, subkey.empty() ? childName : subkey + "\\" + childName);
        }
    }
}
