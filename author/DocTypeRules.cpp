#include "author/DocTypeRules.h"

#include "author/UserInterfaceRules.h"
#include "model/Project.h"
#include "model/Text.h"

namespace doctype_rules {

bool IsEnabled(Command command, Selection selection) {
    switch (command) {
        case Command::kAddDocType:
            return true;
        case Command::kDeleteDocType:
        case Command::kChangeDocType:
        case Command::kAddVerb:
            return selection.docType;
        case Command::kDeleteVerb:
        case Command::kChangeVerb:
            return selection.docType && selection.verb;
        case Command::kNone:
            break;
    }
    return false;
}

Command CommandOfKey(List list, unsigned virtualKey) {
    const bool types = list == List::kDocTypes;
    switch (virtualKey) {
        case kKeyInsert:
            return types ? Command::kAddDocType : Command::kAddVerb;
        case kKeyDelete:
            return types ? Command::kDeleteDocType : Command::kDeleteVerb;
        case kKeyF2:
            return types ? Command::kChangeDocType : Command::kChangeVerb;
        default:
            return Command::kNone;
    }
}

Command CommandOfDoubleClick(List list) {
    return list == List::kDocTypes ? Command::kChangeDocType : Command::kChangeVerb;
}

std::string AddRefusal(Command command, size_t count, size_t capacity) {
    if (count < capacity || (command != Command::kAddDocType && command != Command::kAddVerb)) {
        return std::string();
    }
    return command == Command::kAddDocType ? "A project has at most " + std::to_string(capacity) + " Document Types."
                                           : "A Document Type has at most " + std::to_string(capacity) + " verbs.";
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string StoredExtension(const std::string& typed) {
    const std::string extension = Trimmed(typed);
    const size_t first = extension.find_first_not_of('.');
    return first == std::string::npos ? std::string() : extension.substr(first);
}

bool IsKeyName(const std::string& name, size_t maxLength) {
    return name.size() <= maxLength && name.find('\\') == std::string::npos;
}

namespace {

bool PathFits(const CFileItem* file) {
    return file == nullptr || ui_rules::PathFits(file->sourcePath);
}

Problem Refuse(std::string message, Field field) {
    Problem problem;
    problem.message = std::move(message);
    problem.field = field;
    return problem;
}

}  // namespace

Problem CheckDocType(DocTypeFields* fields, const CProject& project, const CDocType* editing) {
    fields->name = Trimmed(fields->name);
    fields->extension = StoredExtension(fields->extension);
    if (fields->name.empty()) {
        return Refuse("Please enter a name for this Document Type.", Field::kName);
    }
    if (fields->extension.empty()) {
        return Refuse("Please enter an extension for this Document Type.", Field::kExtension);
    }
    if (!IsKeyName(fields->name)) {
        return Refuse(
            "The name of a Document Type cannot contain a backslash (\\) and has at most 255 characters.",
            Field::kName);
    }
    // The extension's key is the extension with a dot in front of it.
    if (!IsKeyName(fields->extension, 254)) {
        return Refuse("An extension cannot contain a backslash (\\) and has at most 254 characters.",
                      Field::kExtension);
    }
    for (const CDocType* other : project.docTypes) {
        if (other != editing && text::EqualNoCase(other->extension, fields->extension)) {
            return Refuse("The extension \"" + fields->extension + "\" belongs to the Document Type \"" +
                              other->name + "\" already.",
                          Field::kExtension);
        }
    }
    if (!PathFits(fields->iconFile)) {
        return Refuse(ui_rules::PathTooLongMessage(), Field::kIconFile);
    }
    return Problem();
}

Problem CheckVerb(VerbFields* fields, const CDocType& docType, const CVerb* editing) {
    fields->name = Trimmed(fields->name);
    if (fields->name.empty()) {
        return Refuse("Please enter a name for this verb.", Field::kName);
    }
    if (fields->target == nullptr) {
        return Refuse("Please enter a Target file for this verb.", Field::kTarget);
    }
    if (!IsKeyName(fields->name)) {
        return Refuse("The name of a verb cannot contain a backslash (\\) and has at most 255 characters.",
                      Field::kName);
    }
    for (const CVerb* other : docType.verbs) {
        if (other != editing && text::EqualNoCase(other->name, fields->name)) {
            return Refuse("This Document Type has a verb named \"" + other->name + "\" already.",
                          Field::kName);
        }
    }
    if (!PathFits(fields->target)) {
        return Refuse(ui_rules::PathTooLongMessage(), Field::kTarget);
    }
    return Problem();
}

}  // namespace doctype_rules
