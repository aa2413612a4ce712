#include <gtest/gtest.h>

#include <memory>

#include "author/RegistryRules.h"
#include "model/RegItem.h"

using namespace registry_rules;
using editor_rules::DropEffect;

namespace {

const char* const kAddKeyClash =
    "Cannot add the key. A key with the name you specified already exists. Specify a different name.";
const char* const kRenameKeyClash =
    "Cannot rename the key. A key with the name you specified already exists. Specify a different name.";
const char* const kAddValueClash =
    "Cannot add the item. An item with the name you specified already exists. Specify a different name.";
const char* const kRenameValueClash =
    "Cannot rename the item. An item with the name you specified already exists. Specify a different name.";

// HKEY_LOCAL_MACHINE\Software with the keys Product and Other, the values Path (string), the default
// value, and Count (double word); Other holds a key Product and a value Path.
struct Tree {
    CRegItem root{"HKEY_LOCAL_MACHINE", 0};
    CRegItem* software = root.AddChild(std::make_unique<CRegItem>("Software", 0));
    CRegItem* product = software->AddChild(std::make_unique<CRegItem>("Product", 0));
    CRegItem* other = software->AddChild(std::make_unique<CRegItem>("Other", 0));
    CRegItem* path = software->AddChild(std::make_unique<CRegItem>("Path", 1));
    CRegItem* defaultValue = software->AddChild(std::make_unique<CRegItem>("", 1));
    CRegItem* count = software->AddChild(std::make_unique<CRegItem>("Count", 4));
    CRegItem* otherProduct = other->AddChild(std::make_unique<CRegItem>("product", 0));
    CRegItem* otherPath = other->AddChild(std::make_unique<CRegItem>("PATH", 3));
};

TEST(RegistryNamesTest, KeyNamesAreUniqueAmongSiblingsWithCaseIgnored) {
    Tree t;
    const struct {
        const char* name;
        bool rename;  // renaming Other, else adding a key
        const char* refusal;
    } kCases[] = {
        {"Product", false, kAddKeyClash},
        {"PRODUCT", false, kAddKeyClash},  // a sibling in other case
        {"Path", false, ""},               // a value of that name is no clash for a key
        {"Products", false, ""},
        {"New Key", false, ""},
        {"product", true, kRenameKeyClash},
        {"OTHER", true, ""},  // its own name in other case
        {"Count", true, ""},
        {"A\\B", false, "A key name cannot contain a backslash (\\). Specify a different name."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeyNameRefusal(*t.software, c.name, c.rename ? t.other : nullptr), c.refusal);
    }
}

TEST(RegistryNamesTest, ValueNamesWithTheDefaultValueInAnyCase) {
    Tree t;
    const struct {
        CRegItem* key;
        const char* typed;
        CRegItem* renaming;
        const char* refusal;
    } kCases[] = {
        {t.software, "path", nullptr, kAddValueClash},
        {t.software, "(DEFAULT)", nullptr, kAddValueClash},  // a second default value
        {t.software, "(default)", nullptr, kAddValueClash},
        {t.software, "Product", nullptr, ""},  // a key of that name is no clash for a value
        {t.software, "count", t.path, kRenameValueClash},
        {t.software, "(Default)", t.path, kRenameValueClash},
        {t.software, "(Default)", t.defaultValue, ""},  // the default value keeps its name
        {t.software, "COUNT", t.count, ""},
        {t.other, "(DEFAULT)", nullptr, ""},  // Other has no default value yet
        {t.other, "Path", nullptr, kAddValueClash},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(ValueNameRefusal(*c.key, c.typed, c.renaming), c.refusal);
    }
    EXPECT_EQ(StoredValueName("(DEFAULT)"), "");
    EXPECT_EQ(StoredValueName("(Default)"), "");
    EXPECT_EQ(StoredValueName("(default) "), "(default) ");
    EXPECT_EQ(StoredValueName("Default"), "Default");
    EXPECT_EQ(ShownValueName(""), "(Default)");
    EXPECT_EQ(ShownValueName("Path"), "Path");
}

TEST(RegistryNamesTest, LabelEditOfANewValueNamedDefaultInCapitals) {
    Tree t;
    // Other has no default value: "(DEFAULT)" is accepted and stored with the empty name.
    const editor_rules::NameRule other = [&](const std::string& name) {
        return ValueNameRefusal(*t.other, name, nullptr);
    };
    editor_rules::LabelDecision d =
        editor_rules::DecideLabelEdit(true, "(DEFAULT)", kNewValueName, kNewValueName, other);
    EXPECT_EQ(d.action, editor_rules::LabelAction::kAccept);
    EXPECT_EQ(StoredValueName(d.name), "");
    // Software has one: the edit starts again with the message.
    const editor_rules::NameRule software = [&](const std::string& name) {
        return ValueNameRefusal(*t.software, name, nullptr);
    };
    d = editor_rules::DecideLabelEdit(true, "(DEFAULT)", kNewValueName, kNewValueName, software);
    EXPECT_EQ(d.action, editor_rules::LabelAction::kRestart);
    EXPECT_EQ(d.message, kAddValueClash);
    // An empty name takes "New Value".
    d = editor_rules::DecideLabelEdit(true, "", kNewValueName, kNewValueName, software);
    EXPECT_EQ(d.action, editor_rules::LabelAction::kAccept);
    EXPECT_EQ(d.name, "New Value");
}

TEST(RegistryColumnsTest, TypeAndDataTexts) {
    const struct {
        uint32_t type;
        const char* stored;
        const char* typeText;
        const char* dataText;
    } kCases[] = {
        {1, "C:\\Program Files", "REG_SZ", "C:\\Program Files"},
        {3, "0a ff 10", "REG_BINARY", "0a ff 10"},
        {4, "31", "REG_DWORD", "0x0000001f (31)"},
        {4, "-1", "REG_DWORD", "0xffffffff (-1)"},
        {4, "4294967295", "REG_DWORD", "0xffffffff (-1)"},
        {4, "", "REG_DWORD", "0x00000000 (0)"},
        {4, "abc", "REG_DWORD", "0x00000000 (0)"},
        {4, "-2147483648", "REG_DWORD", "0x80000000 (-2147483648)"},
        {2, "%windir%", "REG_EXPAND_SZ", "%windir%"},
        {7, "", "REG_MULTI_SZ", ""},
        {11, "", "REG_QWORD", ""},
        {0x20, "", "0x20", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(TypeText(c.type), c.typeText);
        EXPECT_EQ(DataText(c.type, c.stored), c.dataText);
    }
}

TEST(RegistryDwordTest, BaseSwitchingAndStoring) {
    const struct {
        const char* stored;
        const char* hexField;  // shown on opening
    } kOpen[] = {{"31", "1f"}, {"-1", "ffffffff"}, {"0", "0"}, {"", "0"}, {"2147483647", "7fffffff"}};
    for (const auto& c : kOpen) {
        EXPECT_EQ(DwordFieldText(c.stored), c.hexField) << c.stored;
    }
    const struct {
        const char* field;
        const char* decimal;  // "Decimal" chosen: hexadecimal read, unsigned decimal shown
    } kToDecimal[] = {
        {"ffffffff", "4294967295"}, {"1F", "31"}, {"0", "0"}, {"xyz", "0"}, {"80000000", "2147483648"}};
    for (const auto& c : kToDecimal) {
        EXPECT_EQ(HexToDecimalField(c.field), c.decimal) << c.field;
    }
    const struct {
        const char* field;
        const char* hex;  // "Hexadecimal" chosen again: signed decimal read, "%x" shown
    } kToHex[] = {{"4294967295", "ffffffff"}, {"-1", "ffffffff"}, {"31", "1f"}, {"abc", "0"}};
    for (const auto& c : kToHex) {
        EXPECT_EQ(DecimalToHexField(c.field), c.hex) << c.field;
    }
    const struct {
        const char* field;
        bool hexadecimal;
        const char* stored;
        const char* shown;
    } kStore[] = {
        {"ffffffff", true, "-1", "0xffffffff (-1)"}, {"1F", true, "31", "0x0000001f (31)"},
        {"", true, "0", "0x00000000 (0)"},           {"4294967295", false, "4294967295", "0xffffffff (-1)"},
        {"-5", false, "-5", "0xfffffffb (-5)"},
    };
    for (const auto& c : kStore) {
        SCOPED_TRACE(c.field);
        const std::string stored = StoredDwordText(c.field, c.hexadecimal);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(DataText(4, stored), c.shown);
    }
    // A round trip through both bases keeps the number.
    EXPECT_EQ(DecimalToHexField(HexToDecimalField("deadbeef")), "deadbeef");
}

TEST(RegistryDwordTest, DialogTitlesByType) {
    EXPECT_STREQ(ValueDialogTitle(1), "Modify String");
    EXPECT_STREQ(ValueDialogTitle(3), "Modify Binary Value");
    EXPECT_STREQ(ValueDialogTitle(4), "Modify DWORD Value");
}

TEST(RegistryMenuTest, EnabledStatesFollowTheSelectionAndFocus) {
    Selection nothing;
    Selection rootKey;
    rootKey.key = rootKey.keyIsRoot = true;
    Selection subKey;
    subKey.key = true;
    Selection listNoValue = subKey;
    listNoValue.listFocused = true;
    Selection value = listNoValue;
    value.value = true;
    Selection paste;
    paste.clipboardHasKeyPath = true;
    const struct {
        Command command;
        bool nothing, root, sub, listEmpty, value, paste;
    } kCases[] = {
        {Command::kNewKey, false, true, true, true, true, false},
        {Command::kNewString, false, true, true, true, true, false},
        {Command::kNewBinary, false, true, true, true, true, false},
        {Command::kNewDword, false, true, true, true, true, false},
        {Command::kDelete, false, false, true, false, true, false},
        {Command::kRename, false, false, true, false, true, false},
        {Command::kModify, false, false, false, false, true, false},
        {Command::kPermanent, false, false, false, false, true, false},
        {Command::kPaste, false, false, false, false, false, true},
        {Command::kLaunchRegedit, true, true, true, true, true, true},
        {Command::kImportRegFile, true, true, true, true, true, true},
        {Command::kNone, false, false, false, false, false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.command));
        EXPECT_EQ(IsEnabled(c.command, nothing), c.nothing);
        EXPECT_EQ(IsEnabled(c.command, rootKey), c.root);
        EXPECT_EQ(IsEnabled(c.command, subKey), c.sub);
        EXPECT_EQ(IsEnabled(c.command, listNoValue), c.listEmpty);
        EXPECT_EQ(IsEnabled(c.command, value), c.value);
        EXPECT_EQ(IsEnabled(c.command, paste), c.paste);
    }
    EXPECT_EQ(CommandOfKey(kKeyInsert), Command::kNewKey);
    EXPECT_EQ(CommandOfKey(kKeyDelete), Command::kDelete);
    EXPECT_EQ(CommandOfKey(kKeyF2), Command::kRename);
    EXPECT_EQ(CommandOfKey(0x0D), Command::kNone);
}

TEST(RegistryDropTest, ClashesAndDropsOntoItself) {
    Tree t;
    const struct {
        CRegItem* dragged;
        CRegItem* target;
        DropEffect effect;
        bool allowed;
        const char* message;
    } kCases[] = {
        {t.product, t.other, DropEffect::kMove, false,
         "Cannot move the Key \"Product\" to the Target Key because a Key with that name already exists."},
        {t.product, t.other, DropEffect::kCopy, false,
         "Cannot copy the Key \"Product\" to the Target Key because a Key with that name already exists."},
        {t.path, t.other, DropEffect::kCopy, false,
         "Cannot copy the Item \"Path\" to the Target Key because an item with that name already exists."},
        {t.count, t.other, DropEffect::kMove, true, ""},
        {t.defaultValue, t.other, DropEffect::kMove, true, ""},
        {t.defaultValue, t.software, DropEffect::kCopy, false,
         "Cannot copy the Item \"(Default)\" to the Target Key because an item with that name already "
         "exists."},
        {t.other, t.product, DropEffect::kMove, true, ""},
        {t.other, t.other, DropEffect::kCopy, false, ""},            // onto itself
        {t.software, t.otherProduct, DropEffect::kMove, false, ""},  // below itself
        {t.count, t.software, DropEffect::kMove, false, ""},         // where it is
        {t.otherPath, t.software, DropEffect::kMove, false,
         "Cannot move the Item \"PATH\" to the Target Key because an item with that name already exists."},
        {t.count, t.path, DropEffect::kMove, false, ""},  // a value is no target
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.dragged->name + " onto " + c.target->name);
        const DropDecision d = DecideDrop(*c.dragged, *c.target, c.effect);
        EXPECT_EQ(d.allowed, c.allowed);
        EXPECT_EQ(d.message, c.message);
    }
}

TEST(RegistryPasteTest, OnlyKeyPathsOfTheFourHives) {
    const struct {
        const char* clipboard;
        const char* path;
    } kCases[] = {
        {"HKEY_CURRENT_USER\\Software\\Wine", "HKEY_CURRENT_USER\\Software\\Wine"},
        {"  HKEY_LOCAL_MACHINE\\Software\r\n", "HKEY_LOCAL_MACHINE\\Software"},
        {"HKEY_USERS", "HKEY_USERS"},
        {"HKEY_CLASSES_ROOT\\.txt", "HKEY_CLASSES_ROOT\\.txt"},
        {"HKEY_CURRENT_CONFIG\\Software", ""},
        {"HKLM\\Software", ""},
        {"Computer\\HKEY_CURRENT_USER\\Software", ""},
        {"hello world", ""},
        {"", ""},
        {"HKEY_CURRENT_USERS\\x", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(PastedKeyPath(c.clipboard), c.path) << c.clipboard;
    }
}

}  // namespace
