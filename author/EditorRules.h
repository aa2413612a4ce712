#pragma once

// The rules of the editors' kit that are plain decisions: how a label edit ends and what a drag does.
#include <cstddef>
#include <functional>
#include <string>

namespace editor_rules {

// How a label edit of a tree item or list row ends.
enum class LabelAction {
    kAccept,       // the name is taken: the caller applies it (a new object is made, or renamed)
    kDeleteNew,    // a new item's edit was cancelled: the item goes
    kKeepOldName,  // a rename was cancelled or changed nothing: the old name stays
    kRestart,      // the rule refused the name: show the message, edit again starting from the text typed
};

struct LabelDecision {
    LabelAction action;
    std::string name;     // the name accepted, or the text to edit again
    std::string message;  // the refusal, for kRestart
};

// Refusal message for a name, or empty when the name is allowed.
using NameRule = std::function<std::string(const std::string& name)>;

// typed is nullptr when the edit was cancelled. A new item that is given no text takes defaultName; a
// rename to an empty text, or to exactly the old name, keeps the old name without asking the rule (a
// change of case only is a rename).
LabelDecision DecideLabelEdit(bool isNew, const char* typed, const std::string& oldName,
                              const std::string& defaultName, const NameRule& rule);

// What a drop does.
enum class DropEffect { kMove, kCopy, kShortcut };

// Alt makes a shortcut, even with Ctrl, but only of a single item: a drag of several never makes
// shortcuts and ignores Alt. Ctrl copies; otherwise the items move.
DropEffect EffectOf(bool ctrl, bool alt, size_t count);

// "copy" or "move", as the refusal messages of a drop name the effect.
const char* EffectVerb(DropEffect effect);

// ---- following a window's size ----

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// How a control follows the size of the dialog it sits on. Without a flag it keeps its place and size.
enum Anchor : unsigned {
    kGrowWidth = 1,     // the right edge keeps its distance to the dialog's right edge
    kFollowRight = 2,   // the control moves with the right edge, keeping its width
    kGrowHeight = 4,    // the bottom edge keeps its distance to the dialog's bottom edge
    kFollowBottom = 8,  // the control moves with the bottom edge, keeping its height
};

// Where a control designed at `designed` goes when its dialog is grownX and grownY pixels larger than
// designed; a dialog smaller than designed keeps the designed layout (it is never squeezed).
Box Anchored(const Box& designed, unsigned anchors, int grownX, int grownY);

}  // namespace editor_rules
