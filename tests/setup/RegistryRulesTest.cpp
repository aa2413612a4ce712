#include <gtest/gtest.h>

#include <memory>

#include "setup/engine/RegistryRules.h"
#include "setup/engine/SetupRules.h"

namespace {

using platform::RegistryHive;

CRegItem* Add(CRegItem* parent, const std::string& name, uint32_t type = 0) {
    return parent->AddChild(std::make_unique<CRegItem>(name, type));
}

RegistryPlace PlaceOrFail(const CRegItem& item, bool installForAll = false) {
    RegistryPlace place;
    EXPECT_TRUE(PlaceOf(item, installForAll, &place)) << item.FullPath();
    return place;
}

TEST(RegistryPlace, EveryHiveName) {
    const struct {
        const char* root;
        RegistryHive perUser;
        RegistryHive forAll;
    } cases[] = {
        {"HKEY_CLASSES_ROOT", RegistryHive::kClassesRoot, RegistryHive::kClassesRoot},
        {"HKEY_CURRENT_USER", RegistryHive::kCurrentUser, RegistryHive::kCurrentUser},
        {"HKEY_LOCAL_MACHINE", RegistryHive::kLocalMachine, RegistryHive::kLocalMachine},
        {"HKEY_USERS", RegistryHive::kUsers, RegistryHive::kUsers},
        {"Installation Type Dependant", RegistryHive::kCurrentUser, RegistryHive::kLocalMachine},
    };
    for (const auto& c : cases) {
        CRegItem root(c.root, 0);
        CRegItem* key = Add(&root, "Software");
        EXPECT_EQ(PlaceOrFail(*key, false).hive, c.perUser) << c.root;
        EXPECT_EQ(PlaceOrFail(*key, true).hive, c.forAll) << c.root;
    }
}

TEST(RegistryPlace, UnknownRootNamesNoPlace) {
    for (const char* name : {"HKEY_CURRENT_CONFIG", "hkey_current_user", "Installation Type Dependent", ""}) {
        CRegItem root(name, 0);
        CRegItem* key = Add(&root, "Software");
        CRegItem* value = Add(key, "v", platform::kRegString);
        RegistryPlace place;
        EXPECT_FALSE(PlaceOf(*key, false, &place)) << name;
        EXPECT_FALSE(PlaceOf(*value, true, &place)) << name;
    }
}

TEST(RegistryPlace, KeyPathLeavesOutTheRoot) {
    CRegItem root("HKEY_LOCAL_MACHINE", 0);
    CRegItem* product = Add(Add(Add(&root, "Software"), "Maker"), "Product");
    const RegistryPlace key = PlaceOrFail(*product);
    EXPECT_EQ(key.parentKey, "Software\\Maker");
    EXPECT_EQ(key.name, "Product");
    EXPECT_FALSE(key.isValue);
    EXPECT_EQ(key.KeyPath(), "Software\\Maker\\Product");

    const RegistryPlace value = PlaceOrFail(*Add(product, "Path", platform::kRegString));
    EXPECT_TRUE(value.isValue);
    EXPECT_EQ(value.parentKey, "Software\\Maker\\Product");
    EXPECT_EQ(value.name, "Path");

    const RegistryPlace unnamed = PlaceOrFail(*Add(product, "", platform::kRegDword));
    EXPECT_EQ(unnamed.name, "");  // the key's default value
    EXPECT_EQ(unnamed.parentKey, "Software\\Maker\\Product");
}

TEST(RegistryPlace, TextForTheLog) {
    CRegItem machine("Installation Type Dependant", 0);
    CRegItem user("HKEY_CURRENT_USER", 0);
    CRegItem* product = Add(Add(&machine, "Software"), "Maker");
    const struct {
        const CRegItem* item;
        bool installForAll;
        const char* text;
    } cases[] = {
        {product, true, "HKEY_LOCAL_MACHINE\\Software\\Maker"},
        {product, false, "HKEY_CURRENT_USER\\Software\\Maker"},
        {Add(product, "Path", platform::kRegString), true, "HKEY_LOCAL_MACHINE\\Software\\Maker\\Path"},
        {Add(product, "", platform::kRegString), true, "HKEY_LOCAL_MACHINE\\Software\\Maker\\(Default)"},
        {Add(&user, "TopValue", platform::kRegDword), false, "HKEY_CURRENT_USER\\TopValue"},
        {Add(&user, "Software"), false, "HKEY_CURRENT_USER\\Software"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceOrFail(*c.item, c.installForAll).Text(), c.text);
    }
}

TEST(RegistryPlace, EntriesRightBelowTheRoot) {
    CRegItem root("HKEY_CURRENT_USER", 0);
    const RegistryPlace key = PlaceOrFail(*Add(&root, "Software"));
    EXPECT_EQ(key.parentKey, "");
    EXPECT_EQ(key.KeyPath(), "Software");
    const RegistryPlace value = PlaceOrFail(*Add(&root, "TopValue", platform::kRegString));
    EXPECT_EQ(value.parentKey, "");  // the hive itself holds it
    EXPECT_EQ(value.name, "TopValue");
}

TEST(RegistryPlace, MalformedTreesNoPlace) {
    CRegItem root("HKEY_CURRENT_USER", 0);
    RegistryPlace place;
    EXPECT_FALSE(PlaceOf(root, false, &place));  // a root names the hive, not an entry

    CRegItem* unnamed = Add(&root, "");
    EXPECT_FALSE(PlaceOf(*unnamed, false, &place));  // would address the hive, or the key above
    EXPECT_FALSE(PlaceOf(*Add(unnamed, "Below"), false, &place));
    EXPECT_FALSE(PlaceOf(*Add(unnamed, "v", platform::kRegString), false, &place));

    CRegItem* software = Add(&root, "Software");
    for (const char* bad : {"\\Lead", "Trail\\", "Dou\\\\ble"}) {
        CRegItem* key = Add(software, bad);
        EXPECT_FALSE(PlaceOf(*key, false, &place)) << bad;
        EXPECT_FALSE(PlaceOf(*Add(key, "v", platform::kRegString), false, &place)) << bad;
    }
    EXPECT_EQ(PlaceOrFail(*Add(software, "Two\\Parts")).KeyPath(), "Software\\Two\\Parts");

    CRegItem* value = Add(software, "v", platform::kRegString);
    EXPECT_FALSE(PlaceOf(*Add(value, "Child"), false, &place));  // nothing hangs below a value
}

TEST(RegistryEntries, CountIsEveryLevelWithTheRoots) {
    CItemArray<CRegItem> roots(10);
    CRegItem* user = roots.Add(std::make_unique<CRegItem>("HKEY_CURRENT_USER", 0));
    roots.Add(std::make_unique<CRegItem>("HKEY_USERS", 0));
    CRegItem* key = Add(Add(user, "Software"), "Product");
    Add(key, "a", platform::kRegString);
    Add(key, "b", platform::kRegDword);
    EXPECT_EQ(CountRegistryEntries(roots), 6u);
    EXPECT_EQ(CountRegistryEntries(CItemArray<CRegItem>(1)), 0u);
}

TEST(RegistryEntries, WrittenWhenSelectedAndNotInstalled) {
    CRegItem item("v", platform::kRegString);
    const struct {
        bool selected, installed, test, written;
    } cases[] = {
        {true, false, false, true},  {true, true, false, false}, {false, false, false, false},
        {false, true, false, false}, {true, false, true, false},
    };
    for (const auto& c : cases) {
        item.isSelected = c.selected;
        item.isInstalled = c.installed;
        EXPECT_EQ(ShouldWriteEntry(item, c.test), c.written) << c.selected << c.installed << c.test;
    }
}

TEST(RegistryEntries, StringValuesAreAlwaysTerminated) {
    CRegItem text("t", platform::kRegString);
    text.data = {'a', 'b', 0};
    EXPECT_EQ(ValueBytes(text), text.data);
    text.data = {'a', 'b'};
    EXPECT_EQ(ValueBytes(text), (std::vector<uint8_t>{'a', 'b', 0}));
    text.data.clear();
    EXPECT_EQ(ValueBytes(text), std::vector<uint8_t>{0});

    CRegItem expandable("e", 2);
    expandable.data = {'%', 'x', '%'};
    EXPECT_EQ(ValueBytes(expandable), (std::vector<uint8_t>{'%', 'x', '%', 0}));

    CRegItem binary("b", platform::kRegBinary);
    binary.data = {1, 2};
    EXPECT_EQ(ValueBytes(binary), binary.data);
    binary.data.clear();
    EXPECT_TRUE(ValueBytes(binary).empty());
    CRegItem number("d", platform::kRegDword);
    number.data = {0x1F, 0, 0, 0};
    EXPECT_EQ(ValueBytes(number), number.data);
}

class RegistryRemovalRule : public ::testing::Test {
protected:
    RegistryRemovalRule() { entry = Add(Add(&root, "Software"), "Product"); }

