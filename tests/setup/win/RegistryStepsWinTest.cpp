// The registry steps of the install sequence on a real registry: values of every type written and read
// back, keys made, removal by marks and mode, Permanent entries, and the deletion of a whole key tree.
#include "setup/engine/RegistryRules.h"
#include "tests/setup/win/InstallStepsSupport.h"

namespace {

using namespace install_test;

std::vector<uint8_t> Text(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

CRegItem* Add(CRegItem* parent, const std::string& name, uint32_t type = 0, std::vector<uint8_t> data = {}) {
    CRegItem* item = parent->AddChild(std::make_unique<CRegItem>(name, type));
    item->data = std::move(data);
    return item;
}

// Marks an entry and everything below it.
void Mark(CRegItem* item, bool selected, bool installed) {
    item->isSelected = selected;
    item->isInstalled = installed;
    for (CRegItem* child : item->children) Mark(child, selected, installed);
}

void MarkAll(CProject& project, bool selected, bool installed) {
    for (CRegItem* root : project.rootRegs) Mark(root, selected, installed);
}

class RegistrySteps : public StepsTest {
protected:
    RegistrySteps() : leaf(Unique("TessaroTest")), base("Software\\" + leaf) {}
    ~RegistrySteps() override {
        Wipe(HKEY_CURRENT_USER, base);
        Wipe(HKEY_LOCAL_MACHINE, base);
    }

    // Software\TessaroTest<process> below a root of the project.
    CRegItem* BaseKey(const char* root) { return Add(Add(Root(root), "Software"), leaf); }

    int32_t EntryCount() const { return static_cast<int32_t>(CountRegistryEntries(engine.project.rootRegs)); }

    const std::string leaf;
    const std::string base;
};

TEST_F(RegistrySteps, WritesEveryValueTypeAndTheKeys) {
    engine.project.target = "C:\\Chosen";
    CRegItem* product = Add(BaseKey("HKEY_CURRENT_USER"), "Product");
    // A REG_SZ text arrives expanded; a REG_EXPAND_SZ text is written as stored.
    Add(product, "Path", REG_SZ, Text(engine.ExpandVariables("<target folder>\\app.exe")));
    Add(product, "", REG_SZ, Text("default text"));
    Add(product, "Expand", REG_EXPAND_SZ, Text("%SystemRoot%\\<target folder>"));
    Add(product, "Bytes", REG_BINARY, {0x00, 0x01, 0xFE, 0xFF});
    Add(product, "Number", REG_DWORD, {0x1F, 0x00, 0x00, 0x00});
    Add(product, "NoBytes", REG_BINARY);
    Add(product, "Unterminated", REG_SZ, {'a', 'b', 'c'});
    Add(product, "Empty");
    Add(Add(product, "Sub"), "SubSub");
    MarkAll(engine.project, true, false);
    Add(product, "NotSelected", REG_SZ, Text("no"));
    Mark(Add(product, "AlreadyThere", REG_SZ, Text("no")), true, true);
    Mark(Add(product, "Gone"), false, true);

    Run(WriteRegistryEntries);

    EXPECT_EQ(sink.actions, std::vector<std::string>{"Updating Registry..."});
    EXPECT_EQ(sink.range, EntryCount());
    EXPECT_EQ(sink.position, EntryCount());  // every entry steps, written or not
    const std::string key = base + "\\Product";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, "Path"), "C:\\Chosen\\app.exe");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, ""), "default text");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, "Unterminated"), "abc");
    DWORD type = 0;
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, key, "Expand", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(data, Text("%SystemRoot%\\<target folder>"));
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, key, "Bytes", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, (std::vector<uint8_t>{0x00, 0x01, 0xFE, 0xFF}));
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, key, "Number", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (std::vector<uint8_t>{0x1F, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, key, "NoBytes", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(data.empty());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key + "\\Empty"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key + "\\Sub\\SubSub"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, key, "NotSelected"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, key, "AlreadyThere"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key + "\\Gone"));
}

TEST_F(RegistrySteps, InstallationTypeDependantFollowsTheInstallForAllFlag) {
    Add(BaseKey("Installation Type Dependant"), "Where", REG_SZ, Text("here"));
    for (const bool forAll : {false, true}) {
        SCOPED_TRACE(forAll ? "for all users" : "per user");
        const HKEY chosen = forAll ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        const HKEY other = forAll ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        engine.installForAll = forAll;
        engine.mode = SM_NEW;
        MarkAll(engine.project, true, false);
        Run(WriteRegistryEntries);
        EXPECT_EQ(ReadText(chosen, base, "Where"), "here");
        EXPECT_FALSE(ValueExists(other, base, "Where"));

        engine.mode = SM_REMOVE;  // removal makes the same choice
        MarkAll(engine.project, false, true);
        Run(RemoveRegistryEntries);
        EXPECT_EQ(sink.actions, std::vector<std::string>{"Removing Registry Keys..."});
        EXPECT_FALSE(KeyExists(chosen, base));
        EXPECT_EQ(sink.position, sink.range);
    }
}

TEST_F(RegistrySteps, UnknownRootTouchesNothingSilently) {
    Add(BaseKey("HKEY_SOMEWHERE"), "v", REG_SZ, Text("x"));
    MarkAll(engine.project, true, false);
    Run(WriteRegistryEntries);
    EXPECT_EQ(sink.position, EntryCount());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base));

    engine.mode = SM_REMOVE;
    MarkAll(engine.project, false, true);
    Run(RemoveRegistryEntries);
    EXPECT_EQ(sink.position,
              6);  // only the roots step: the entries below the unknown one have no key to open
}

