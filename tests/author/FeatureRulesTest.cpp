#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "author/FeatureRules.h"
#include "model/Feature.h"

using editor_rules::DropEffect;
using namespace feature_rules;

namespace {

// Root > {Main > {Tools > Extras, Docs}, Client > {}}.
struct Features {
    CFeature root{"Features", ""};
    CFeature* main;
    CFeature* tools;
    CFeature* extras;
    CFeature* docs;
    CFeature* client;
    Features() {
        main = root.AddChild(std::make_unique<CFeature>("Main", ""));
        tools = main->AddChild(std::make_unique<CFeature>("Tools", ""));
        extras = tools->AddChild(std::make_unique<CFeature>("Extras", ""));
        docs = main->AddChild(std::make_unique<CFeature>("Docs", ""));
        client = root.AddChild(std::make_unique<CFeature>("Client", ""));
    }
};

const std::string kAddClash =
    "Cannot add \"tools\". A feature with the name you specified already exists. Specify a different name.";
const std::string kRenameClash =
    "Cannot rename the feature. A feature with the name you specified already exists. Specify a different "
    "name.";

TEST(FeatureRulesTest, NamesAreUniqueAmongTheSubFeaturesOfOneParentOnly) {
    Features f;
    struct Case {
        const char* name;
        CFeature* parent;
        const char* typed;
        CFeature* renaming;
        std::string refusal;
    } cases[] = {
        {"a namesake in another case beside it", f.main, "tools", nullptr, kAddClash},
        {"the same name under another parent", f.client, "Tools", nullptr, ""},
        {"a name only a grandchild has", f.main, "Extras", nullptr, ""},
        {"renaming onto a sibling's name", f.main, "TOOLS", f.docs, kRenameClash},
        {"renaming a feature to itself in another case", f.main, "TOOLS", f.tools, ""},
        {"a new name", f.main, "Help", nullptr, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameRefusal(*c.parent, c.typed, c.renaming), c.refusal) << c.name;
    }
}

TEST(FeatureRulesTest, DropsOfOneFeatureOntoAnother) {
    Features f;
    f.client->AddChild(std::make_unique<CFeature>("docs", ""));
    struct Case {
        const char* name;
        CFeature* dragged;
        CFeature* target;
        DropEffect effect;
        bool allowed;
        std::string message;
    } cases[] = {
        {"the root", &f.root, f.client, DropEffect::kMove, false, ""},
        {"onto itself", f.tools, f.tools, DropEffect::kMove, false, ""},
        {"onto its own sub-feature", f.main, f.extras, DropEffect::kCopy, false, ""},
        {"a copy onto a namesake's parent", f.docs, f.client, DropEffect::kCopy, false,
         "Cannot copy the feature \"Docs\" to the target feature because a feature with that name already "
         "exists."},
        {"a move onto a namesake's parent", f.docs, f.client, DropEffect::kMove, false,
         "Cannot move the feature \"Docs\" to the target feature because a feature with that name already "
         "exists."},
        {"a move to another parent", f.tools, f.client, DropEffect::kMove, true, ""},
        {"a copy under its sibling", f.docs, f.tools, DropEffect::kCopy, true, ""},
        {"a sub-feature up to the top", f.extras, &f.root, DropEffect::kMove, true, ""},
    };
    for (const Case& c : cases) {
        const DropDecision decision = DecideDrop(*c.dragged, *c.target, c.effect);
        EXPECT_EQ(decision.allowed, c.allowed) << c.name;
        EXPECT_EQ(decision.message, c.message) << c.name;
    }
    EXPECT_FALSE(CanDrag(f.root));
    EXPECT_TRUE(CanDrag(*f.extras));
}

TEST(FeatureRulesTest, AMovedFeatureKeepsItsSubtreeAndACopyOwnsItsOwn) {
    Features f;
    f.tools->required = true;
    std::unique_ptr<CFeature> taken = f.main->TakeChild(f.tools);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(f.docs->position, 0);
    CFeature* moved = f.client->AddChild(std::move(taken));
    EXPECT_EQ(moved->parent, f.client);
    EXPECT_TRUE(f.extras->IsBelow(f.client));
    EXPECT_FALSE(f.extras->IsBelow(f.main));

    CFeature* copy = f.main->AddChild(moved->Copy());
    ASSERT_EQ(copy->children.size(), 1u);
    EXPECT_NE(copy->children[0], f.extras);
    EXPECT_EQ(copy->children[0]->parent, copy);
    EXPECT_TRUE(copy->required);
    EXPECT_EQ(copy->name, "Tools");
}

TEST(FeatureRulesTest, CommandTextsAndStatesFollowTheModeAndTheSelection) {
    struct Text {
        Command command;
        SourceMode mode;
        const char* menu;
        const char* tooltip;
    } texts[] = {
        {Command::kAddWithItems, SourceMode::kFileSystem,
         "Add this folder with all files to selected feature", "Add with all Files"},
        {Command::kAddWithSubtree, SourceMode::kFileSystem,
         "Add this folder with all files and subfolders to selected feature",
         "Add with all Files and Subfolders"},
        {Command::kAddSelected, SourceMode::kFileSystem, "Add to selected feature", "Add selected File"},
        {Command::kAddWithItems, SourceMode::kRegistry, "Add this key with all values to selected feature",
         "Add with all Reg Values"},
        {Command::kAddWithSubtree, SourceMode::kRegistry,
         "Add this key with all values and subkeys to selected feature",
         "Add with all Reg Values and Subkeys"},
        {Command::kAddSelected, SourceMode::kRegistry, "Add to selected feature", "Add selected Reg Value"},
    };
    for (const Text& t : texts) {
        EXPECT_STREQ(MenuText(t.command, t.mode), t.menu);
        EXPECT_STREQ(Tooltip(t.command, t.mode), t.tooltip);
    }

    struct State {
        Command command;
        Selection selection;
        bool enabled;
    } states[] = {
        {Command::kAddWithItems, {false, true, true, false}, false},
        {Command::kAddWithItems, {true, false, true, false}, false},
        {Command::kAddWithSubtree, {true, true, false, false}, true},
        {Command::kAddSelected, {true, true, false, false}, false},
        {Command::kAddSelected, {true, false, true, false}, true},
        {Command::kRemove, {true, true, true, false}, false},
        {Command::kRemove, {true, false, false, true}, true},
        {Command::kAddFeature, {false, true, true, true}, false},
        {Command::kProperties, {true, false, false, false}, true},
        {Command::kAddRegValue, {false, false, false, false}, false},
        {Command::kShowRegistry, {false, false, false, false}, true},
    };
    for (const State& s : states) {
        EXPECT_EQ(IsEnabled(s.command, s.selection), s.enabled) << static_cast<int>(s.command);
    }
}

}  // namespace
