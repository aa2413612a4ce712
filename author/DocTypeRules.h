#pragma once

// The rules of the "Doc Types" page and of its two dialogs that need no window: the commands of the two
// lists' menus and keys with their enabled states, the limits of the lists, and the checks of the document
// type and verb dialogs in the order in which they are made.
#include <cstddef>
#include <cstdint>
#include <string>

class CDocType;
class CFileItem;
class CProject;
struct CVerb;

namespace doctype_rules {

// The commands of the two lists. The document types' menu: "Add Document Type", "Delete", "Change",
// "Add Verb"; the verbs' menu: "Add Verb", "Delete", "Change".
enum class Command { kNone, kAddDocType, kDeleteDocType, kChangeDocType, kAddVerb, kDeleteVerb, kChangeVerb };
enum class List { kDocTypes, kVerbs };

// What is selected when a command is asked for.
struct Selection {
    bool docType;
    bool verb;
};
bool IsEnabled(Command command, Selection selection);

// The keys of the focused list: Insert adds, Delete deletes, F2 changes (Windows' virtual-key codes).
constexpr unsigned kKeyInsert = 0x2D;
constexpr unsigned kKeyDelete = 0x2E;
constexpr unsigned kKeyF2 = 0x71;
Command CommandOfKey(List list, unsigned virtualKey);
// A double click on a row changes that row's object.
Command CommandOfDoubleClick(List list);

// An add command refused because its list (of the project's document types, or of one document type's
// verbs) holds count entries of capacity: the message that says so, or an empty text when there is room.
std::string AddRefusal(Command command, size_t count, size_t capacity);

// A failed check: its message and the field that gets the focus for the correction.
enum class Field { kNone, kName, kExtension, kIconFile, kTarget };
struct Problem {
    std::string message;  // empty when the fields are accepted
    Field field = Field::kNone;
    explicit operator bool() const { return !message.empty(); }
};

// The fields of the document type dialog.
struct DocTypeFields {
    std::string name;
    std::string description;
    std::string extension;
    CFileItem* iconFile = nullptr;
    int32_t iconIndex = 0;
};

// An extension as it is stored: without surrounding blanks and without the leading dots that the label
// "(Don't include the dot)" asks the user to leave out (".txt" is taken as "txt").
std::string StoredExtension(const std::string& typed);
std::string Trimmed(const std::string& text);

// Checks the document type dialog's fields, in order: a name, an extension ("Please enter ..."), both
// usable as registry key names, an extension that no other document type of the project claims (editing:
// the one being changed, or nullptr for a new one), an icon file whose path the platform can read.
// Trims the name and stores the extension as StoredExtension gives it.
Problem CheckDocType(DocTypeFields* fields, const CProject& project, const CDocType* editing);

// The fields of the verb dialog.
struct VerbFields {
    std::string name;
    std::string description;
    std::string arguments;
    CFileItem* target = nullptr;
};

// Checks the verb dialog's fields, in order: a name, a target file, a name usable as a registry key name
// that no other verb of the document type has, a target whose path the platform can read. Trims the name.
Problem CheckVerb(VerbFields* fields, const CDocType& docType, const CVerb* editing);

// The registry keys the setup program makes from these names hold at most 255 characters in a name and
// no backslash (the extension's key has a dot in front of it).
bool IsKeyName(const std::string& name, size_t maxLength = 255);

}  // namespace doctype_rules