    RegistryRemoval For(bool selected, bool installed, int32_t mode, bool test = false) {
        entry->isSelected = selected;
        entry->isInstalled = installed;
        return RemovalOf(*entry, mode, test);
    }

    CRegItem root{"HKEY_CURRENT_USER", 0};
    CRegItem* entry;
};

TEST_F(RegistryRemovalRule, ChangeRemovesWhatIsNoLongerSelected) {
    EXPECT_EQ(For(false, true, SM_CHANGE), RegistryRemoval::kDelete);
    EXPECT_EQ(For(true, true, SM_CHANGE), RegistryRemoval::kSkip);
    EXPECT_EQ(For(true, false, SM_CHANGE), RegistryRemoval::kSkip);
    EXPECT_EQ(For(false, false, SM_CHANGE), RegistryRemoval::kSkip);
}

TEST_F(RegistryRemovalRule, RemoveDeletesWhateverTheMarks) {
    EXPECT_EQ(For(false, true, SM_REMOVE), RegistryRemoval::kDelete);
    EXPECT_EQ(For(false, false, SM_REMOVE), RegistryRemoval::kDelete);
    EXPECT_EQ(For(true, true, SM_REMOVE), RegistryRemoval::kDelete);
}

TEST_F(RegistryRemovalRule, RootsPermanentEntriesAndTestModeOnlyStep) {
    EXPECT_EQ(For(false, true, SM_CHANGE, true), RegistryRemoval::kStepOnly);
    EXPECT_EQ(For(true, false, SM_CHANGE, true),
              RegistryRemoval::kStepOnly);  // steps even where a real run skips
    EXPECT_EQ(For(false, true, SM_REMOVE, true), RegistryRemoval::kStepOnly);
    entry->permanent = true;
    EXPECT_EQ(For(false, true, SM_CHANGE), RegistryRemoval::kStepOnly);
    EXPECT_EQ(For(false, true, SM_REMOVE), RegistryRemoval::kStepOnly);
    EXPECT_EQ(For(true, false, SM_CHANGE), RegistryRemoval::kStepOnly);
    root.isInstalled = true;
    EXPECT_EQ(RemovalOf(root, SM_REMOVE, false), RegistryRemoval::kStepOnly);
    EXPECT_EQ(RemovalOf(root, SM_CHANGE, false), RegistryRemoval::kStepOnly);
}

TEST_F(RegistryRemovalRule, KeysHoldingAPermanentEntryStay) {
    CRegItem* keep = Add(Add(entry, "Deeper"), "Keep", platform::kRegString);
    CRegItem* other = Add(entry, "Other", platform::kRegString);
    keep->permanent = true;
    EXPECT_EQ(For(false, true, SM_REMOVE), RegistryRemoval::kStepOnly);
    EXPECT_EQ(RemovalOf(*entry->parent, SM_REMOVE, false), RegistryRemoval::kStepOnly);
    EXPECT_EQ(RemovalOf(*keep->parent, SM_REMOVE, false), RegistryRemoval::kStepOnly);
    EXPECT_EQ(RemovalOf(*other, SM_REMOVE, false), RegistryRemoval::kDelete);  // a sibling still goes
    EXPECT_EQ(For(true, true, SM_CHANGE), RegistryRemoval::kSkip);  // kept anyway: no step
    EXPECT_EQ(For(false, true, SM_CHANGE), RegistryRemoval::kStepOnly);
    keep->permanent = false;
    EXPECT_EQ(For(false, true, SM_REMOVE), RegistryRemoval::kDelete);
}

TEST(RegistryKeyPath, SplitAtTheLastBackslash) {
    std::string parent, last;
    ASSERT_TRUE(SplitKeyPath("Software\\Maker\\Product", &parent, &last));
    EXPECT_EQ(parent, "Software\\Maker");
    EXPECT_EQ(last, "Product");
    ASSERT_TRUE(SplitKeyPath(".abc", &parent, &last));
    EXPECT_EQ(parent, "");
    EXPECT_EQ(last, ".abc");
}

TEST(RegistryKeyPath, PathsThatNameNoKeyBelowTheHive) {
    std::string parent = "kept", last = "kept";
    for (const char* bad : {"", "\\", "\\Software", "Software\\", "Software\\\\Maker", "\\\\"}) {
        EXPECT_FALSE(IsKeyPath(bad)) << bad;
        EXPECT_FALSE(SplitKeyPath(bad, &parent, &last)) << bad;
    }
    EXPECT_EQ(parent, "kept");
    EXPECT_EQ(last, "kept");
    EXPECT_TRUE(IsKeyPath("App.Doc\\shell\\open\\command"));
    EXPECT_TRUE(IsKeyPath(" "));
}

}  // namespace
