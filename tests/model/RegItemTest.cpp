#include "model/RegItem.h"

#include <gtest/gtest.h>

#include <map>

#include "model/Project.h"
#include "model/ProjectFile.h"
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

// HKEY_LOCAL_MACHINE\Software with the keys A (values Path and Count, subkey Sub with the value X) and B
// (the value Y), and the feature "Main" referring to A with everything below it and to X and Y alone.
struct MoveCopyTree {
    CProject project;
    CRegItem* software;
    CRegItem* a;
    CRegItem* path;
    CRegItem* sub;
    CRegItem* x;
    CRegItem* b;
    CRegItem* y;
    CFeature* main;

    MoveCopyTree() {
        project.Reset();
        software = project.rootRegs[2]->AddChild(std::make_unique<CRegItem>("Software", 0));
        a = software->AddChild(std::make_unique<CRegItem>("A", 0));
        path = a->AddChild(std::make_unique<CRegItem>("Path", platform::kRegString));
        path->value = "C:\\A";
        path->permanent = true;
        a->AddChild(std::make_unique<CRegItem>("Count", platform::kRegDword))->value = "-1";
        sub = a->AddChild(std::make_unique<CRegItem>("Sub", 0));
        x = sub->AddChild(std::make_unique<CRegItem>("X", platform::kRegBinary));
        x->value = "0a ff";
        b = software->AddChild(std::make_unique<CRegItem>("B", 0));
        y = b->AddChild(std::make_unique<CRegItem>("Y", platform::kRegString));
        main = project.rootFeature.children[0];
        main->regKeys.Add(a);
        main->regValues.Add(x);
        main->regValues.Add(y);
    }
};

// Every item below an item, as "path=type:value:permanent" lines, parents checked on the way.
std::string Describe(const CRegItem& item) {
    std::string text = item.FullPath() + "=" + std::to_string(item.type) + ":" + item.value + ":" +
                       (item.permanent ? "p" : "") + "\n";
    for (size_t i = 0; i < item.children.size(); ++i) {
        const CRegItem* child = item.children[i];
        EXPECT_EQ(child->parent, &item) << child->FullPath();
        EXPECT_EQ(child->position, static_cast<int>(i)) << child->FullPath();
        text += Describe(*child);
    }
    return text;
}

TEST(RegMoveCopyTest, AMovedKeyKeepsItsSubtreeAndEveryReferenceAcrossASave) {
    TempFolder folder;
    MoveCopyTree t;
    ASSERT_TRUE(t.a->MoveTo(t.b));
    EXPECT_EQ(t.a->parent, t.b);
    EXPECT_EQ(t.b->position, 0) << "the siblings behind the moved key move up";
    EXPECT_EQ(t.a->position, 1) << "appended behind B's value";
    EXPECT_EQ(t.software->children.size(), 1u);
    EXPECT_EQ(Describe(*t.b),
              "HKEY_LOCAL_MACHINE\\Software\\B=0::\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\Y=1::\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\A=0::\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\A\\Path=1:C:\\A:p\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\A\\Count=4:-1:\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\A\\Sub=0::\n"
              "HKEY_LOCAL_MACHINE\\Software\\B\\A\\Sub\\X=3:0a ff:\n");
    // A value moved on its own, out of the moved key.
    ASSERT_TRUE(t.x->MoveTo(t.software));
    EXPECT_TRUE(t.sub->children.empty());

    // The feature's references follow the items through a save and a load.
    SaveProjectFile(t.project, folder / "moved.tsp");
    CProject loaded;
    loaded.Reset();
    ASSERT_TRUE(LoadProjectFile(loaded, folder / "moved.tsp"));
    const CFeature& main = *loaded.rootFeature.children[0];
    ASSERT_EQ(main.regKeys.size(), 1u);
    EXPECT_EQ(main.regKeys[0]->FullPath(), "HKEY_LOCAL_MACHINE\\Software\\B\\A");
    ASSERT_EQ(main.regValues.size(), 2u);
    EXPECT_EQ(main.regValues[0]->FullPath(), "HKEY_LOCAL_MACHINE\\Software\\X");
    EXPECT_EQ(main.regValues[1]->FullPath(), "HKEY_LOCAL_MACHINE\\Software\\B\\Y");
    EXPECT_EQ(Describe(*loaded.rootRegs[2]), Describe(*t.project.rootRegs[2]));
}

TEST(RegMoveCopyTest, ACopiedKeyIsNewItemsWithTheSameContents) {
    MoveCopyTree t;
    const std::string before = Describe(*t.a);
    CRegItem* copy = t.a->CopyTo(t.project.rootRegs[1]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->parent, t.project.rootRegs[1]);
    std::string expected = before;
    for (size_t at; (at = expected.find("HKEY_LOCAL_MACHINE\\Software")) != std::string::npos;) {
        expected.replace(at, 27, "HKEY_CURRENT_USER");
    }
    EXPECT_EQ(Describe(*copy), expected);
    EXPECT_EQ(Describe(*t.a), before) << "the original is untouched";
    EXPECT_NE(copy->FindChild("Sub", true), t.sub);
    // The copies are new items: the feature refers to the originals only, and removing the copy leaves
    // the feature alone.
    EXPECT_FALSE(t.main->regValues.Contains(copy->FindChild("Sub", true)->FindChild("X", false)));
    copy->FindChild("Path", false)->value = "changed";
    EXPECT_EQ(t.path->value, "C:\\A");
    t.project.RemoveRegItem(copy);
    EXPECT_EQ(t.main->regKeys.size(), 1u);
    EXPECT_EQ(t.main->regValues.size(), 2u);

    // A key copied into its own subtree is copied once, as it was before.
    CRegItem* inside = t.a->CopyTo(t.sub);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->FindChild("Sub", true)->children.size(), 1u) << "only X, not the copy itself";
    // A value copied into the same key.
    EXPECT_EQ(t.y->CopyTo(t.b)->parent, t.b);
    EXPECT_EQ(t.b->children.size(), 2u);
}

TEST(RegMoveCopyTest, MovesThatCannotBeMadeChangeNothing) {
    MoveCopyTree t;
    const std::string before = Describe(*t.project.rootRegs[2]);
    const struct {
        const char* what;
        CRegItem* item;
        CRegItem* target;
    } kCases[] = {
        {"a root key", t.project.rootRegs[2], t.project.rootRegs[1]},
        {"onto itself", t.a, t.a},
        {"below itself", t.a, t.sub},
        {"onto a value", t.y, t.path},
        {"onto nothing", t.y, nullptr},
    };
    for (const auto& c : kCases) {
        EXPECT_FALSE(c.item->MoveTo(c.target)) << c.what;
        EXPECT_EQ(Describe(*t.project.rootRegs[2]), before) << c.what;
    }
    EXPECT_EQ(t.a->CopyTo(t.path), nullptr) << "a value holds no copies";
    EXPECT_EQ(t.a->CopyTo(nullptr), nullptr);

    CItemArray<CRegItem> other(4);
    EXPECT_EQ(other.Take(t.a), nullptr) << "an item of another list";
    EXPECT_EQ(t.a->position, 0);
}

}  // namespace
