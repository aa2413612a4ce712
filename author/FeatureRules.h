#pragma once

// The rules of the "Features" page that need no window: the names of features with their refusals, the
// refusals of a feature's drop onto another, the texts of the source menu and of the toolbar by the
// source view's mode, and the enabled states of the page's commands.
#include <string>

#include "author/EditorRules.h"

class CFeature;

namespace feature_rules {

// The name a new feature gets until the user types another.
extern const char* const kNewFeatureName;  // "New Feature"

// The refusal of a sub-feature name below the parent, or empty when the name is allowed. renaming is the
// feature whose name is changed (it does not clash with itself), nullptr for a new feature. Names are
// compared without regard to case, among the sub-features of that one parent only.
std::string NameRefusal(const CFeature& parent, const std::string& name, const CFeature* renaming);

// A drop of a feature onto another: refused without a message for the root feature, and onto the feature
// itself or one of its own descendants; refused with the message when the target has a sub-feature of
// that name or no room for another.
struct DropDecision {
    bool allowed;
    std::string message;  // shown when refused; empty when nothing need be said
};
DropDecision DecideDrop(const CFeature& dragged, const CFeature& target, editor_rules::DropEffect effect);
// Whether a feature may be dragged at all (only a feature with a parent may).
bool CanDrag(const CFeature& feature);

// What the source view shows, chosen in its menu.
enum class SourceMode { kFileSystem, kRegistry };

// The commands of the page's three menus and its toolbar.
enum class Command {
    kNone,
    kAddFeature,
    kDeleteFeature,
    kRename,
    kProperties,
    kShowFileSystem,
    kShowRegistry,
    kAddWithItems,    // the source tree's folder with its files, or key with its values
    kAddWithSubtree,  // ... with everything below it
    kAddSelected,     // the files or values selected in the source list
    kAddFolder,
    kAddRegKey,
    kAddFile,
    kAddRegValue,
    kRemove,
};

// The texts of the three add commands in a mode: the source menu's (index 0 to 2) and the toolbar's
// tooltips.
const char* MenuText(Command command, SourceMode mode);
const char* Tooltip(Command command, SourceMode mode);

// What is selected when a command is asked for.
struct Selection {
    bool feature = false;     // a feature in the feature tree
    bool sourceNode = false;  // a folder or key in the source tree
    bool sourceItem = false;  // a file or value in the source list
    bool resource = false;    // a folder, key, file or value of the feature's resources
};
bool IsEnabled(Command command, const Selection& selection);

}  // namespace feature_rules
