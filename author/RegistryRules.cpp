#include "author/RegistryRules.h"

#include <cstdio>
#include <cstdlib>

#include "model/RegItem.h"
#include "platform/NoCase.h"

namespace registry_rules {

const char* const kNewKeyName = "New Key";
const char* const kNewValueName = "New Value";
const char* const kDefaultValueName = "(Default)";

namespace {

// The first child of that name and kind other than the one being renamed.
const CRegItem* Clash(const CRegItem& parent, const std::string& name, bool wantKey,
                      const CRegItem* renaming) {
    for (const CRegItem* child : parent.children) {
        if (child != renaming && child->IsKey() == wantKey && nocase::Equal(child->name, name)) {
            return child;
        }
    }
    return nullptr;
}

std::string Printed(const char* format, unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::string StoredValueName(const std::string& typed) {
    return nocase::Equal(typed, kDefaultValueName) ? std::string() : typed;
}

std::string ShownValueName(const std::string& stored) {
    return stored.empty() ? kDefaultValueName : stored;
}

std::string KeyNameRefusal(const CRegItem& parent, const std::string& name, const CRegItem* renaming) {
    if (name.find('\\') != std::string::npos) {
        return "A key name cannot contain a backslash (\\). Specify a different name.";
    }
    if (Clash(parent, name, true, renaming) != nullptr) {
        return renaming == nullptr
                   ? "Cannot add the key. A key with the name you specified already exists. Specify a "
                     "different name."
                   : "Cannot rename the key. A key with the name you specified already exists. Specify a "
                     "different name.";
    }
    return std::string();
}

std::string ValueNameRefusal(const CRegItem& key, const std::string& typed, const CRegItem* renaming) {
    if (Clash(key, StoredValueName(typed), false, renaming) != nullptr) {
        return renaming == nullptr
                   ? "Cannot add the item. An item with the name you specified already exists. Specify a "
                     "different name."
                   : "Cannot rename the item. An item with the name you specified already exists. Specify a "
                     "different name.";
    }
    return std::string();
}

std::string TypeText(uint32_t type) {
    switch (type) {
        case 0:
            return "REG_NONE";
        case 1:
            return "REG_SZ";
        case 2:
            return "REG_EXPAND_SZ";
        case 3:
            return "REG_BINARY";
        case 4:
            return "REG_DWORD";
        case 5:
            return "REG_DWORD_BIG_ENDIAN";
        case 6:
            return "REG_LINK";
        case 7:
            return "REG_MULTI_SZ";
        case 11:
            return "REG_QWORD";
        default:
            return Printed("0x%llx", type);
    }
}

uint32_t DwordOf(const std::string& storedText) {
    return static_cast<uint32_t>(std::strtoll(storedText.c_str(), nullptr, 10));
}

std::string DataText(uint32_t type, const std::string& storedText) {
    if (type != platform::kRegDword) {
        return storedText;
    }
    const uint32_t value = DwordOf(storedText);
    char text[32];
    std::snprintf(text, sizeof text, "0x%08x (%d)", value, static_cast<int>(static_cast<int32_t>(value)));
    return text;
}

namespace {

// A field read as hexadecimal, as the C library's strtoul reads it (no number is 0), low 32 bits.
uint32_t FromHex(const std::string& field) {
    return static_cast<uint32_t>(std::strtoull(field.c_str(), nullptr, 16));
}

}  // namespace

std::string DwordFieldText(const std::string& storedText) {
    return Printed("%llx", DwordOf(storedText));
}

std::string HexToDecimalField(const std::string& field) {
    return Printed("%llu", FromHex(field));
}

std::string DecimalToHexField(const std::string& field) {
    return Printed("%llx", DwordOf(field));
}

std::string StoredDwordText(const std::string& field, bool hexadecimal) {
    if (!hexadecimal) {
        return field;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(static_cast<int32_t>(FromHex(field))));
    return text;
}

const char* ValueDialogTitle(uint32_t type) {
    switch (type) {
        case 3:
            return "Modify Binary Value";
        case 4:
            return "Modify DWORD Value";
        default:
            return "Modify String";
    }
}

bool IsEnabled(Command command, const Selection& selection) {
    const bool valueInFocus = selection.listFocused && selection.key && selection.value;
    const bool keyInFocus = !selection.listFocused && selection.key;
    switch (command) {
        case Command::kNewKey:
        case Command::kNewString:
        case Command::kNewBinary:
        case Command::kNewDword:
            return selection.key;
        case Command::kDelete:
        case Command::kRename:
            return valueInFocus || (keyInFocus && !selection.keyIsRoot);
        case Command::kModify:
        case Command::kPermanent:
            return valueInFocus;
        case Command::kPaste:
            return selection.clipboardHasKeyPath;
        case Command::kLaunchRegedit:
        case Command::kImportRegFile:
            return true;
        case Command::kNone:
            break;
    }
    return false;
}

Command CommandOfKey(unsigned virtualKey) {
    switch (virtualKey) {
        case kKeyInsert:
            return Command::kNewKey;
        case kKeyDelete:
            return Command::kDelete;
        case kKeyF2:
            return Command::kRename;
        default:
            return Command::kNone;
    }
}

DropDecision DecideDrop(const CRegItem& dragged, const CRegItem& target, editor_rules::DropEffect effect) {
    const bool copy = effect == editor_rules::DropEffect::kCopy;
    if (!target.IsKey() || &dragged == &target || target.IsBelow(&dragged)) {
        return {false, std::string()};
    }
    if (dragged.parent == &target && !copy) {
        return {false, std::string()};  // moved to where it is: nothing to do
    }
    if (Clash(target, dragged.name, dragged.IsKey(), nullptr) != nullptr) {
        const std::string verb = editor_rules::EffectVerb(effect);
        const std::string message =
            dragged.IsKey() ? "Cannot " + verb + " the Key \"" + dragged.name +
                                  "\" to the Target Key because a Key with that name already exists."
                            : "Cannot " + verb + " the Item \"" + dragged.DisplayName() +
                                  "\" to the Target Key because an item with that name already exists.";
        return {false, message};
    }
    return {true, std::string()};
}

std::string PastedKeyPath(const std::string& clipboardText) {
    const std::string path = Trimmed(clipboardText);
    const std::string hive = path.substr(0, path.find('\\'));
    for (int i = 0; i < 4; ++i) {
        if (hive == kRootRegistryNames[i]) {
            return path;
        }
    }
    return std::string();
}

}  // namespace registry_rules
