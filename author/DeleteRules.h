#pragma once

// The delete confirmation's rules: the word for each kind of object, the question it asks, and the answers
// of a command that deletes several objects in one go.
#include <string>

namespace delete_rules {

enum class Kind { kFile, kFeature, kRegistryItem, kFolder, kShortcut, kDocType, kVerb, kCustomAction };
enum class Answer { kYes, kNo, kYesToAll, kNoToAll };

// "file", "feature", "registry item", "folder", "shortcut", "Document Type", "Verb", "custom action".
const char* KindWord(Kind kind);

// The question: it names what will change when objects refer to the one being deleted.
std::string Question(Kind kind, const std::string& name, bool hasDependents);

// The answers of one command that deletes several objects: after "Yes to all" or "No to all" every later
// object takes that answer without a question.
class Run {
public:
    // Whether the next object needs the question.
    bool MustAsk() const { return standing_ == Standing::kNone; }
    // The answer for an object: the standing one, or the one given by the user (which may make it stand).
    bool Deletes(Answer given);
    // The standing answer's effect, for an object that was not asked about.
    bool Deletes() const { return standing_ == Standing::kAll; }

private:
    enum class Standing { kNone, kAll, kNothing };
    Standing standing_ = Standing::kNone;
};

}  // namespace delete_rules
