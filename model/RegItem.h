#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ItemArray.h"
#include "platform/Registry.h"

// A registry key or value of the project. One class serves for both: type 0 makes a key, any other type
// a value, and values hang among the children of their key. The authoring program keeps a value's data
// as the text the user sees; the setup database carries the bytes that the setup program writes.
class CRegItem {
public:
    static constexpr size_t kMaxChildren = kArchiveListCapacity;
    static constexpr size_t kExpandedViews = 10;

    CRegItem() = default;
    CRegItem(std::string itemName, uint32_t itemType) : name(std::move(itemName)), type(itemType) {}

    int position = -1;
    CRegItem* parent = nullptr;
    std::string name;   // a value with an empty name is its key's default value
    std::string value;  // authoring program: the data as text (see DataFromText)
    uint32_t type = 0;  // 0 key, 1 string, 3 binary, 4 double word; imports may bring other types
    uint8_t expanded[kExpandedViews] = {};
    std::vector<uint8_t> data;  // setup program: the bytes to write
    CItemArray<CRegItem> children{kMaxChildren};
    bool permanent = false;  // not removed at uninstall
    // Setup program, for one run: to be present afterwards, present before.
    bool isSelected = false;
    bool isInstalled = false;

    bool IsKey() const { return type == 0; }

    void Serialize(const std::string& key, CTreeArchive& ar);

    // Appends a child item and makes this item its parent; nullptr when the key is full.
    CRegItem* AddChild(std::unique_ptr<CRegItem> child);

    // A new item like this one, with copies of all its children at any depth; it belongs to no parent
    // until added. The setup program's run state is not copied.
    std::unique_ptr<CRegItem> Copy() const;
    // Appends a copy of this item to the key's children; nullptr when the target is no key or is full.
    CRegItem* CopyTo(CRegItem* target) const;
    // Takes this item (with everything below it) out of its parent and appends it to the key's children.
    // The item stays the same object, so references to it and below it stay valid. False, and nothing
    // changed, for a root item, a target that is no key, is this item or lies below it, or is full.
    bool MoveTo(CRegItem* target);

    // The first child of that name (without regard to case) that is a key when wantKey, else a value.
    CRegItem* FindChild(const std::string& childName, bool wantKey) const;

    // True when the item lies below the ancestor, at any depth.
    bool IsBelow(const CRegItem* ancestor) const;

    // The names from the root down, joined by backslashes.
    std::string FullPath() const;
    // A key's name; a value's name or "(Default)" for the unnamed value.
    std::string DisplayName() const;
    // The root item's system key and the path below it (the names below the root, joined by
    // backslashes). "Installation Type Dependant" is HKEY_LOCAL_MACHINE for an installation for all users
    // and HKEY_CURRENT_USER otherwise; any other unknown root name is no key.
    platform::RegistryHive RootAndSubkey(bool installForAllUsers, std::string* subkey) const;

    // The bytes that the setup database carries for a value text of a given type.
    static std::vector<uint8_t> DataFromText(uint32_t type, const std::string& text);
    // The text that the import gives to registry data of a given type; false for types whose text is not
    // taken from the data (the text is then left as it was).
    static bool TextFromData(uint32_t type, const std::vector<uint8_t>& bytes, std::string* text);

    // Copies a key of the system registry with its values and subkeys, at any depth, below the project's
    // root items: "HKEY_CLASSES_ROOT\..." below the first root item, "HKEY_CURRENT_USER\..." the second,
    // "HKEY_LOCAL_MACHINE\..." the third, "HKEY_USERS\..." the fourth. Items that exist already are found
    // by name and updated. Returns the item of the key, or nullptr when the path names no hive (or a
    // key cannot be added because its list is full).
    static CRegItem* ImportFromSystem(CItemArray<CRegItem>& rootRegs, const std::string& fullKeyPath,
                                      platform::RegistryReader& registry = platform::SystemRegistry());

private:
    void ImportKey(platform::RegistryReader& registry, platform::RegistryHive hive, const std::string& subkey);
};

// The names of the root registry items of a new project, in their order.
extern const char* const kRootRegistryNames[5];