TEST_F(RegistrySteps, ChangeRemovesWhatIsNoLongerSelected) {
    CRegItem* product = Add(BaseKey("HKEY_CURRENT_USER"), "Product");
    CRegItem* old = Add(product, "Old", REG_SZ, Text("old"));
    Add(product, "Kept", REG_SZ, Text("kept"));
    CRegItem* oldKey = Add(product, "OldKey");
    Add(oldKey, "Inside", REG_DWORD, {1, 0, 0, 0});
    CRegItem* permanent = Add(product, "Permanent", REG_SZ, Text("stays"));
    permanent->permanent = true;
    CRegItem* fresh = Add(product, "Fresh", REG_SZ, Text("fresh"));
    MarkAll(engine.project, true, false);
    Run(WriteRegistryEntries);
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\Product\\OldKey"));

    MarkAll(engine.project, true, true);
    Mark(old, false, true);
    Mark(oldKey, false, true);
    Mark(permanent, false, true);
    Mark(fresh, true, false);  // added in this change: not there before, nothing to remove
    engine.mode = SM_CHANGE;
    Run(RemoveRegistryEntries);

    const std::string key = base + "\\Product";
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, key, "Old"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key + "\\OldKey"));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, "Kept"), "kept");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, "Permanent"), "stays");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, key, "Fresh"), "fresh");
    EXPECT_EQ(sink.range, EntryCount());
    EXPECT_EQ(sink.position, 5 + 4);  // the roots; Old, OldKey and Inside deleted; Permanent kept
}

TEST_F(RegistrySteps, RemovalLeavesPermanentEntriesAndTheKeysHoldingThem) {
    CRegItem* mine = BaseKey("HKEY_CURRENT_USER");
    CRegItem* product = Add(mine, "Product");
    Add(product, "a", REG_SZ, Text("a"));
    Add(product, "", REG_SZ, Text("default"));
    Add(product, "Keep", REG_SZ, Text("kept value"))->permanent = true;
    CRegItem* keepKey = Add(mine, "KeepKey");
    keepKey->permanent = true;
    Add(keepKey, "inside", REG_SZ, Text("inside"));
    CRegItem* gone = Add(mine, "Gone");
    Add(Add(gone, "Deeper"), "d", REG_BINARY, {9});
    MarkAll(engine.project, true, false);
    Run(WriteRegistryEntries);

    engine.mode = SM_REMOVE;
    MarkAll(engine.project, false, true);
    Run(RemoveRegistryEntries);

    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, base + "\\Product", "Keep"), "kept value");
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, base + "\\Product", "a"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, base + "\\Product", ""));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\KeepKey"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, base + "\\KeepKey", "inside"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Gone"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
    EXPECT_EQ(sink.position, sink.range);  // every entry was either deleted or kept on purpose
}

TEST_F(RegistrySteps, KeysSharedWithOthersStay) {
    Add(Add(BaseKey("HKEY_CURRENT_USER"), "Product"), "v", REG_SZ, Text("v"));
    MarkAll(engine.project, true, false);
    Run(WriteRegistryEntries);
    SetText(HKEY_CURRENT_USER, base + "\\OtherProduct", "owner", "someone else");

    engine.mode = SM_REMOVE;
    MarkAll(engine.project, false, true);
    Run(RemoveRegistryEntries);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Product"));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, base + "\\OtherProduct", "owner"), "someone else");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
}

TEST_F(RegistrySteps, RunsWithoutASink) {
    Add(BaseKey("HKEY_CURRENT_USER"), "Silent", REG_SZ, Text("yes"));
    MarkAll(engine.project, true, false);
    InstallRun run{engine, nullptr, nullptr};
    WriteRegistryEntries(run);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, base, "Silent"), "yes");
    engine.mode = SM_REMOVE;
    MarkAll(engine.project, false, true);
    RemoveRegistryEntries(run);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base));
}

class RegistryTree : public ::testing::Test {
protected:
    RegistryTree() : base("Software\\" + Unique("TessaroTree")) {}
    ~RegistryTree() override { Wipe(HKEY_CURRENT_USER, base); }
    const std::string base;
};

TEST_F(RegistryTree, DeletesNestedKeysWithTheirValues) {
    const std::string tree = base + "\\Tree";
    SetText(HKEY_CURRENT_USER, tree, "", "top default");
    SetText(HKEY_CURRENT_USER, tree, "top", "1");
    SetText(HKEY_CURRENT_USER, tree + "\\A", "a", "2");
    SetText(HKEY_CURRENT_USER, tree + "\\A\\B", std::string(150, 'n'), "a name longer than 99 bytes");
    SetText(HKEY_CURRENT_USER, tree + "\\A\\B\\C", "", "deepest");
    SetText(HKEY_CURRENT_USER, tree + "\\A\\B2", "b2", "3");
    SetText(HKEY_CURRENT_USER, tree + "\\Z", "z", "4");
    SetText(HKEY_CURRENT_USER, base + "\\Sibling", "s", "stays");

    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, tree), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, tree));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, base + "\\Sibling", "s"), "stays");

    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, tree), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTree, KeyRightBelowTheHive) {
    const std::string top = Unique("TessaroTop");
    SetText(HKEY_CURRENT_USER, top + "\\Below", "v", "x");
    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, top), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, top));
    Wipe(HKEY_CURRENT_USER, top);
}

TEST_F(RegistryTree, PathsThatNameNoKeyDeleteNothing) {
    SetText(HKEY_CURRENT_USER, base + "\\Sibling", "s", "stays");
    for (const std::string& bad : {std::string(), std::string("\\"), base + "\\", "\\" + base}) {
        EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, bad), ERROR_INVALID_PARAMETER) << bad;
    }
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, base + "\\Sibling", "s"), "stays");
}

}  // namespace
