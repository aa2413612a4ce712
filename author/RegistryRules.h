#pragma once

// The rules of the "Registry" page and of its value dialog that need no window: the names of keys and
// values with their refusals, the texts of the value list's type and data columns, the double word's
// hexadecimal and decimal forms, the commands of the "Reg Menu" with their keys and enabled states, the
// refusals of a drop and the key path that "Paste" takes from the clipboard.
#include <cstdint>
#include <string>

#include "author/EditorRules.h"

class CRegItem;

namespace registry_rules {

// The name a new key or value gets until the user types another.
extern const char* const kNewKeyName;    // "New Key"
extern const char* const kNewValueName;  // "New Value"
// How the unnamed (default) value of a key is shown, and typed.
extern const char* const kDefaultValueName;  // "(Default)"

// A value's name as stored: "(default)" in any case is the key's default value, the empty name.
std::string StoredValueName(const std::string& typed);
// The name shown for a value's stored name: "(Default)" for the empty name.
std::string ShownValueName(const std::string& stored);

// The refusal of a key name below the parent, or empty when the name is allowed. renaming is the key
// whose name is changed (it does not clash with itself), nullptr for a new key. Names are compared
// without regard to case. A name with a backslash would be written as two nested keys by the setup
// program and is refused as well.
std::string KeyNameRefusal(const CRegItem& parent, const std::string& name, const CRegItem* renaming);
// The same for a value of the key; the name is as typed ("(default)" is the default value).
std::string ValueNameRefusal(const CRegItem& key, const std::string& typed, const CRegItem* renaming);

// The type column: "REG_SZ", "REG_BINARY", "REG_DWORD"; other types an import brought by their names.
std::string TypeText(uint32_t type);
// The data column: the text of a string or binary value; "0x%08x (%d)" of a double word.
std::string DataText(uint32_t type, const std::string& storedText);

// The double word held by a stored text (decimal, as the C library reads it; no number is 0), keeping the
// low 32 bits.
uint32_t DwordOf(const std::string& storedText);
// The value dialog's field for a double word, "Hexadecimal" checked: the stored number with "%x".
std::string DwordFieldText(const std::string& storedText);
// Switching "Base:" to "Decimal": the field read as hexadecimal, shown as an unsigned decimal number.
std::string HexToDecimalField(const std::string& field);
// Switching back to "Hexadecimal": the field read as a signed decimal number, shown with "%x".
std::string DecimalToHexField(const std::string& field);
// The text stored on OK: with "Hexadecimal" checked the field read as hexadecimal and written with "%d",
// else the field as typed.
std::string StoredDwordText(const std::string& field, bool hexadecimal);

// The value dialog's title by the value's type.
const char* ValueDialogTitle(uint32_t type);

// The commands of the "Reg Menu".
enum class Command {
    kNone,
    kNewKey,
    kNewString,
    kNewBinary,
    kNewDword,
    kDelete,
    kRename,
    kModify,
    kLaunchRegedit,
    kPaste,
    kPermanent,
    kImportRegFile,
};

// What the menu acts on: the control with the focus, the key selected in the tree (a root item or not)
// and the value selected in the list.
struct Selection {
    bool listFocused = false;
    bool key = false;
    bool keyIsRoot = false;
    bool value = false;
    bool clipboardHasKeyPath = false;
};
bool IsEnabled(Command command, const Selection& selection);

// The keys of the tree and the list: Insert makes a new key, Delete deletes, F2 renames (Windows'
// virtual-key codes).
constexpr unsigned kKeyInsert = 0x2D;
constexpr unsigned kKeyDelete = 0x2E;
constexpr unsigned kKeyF2 = 0x71;
Command CommandOfKey(unsigned virtualKey);

// The refusal of a drop of a key or value onto a target key, or empty when it may go there: a clash of
// names ("Cannot copy the Key ..."), or a key dropped onto itself or below itself (with no message: the
// drop does nothing), reported as refused with an empty message.
struct DropDecision {
    bool allowed;
    std::string message;  // the message to show when refused; empty when nothing need be said
};
DropDecision DecideDrop(const CRegItem& dragged, const CRegItem& target, editor_rules::DropEffect effect);

// The key path "Paste" imports from the clipboard text: the text without surrounding blanks and line
// ends, when its first component names one of the four hives; empty otherwise.
std::string PastedKeyPath(const std::string& clipboardText);

}  // namespace registry_rules
