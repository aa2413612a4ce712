#include "setup/engine/RegistryRules.h"

#include "setup/engine/SetupRules.h"

namespace {

constexpr uint32_t kRegExpandString = 2;  // REG_EXPAND_SZ

bool HoldsPermanent(const CRegItem& item) {
    for (const CRegItem* child : item.children) {
        if (child->permanent || HoldsPermanent(*child)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsKeyPath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' &&
           path.find("\\\\") == std::string::npos;
}

std::string RegistryPlace::KeyPath() const {
    return parentKey.empty() ? name : parentKey + "\\" + name;
}

std::string RegistryPlace::Text() const {
    using platform::RegistryHive;
    const char* hiveName = hive == RegistryHive::kClassesRoot    ? "HKEY_CLASSES_ROOT"
                           : hive == RegistryHive::kCurrentUser  ? "HKEY_CURRENT_USER"
                           : hive == RegistryHive::kLocalMachine ? "HKEY_LOCAL_MACHINE"
                           : hive == RegistryHive::kUsers        ? "HKEY_USERS"
                                                                 : "?";
    std::string text = hiveName;
    if (!parentKey.empty()) {
        text += "\\" + parentKey;
    }
    return text + "\\" + (isValue && name.empty() ? std::string("(Default)") : name);
}

bool PlaceOf(const CRegItem& item, bool installForAll, RegistryPlace* place) {
    if (item.parent == nullptr || (item.IsKey() && !IsKeyPath(item.name))) {
        return false;
    }
    for (const CRegItem* key = item.parent; key->parent != nullptr; key = key->parent) {
        if (!key->IsKey() || !IsKeyPath(key->name)) {
            return false;
        }
    }
    place->hive = item.parent->RootAndSubkey(installForAll, &place->parentKey);
    place->name = item.name;
    place->isValue = !item.IsKey();
    return place->hive != platform::RegistryHive::kNone;
}

size_t CountRegistryEntries(const CItemArray<CRegItem>& roots) {
    size_t count = 0;
    for (const CRegItem* item : roots) {
        count += 1 + CountRegistryEntries(item->children);
    }
    return count;
}

bool ShouldWriteEntry(const CRegItem& item, bool test) {
    return item.isSelected && !item.isInstalled && !test;
}

std::vector<uint8_t> ValueBytes(const CRegItem& item) {
    std::vector<uint8_t> bytes = item.data;
    const bool isString = item.type == platform::kRegString || item.type == kRegExpandString;
    if (isString && (bytes.empty() || bytes.back() != 0)) {
        bytes.push_back(0);
    }
    return bytes;
}

RegistryRemoval RemovalOf(const CRegItem& item, int32_t mode, bool test) {
    if (test || item.parent == nullptr || item.permanent) {
        return RegistryRemoval::kStepOnly;
    }
    if (mode != SM_REMOVE && (item.isSelected || !item.isInstalled)) {
        return RegistryRemoval::kSkip;
    }
    return HoldsPermanent(item) ? RegistryRemoval::kStepOnly : RegistryRemoval::kDelete;
}

bool SplitKeyPath(const std::string& path, std::string* parent, std::string* last) {
    if (!IsKeyPath(path)) {
        return false;
    }
    const size_t cut = path.rfind('\\');
    *parent = cut == std::string::npos ? std::string() : path.substr(0, cut);
    *last = cut == std::string::npos ? path : path.substr(cut + 1);
    return true;
}
