#include <gtest/gtest.h>

#include "author/EditorRules.h"
#include "platform/NoCase.h"

namespace {

using editor_rules::DropEffect;
using editor_rules::LabelAction;

// A folder holding "Tools" and "bin": a name is refused when a sibling has it, case ignored.
std::string SiblingRule(const std::string& name) {
    for (const char* sibling : {"Tools", "bin"}) {
        if (nocase::Equal(name, sibling)) {
            return "Cannot add \"" + name + "\". A folder with the name you specified already exists.";
        }
    }
    return std::string();
}

TEST(EditorRules, LabelEditOutcomes) {
    const struct {
        bool isNew;
        const char* typed;  // nullptr: cancelled
        const char* oldName;
        LabelAction action;
        const char* name;
        bool refused;
    } cases[] = {
        {true, nullptr, "New Folder", LabelAction::kDeleteNew, "New Folder", false},
        {true, "", "New Folder", LabelAction::kAccept, "New Folder", false},
        {true, "New Folder", "New Folder", LabelAction::kAccept, "New Folder", false},
        {true, "Docs", "New Folder", LabelAction::kAccept, "Docs", false},
        {true, "TOOLS", "New Folder", LabelAction::kRestart, "TOOLS", true},
        {true, "Bin", "Bin", LabelAction::kRestart, "Bin", true},  // typed again after a refusal
        {false, nullptr, "Docs", LabelAction::kKeepOldName, "Docs", false},
        {false, "", "Docs", LabelAction::kKeepOldName, "Docs", false},
        {false, "Docs", "Docs", LabelAction::kKeepOldName, "Docs", false},
        {false, "DOCS", "Docs", LabelAction::kAccept, "DOCS", false},
        {false, "bin", "Docs", LabelAction::kRestart, "bin", true},
        {false, "Help", "Docs", LabelAction::kAccept, "Help", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.isNew ? "new " : "rename ") +
                     (c.typed != nullptr ? c.typed : "(cancelled)"));
        const auto decision =
            editor_rules::DecideLabelEdit(c.isNew, c.typed, c.oldName, "New Folder", SiblingRule);
        EXPECT_EQ(decision.action, c.action);
        EXPECT_EQ(decision.name, c.name);
        EXPECT_EQ(!decision.message.empty(), c.refused);
        if (c.refused) {
            EXPECT_EQ(decision.message, SiblingRule(c.name));
        }
    }
}

TEST(EditorRules, LabelEditWithoutRuleAcceptsEveryName) {
    const auto decision = editor_rules::DecideLabelEdit(true, "x", "New Key", "New Key", nullptr);
    EXPECT_EQ(decision.action, LabelAction::kAccept);
    EXPECT_EQ(decision.name, "x");
}

TEST(EditorRules, DropEffects) {
    const struct {
        bool ctrl;
        bool alt;
        size_t count;
        DropEffect effect;
    } cases[] = {
        {false, false, 1, DropEffect::kMove},
        {true, false, 1, DropEffect::kCopy},
        {false, true, 1, DropEffect::kShortcut},
        {true, true, 1, DropEffect::kShortcut},  // Ctrl+Alt: a shortcut
        {false, false, 2, DropEffect::kMove},
        {true, false, 3, DropEffect::kCopy},
        {false, true, 2, DropEffect::kMove},  // several items never make shortcuts
        {true, true, 2, DropEffect::kCopy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.ctrl) + std::to_string(c.alt) + std::to_string(c.count));
        EXPECT_EQ(editor_rules::EffectOf(c.ctrl, c.alt, c.count), c.effect);
    }
    EXPECT_STREQ(editor_rules::EffectVerb(DropEffect::kCopy), "copy");
    EXPECT_STREQ(editor_rules::EffectVerb(DropEffect::kMove), "move");
}

TEST(EditorRules, AnchoredControlsFollowTheGrownDialog) {
    using editor_rules::Anchored;
    using editor_rules::Box;
    using namespace editor_rules;
    const Box designed{80, 20, 200, 12};
    const struct {
        const char* what;
        unsigned anchors;
        int grownX, grownY;
        Box expected;
    } cases[] = {
        {"no anchor keeps its place", 0, 300, 200, {80, 20, 200, 12}},
        {"an edit field grows to the right", kGrowWidth, 300, 200, {80, 20, 500, 12}},
        {"a button beside it moves along", kFollowRight, 300, 200, {380, 20, 200, 12}},
        {"a list grows both ways", kGrowWidth | kGrowHeight, 300, 200, {80, 20, 500, 212}},
        {"a bottom button moves down", kFollowBottom, 300, 200, {80, 220, 200, 12}},
        {"a bottom-right button moves both ways",
         kFollowRight | kFollowBottom,
         300,
         200,
         {380, 220, 200, 12}},
        {"a smaller dialog is not squeezed", kGrowWidth | kGrowHeight, -50, -20, {80, 20, 200, 12}},
        {"growing only in width", kGrowWidth | kGrowHeight, 40, 0, {80, 20, 240, 12}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Anchored(designed, c.anchors, c.grownX, c.grownY), c.expected) << c.what;
    }
}

}  // namespace
