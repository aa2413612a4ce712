#include "author/DeleteRules.h"

#include <cstdio>
#include <vector>

namespace delete_rules {

const char* KindWord(Kind kind) {
    switch (kind) {
        case Kind::kFile: return "file";
        case Kind::kFeature: return "feature";
        case Kind::kRegistryItem: return "registry item";
        case Kind::kFolder: return "folder";
        case Kind::kShortcut: return "shortcut";
        case Kind::kDocType: return "Document Type";
        case Kind::kVerb: return "Verb";
        case Kind::kCustomAction: return "custom action";
    }
    return "object";
}

std::string Question(Kind kind, const std::string& name, bool hasDependents) {
    const char* pattern = hasDependents
                              ? "Deleting the %s \"%s\" will change the following objects. Are you sure you want to "
                                "delete it?"
                              : "Are you sure you want to delete the %s \"%s\"?";
    const char* word = KindWord(kind);
    std::vector<char> text(std::char_traits<char>::length(pattern) + std::char_traits<char>::length(word) +
                           name.size() + 1);
    std::snprintf(text.data(), text.size(), pattern, word, name.c_str());
    return text.data();
}

bool Run::Deletes(Answer given) {
    if (standing_ != Standing::kNone) {
        return Deletes();
    }
    switch (given) {
        case Answer::kYesToAll: standing_ = Standing::kAll; return true;
        case Answer::kNoToAll: standing_ = Standing::kNothing; return false;
        case Answer::kYes: return true;
        case Answer::kNo: return false;
    }
    return false;
}

}  // namespace delete_rules
