#include "author/DeleteRules.h"

#include <gtest/gtest.h>

#include <vector>

using delete_rules::Answer;
using delete_rules::Kind;

TEST(DeleteRules, QuestionNamesTheKindAndTheObject) {
    struct Case {
        Kind kind;
        bool dependents;
        const char* expected;
    };
    const Case cases[] = {
        {Kind::kFile, true,
         "Deleting the file \"app.exe\" will change the following objects. Are you sure you want to delete it?"},
        {Kind::kFile, false, "Are you sure you want to delete the file \"app.exe\"?"},
        {Kind::kFeature, false, "Are you sure you want to delete the feature \"app.exe\"?"},
        {Kind::kRegistryItem, false, "Are you sure you want to delete the registry item \"app.exe\"?"},
        {Kind::kFolder, true,
         "Deleting the folder \"app.exe\" will change the following objects. Are you sure you want to delete it?"},
        {Kind::kShortcut, false, "Are you sure you want to delete the shortcut \"app.exe\"?"},
        {Kind::kDocType, false, "Are you sure you want to delete the Document Type \"app.exe\"?"},
        {Kind::kVerb, false, "Are you sure you want to delete the Verb \"app.exe\"?"},
        {Kind::kCustomAction, false, "Are you sure you want to delete the custom action \"app.exe\"?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(delete_rules::Question(c.kind, "app.exe", c.dependents), c.expected);
    }
}

TEST(DeleteRules, QuestionKeepsPercentSignsOfTheName) {
    EXPECT_EQ(delete_rules::Question(Kind::kVerb, "100%s done", false),
              "Are you sure you want to delete the Verb \"100%s done\"?");
}

TEST(DeleteRules, AnswersOfOneCommandThatDeletesSeveralObjects) {
    struct Case {
        std::vector<Answer> given;  // the user's answer to each question asked, in order
        std::vector<bool> deleted;  // for five objects
        int questions;
    };
    const Case cases[] = {
        {{Answer::kYes, Answer::kNo, Answer::kYes, Answer::kNo, Answer::kYes}, {true, false, true, false, true}, 5},
        {{Answer::kNo, Answer::kYesToAll}, {false, true, true, true, true}, 2},
        {{Answer::kYes, Answer::kNoToAll}, {true, false, false, false, false}, 2},
        {{Answer::kYesToAll}, {true, true, true, true, true}, 1},
    };
    for (const Case& c : cases) {
        delete_rules::Run run;
        std::vector<bool> deleted;
        int asked = 0;
        for (int object = 0; object < 5; ++object) {
            deleted.push_back(run.MustAsk() ? run.Deletes(c.given[static_cast<size_t>(asked++)]) : run.Deletes());
        }
        EXPECT_EQ(deleted, c.deleted);
        EXPECT_EQ(asked, c.questions);
    }
}
