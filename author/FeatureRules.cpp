#include "author/FeatureRules.h"

#include <cstdio>

#include "model/Feature.h"
#include "platform/NoCase.h"

namespace feature_rules {

const char* const kNewFeatureName = "New Feature";

std::string NameRefusal(const CFeature& parent, const std::string& name, const CFeature* renaming) {
    for (const CFeature* child : parent.children) {
        if (child != renaming && nocase::Equal(child->name, name)) {
            if (renaming != nullptr) {
                return "Cannot rename the feature. A feature with the name you specified already exists. "
                       "Specify a different name.";
            }
            return "Cannot add \"" + name +
                   "\". A feature with the name you specified already exists. Specify a different name.";
        }
    }
    if (renaming == nullptr && parent.children.IsFull()) {
        return "Cannot add \"" + name + "\". The feature \"" + parent.name +
               "\" cannot hold more sub-features.";
    }
    return std::string();
}

bool CanDrag(const CFeature& feature) {
    return feature.parent != nullptr;
}

DropDecision DecideDrop(const CFeature& dragged, const CFeature& target, editor_rules::DropEffect effect) {
    if (!CanDrag(dragged) || &target == &dragged || target.IsBelow(&dragged)) {
        return {false, std::string()};
    }
    const char* verb = editor_rules::EffectVerb(effect);
    if (target.FindChild(dragged.name) != nullptr) {
        char text[512];
        std::snprintf(text, sizeof text,
                      "Cannot %s the feature \"%s\" to the target feature because a feature with that name "
                      "already exists.",
                      verb, dragged.name.c_str());
        return {false, text};
    }
    if (target.children.IsFull()) {
        return {false, std::string("Cannot ") + verb + " the feature \"" + dragged.name +
                           "\": the feature \"" + target.name + "\" cannot hold more sub-features."};
    }
    return {true, std::string()};
}

namespace {

struct ModeTexts {
    Command command;
    const char* menuFileSystem;
    const char* menuRegistry;
    const char* tipFileSystem;
    const char* tipRegistry;
};

const ModeTexts kModeTexts[] = {
    {Command::kAddWithItems, "Add this folder with all files to selected feature",
     "Add this key with all values to selected feature", "Add with all Files", "Add with all Reg Values"},
    {Command::kAddWithSubtree, "Add this folder with all files and subfolders to selected feature",
     "Add this key with all values and subkeys to selected feature", "Add with all Files and Subfolders",
     "Add with all Reg Values and Subkeys"},
    {Command::kAddSelected, "Add to selected feature", "Add to selected feature", "Add selected File",
     "Add selected Reg Value"},
};

const ModeTexts* TextsOf(Command command) {
    for (const ModeTexts& texts : kModeTexts) {
        if (texts.command == command) {
            return &texts;
        }
    }
    return nullptr;
}

}  // namespace

const char* MenuText(Command command, SourceMode mode) {
    const ModeTexts* texts = TextsOf(command);
    if (texts == nullptr) {
        return "";
    }
    return mode == SourceMode::kFileSystem ? texts->menuFileSystem : texts->menuRegistry;
}

const char* Tooltip(Command command, SourceMode mode) {
    const ModeTexts* texts = TextsOf(command);
    if (texts == nullptr) {
        return "";
    }
    return mode == SourceMode::kFileSystem ? texts->tipFileSystem : texts->tipRegistry;
}

bool IsEnabled(Command command, const Selection& selection) {
    switch (command) {
        case Command::kAddFeature:
        case Command::kDeleteFeature:
        case Command::kRename:
        case Command::kProperties:
        case Command::kAddFolder:
        case Command::kAddRegKey:
        case Command::kAddFile:
        case Command::kAddRegValue:
            return selection.feature;
        case Command::kAddWithItems:
        case Command::kAddWithSubtree:
            return selection.feature && selection.sourceNode;
        case Command::kAddSelected:
            return selection.feature && selection.sourceItem;
        case Command::kRemove:
            return selection.feature && selection.resource;
        case Command::kShowFileSystem:
        case Command::kShowRegistry:
            return true;
        case Command::kNone:
            break;
    }
    return false;
}

}  // namespace feature_rules
