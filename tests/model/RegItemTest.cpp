#include "model/RegItem.h"

#include <gtest/gtest.h>

#include <map>

#include "model/Project.h"
#include "tests/TestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace testing_support;
using platform::RegistryHive;

namespace {

std::vector<uint8_t> Data(uint32_t type, const std::string& text) { return CRegItem::DataFromText(type, text); }

TEST(RegDataTest, StringsDoubleWordsAndBinaryDataForTheSetupDatabase) {
    EXPECT_EQ(Data(1, "abc"), Bytes({0x61, 0x62, 0x63, 0x00}));
    EXPECT_EQ(Data(1, ""), Bytes({0x00}));
    EXPECT_EQ(Data(4, "31"), Bytes({0x1F, 0, 0, 0})) << "hexadecimal 1F is held as the text 31";
    EXPECT_EQ(Data(4, "-1"), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Data(4, "4294967295"), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Data(4, "not a number"), Bytes({0, 0, 0, 0}));
    EXPECT_EQ(Data(3, "0a ff 10"), Bytes({0x0A, 0xFF, 0x10}));
    EXPECT_EQ(Data(3, "  0A   b \t"), Bytes({0x0A, 0x0B}));
    EXPECT_EQ(Data(3, "zz 100 0x1 7"), Bytes({0, 0, 0, 7})) << "tokens that are not hexadecimal bytes are 0";
    EXPECT_TRUE(Data(3, "").empty());
    EXPECT_TRUE(Data(0, "anything").empty());
    EXPECT_TRUE(Data(2, "expandable").empty()) << "other types carry no data";
}

TEST(RegDataTest, ImportedDataBecomesTheTextThatConvertsBack) {
    std::string text = "kept";
    ASSERT_TRUE(CRegItem::TextFromData(3, Bytes({0x00, 0x1f, 0xAB}), &text));
    EXPECT_EQ(text, "00 1f ab");
    EXPECT_EQ(Data(3, text), Bytes({0x00, 0x1F, 0xAB}));
    ASSERT_TRUE(CRegItem::TextFromData(4, Bytes({0x1F, 0, 0, 0}), &text));
    EXPECT_EQ(text, "31");
    ASSERT_TRUE(CRegItem::TextFromData(4, Bytes({0xFE, 0xFF, 0xFF, 0xFF}), &text));
    EXPECT_EQ(text, "-2");
    EXPECT_EQ(Data(4, text), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(CRegItem::TextFromData(1, Bytes({'h', 'i', 0, 'x'}), &text));
    EXPECT_EQ(text, "hi");
    text = "kept";
    EXPECT_FALSE(CRegItem::TextFromData(7, Bytes({1, 2}), &text));
    EXPECT_EQ(text, "kept");
}

TEST(RegItemTest, NamesPathsAndRoots) {
    CProject project;
    project.Reset();
    CRegItem* software = project.rootRegs[4]->AddChild(std::make_unique<CRegItem>("Software", 0));
    CRegItem* product = software->AddChild(std::make_unique<CRegItem>("Product", 0));
    CRegItem* byDefault = product->AddChild(std::make_unique<CRegItem>("", platform::kRegString));
    CRegItem* sameName = product->AddChild(std::make_unique<CRegItem>("Product", platform::kRegDword));
    EXPECT_EQ(byDefault->DisplayName(), "(Default)");
    EXPECT_EQ(project.rootRegs[0]->DisplayName(), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(product->FullPath(), "Installation Type Dependant\\Software\\Product");
    EXPECT_EQ(software->FindChild("PRODUCT", true), product);
    EXPECT_EQ(software->FindChild("Product", false), nullptr);
    EXPECT_EQ(product->FindChild("product", false), sameName);

    std::string subkey;
    EXPECT_EQ(byDefault->RootAndSubkey(true, &subkey), RegistryHive::kLocalMachine);
    EXPECT_EQ(subkey, "Software\\Product\\");
    EXPECT_EQ(product->RootAndSubkey(false, &subkey), RegistryHive::kCurrentUser);
    EXPECT_EQ(subkey, "Software\\Product");
    EXPECT_EQ(project.rootRegs[0]->RootAndSubkey(false, &subkey), RegistryHive::kClassesRoot);
    EXPECT_EQ(subkey, "");
    EXPECT_EQ(project.rootRegs[3]->RootAndSubkey(true, &subkey), RegistryHive::kUsers);
    CRegItem stray("HKEY_SOMEWHERE", 0);
    EXPECT_EQ(stray.RootAndSubkey(true, &subkey), RegistryHive::kNone);
}

TEST(RegItemTest, DataSizedPastItsObjectLoadsAsNoData) {
    TempFolder folder;
    const std::string path = folder / "db.dat";
    {
        CTreeArchive ar(kMainClass, kBuildDatabase);
        ar.OpenForSave(path);
        ar.BeginObject("Item");
        std::string name = "v";
        uint32_t type = 3;
        uint32_t size = 0x7FFFFFFF;
        ar.ExchangeString("Name", &name, "");
        ar.ExchangeInt("Type", &type, 0u);
        ar.ExchangeInt("Size", &size, 0u);
        ar.EndObject();
        ar.CloseAfterSave();
    }
    CTreeArchive ar(kMainClass, kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(path));
    CRegItem item;
    item.data = {1, 2, 3};
    item.Serialize("Item", ar);
    EXPECT_EQ(item.name, "v");
    EXPECT_TRUE(item.data.empty());
}

// A registry held in memory: full key paths below each hive, each with values and subkeys in order.
class FakeRegistry : public platform::RegistryReader {
public:
    struct Key {
        std::vector<platform::RegistryValue> values;
        std::vector<std::string> subkeys;
        bool locked = false;
    };
    std::map<std::string, Key> keys;  // "HKCU\Software\A"

    std::unique_ptr<platform::RegistryKeyReader> OpenKey(RegistryHive hive, const std::string& subkey) override {
        const std::string prefix = hive == RegistryHive::kCurrentUser ? "HKCU" : "HKLM";
        auto found = keys.find(subkey.empty() ? prefix : prefix + "\\" + subkey);
        if (found == keys.end() || found->second.locked) {
            return nullptr;
        }
        return std::make_unique<Reader>(found->second);
    }

private:
    struct Reader : platform::RegistryKeyReader {
        explicit Reader(const Key& key) : key_(key) {}
        bool EnumValue(uint32_t index, platform::RegistryValue* value) override {
            if (index >= key_.values.size()) {
                return false;
            }
            *value = key_.values[index];
            return true;
        }
        bool EnumSubkey(uint32_t index, std::string* name) override {
            if (index >= key_.subkeys.size()) {
                return false;
            }
            *name = key_.subkeys[index];
            return true;
        }
        const Key& key_;
    };
};

TEST(RegImportTest, CopiesKeysAndValuesAndFindsThemAgainOnTheSecondImport) {
    FakeRegistry registry;
    registry.keys["HKCU\\Software\\A"] = {{{"", 1, Bytes({'d', 'e', 'f', 0})},
                                           {"Count", 4, Bytes({0x1F, 0, 0, 0})},
                                           {"Blob", 3, Bytes({0x00, 0xAB})},
                                           {"Expand", 2, Bytes({'%', 0})},
                                           {"Nothing", 0, {}}},
                                          {"Sub", "Locked"}};
    registry.keys["HKCU\\Software\\A\\Sub"] = {{{"Name", 1, Bytes({'x', 0})}}, {}};
    registry.keys["HKCU\\Software\\A\\Locked"] = {{}, {}, true};

    CProject project;
    project.Reset();
    CRegItem* a = CRegItem::ImportFromSystem(project.rootRegs, "HKEY_CURRENT_USER\\Software\\A", registry);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FullPath(), "HKEY_CURRENT_USER\\Software\\A");
    auto check = [&](const char* count) {
        ASSERT_EQ(project.rootRegs[1]->children.size(), 1u);
        ASSERT_EQ(a->children.size(), 6u) << "four values (REG_NONE has no place) and two keys";
        EXPECT_EQ(a->children[0]->DisplayName(), "(Default)");
        EXPECT_EQ(a->children[0]->value, "def");
        EXPECT_EQ(a->FindChild("count", false)->value, count);
        EXPECT_EQ(a->FindChild("Blob", false)->value, "00 ab");
        EXPECT_EQ(a->FindChild("Blob", false)->type, 3u);
        EXPECT_EQ(a->FindChild("Expand", false)->type, 2u);
        EXPECT_EQ(a->FindChild("Nothing", false), nullptr);
        ASSERT_NE(a->FindChild("Sub", true), nullptr);
        EXPECT_EQ(a->FindChild("Sub", true)->FindChild("Name", false)->value, "x");
        ASSERT_NE(a->FindChild("Locked", true), nullptr) << "a key that cannot be opened is there, empty";
        EXPECT_TRUE(a->FindChild("Locked", true)->children.empty());
    };
    check("31");
    registry.keys["HKCU\\Software\\A"].values[1].data = Bytes({0x20, 0, 0, 0});
    EXPECT_EQ(CRegItem::ImportFromSystem(project.rootRegs, "HKEY_CURRENT_USER\\Software\\A", registry), a);
    check("32");

    EXPECT_EQ(CRegItem::ImportFromSystem(project.rootRegs, "HKEY_NOWHERE\\Software", registry), nullptr);
    EXPECT_EQ(project.rootRegs[0]->children.size() + project.rootRegs[2]->children.size(), 0u);
    CRegItem* missing = CRegItem::ImportFromSystem(project.rootRegs, "HKEY_LOCAL_MACHINE\\No\\Such", registry);
    ASSERT_NE(missing, nullptr) << "the path's keys are made even when the system has none";
    EXPECT_EQ(missing->FullPath(), "HKEY_LOCAL_MACHINE\\No\\Such");
}

}  // namespace
