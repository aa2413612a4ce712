#include "author/EditorRules.h"

namespace editor_rules {

LabelDecision DecideLabelEdit(bool isNew, const char* typed, const std::string& oldName,
                              const std::string& defaultName, const NameRule& rule) {
    if (typed == nullptr) {
        return {isNew ? LabelAction::kDeleteNew : LabelAction::kKeepOldName, oldName, std::string()};
    }
    std::string name = typed;
    if (name.empty()) {
        if (!isNew) {
            return {LabelAction::kKeepOldName, oldName, std::string()};
        }
        name = defaultName;
    }
    if (!isNew && name == oldName) {
        return {LabelAction::kKeepOldName, oldName, std::string()};
    }
    std::string refusal = rule ? rule(name) : std::string();
    if (!refusal.empty()) {
        return {LabelAction::kRestart, name, refusal};
    }
    return {LabelAction::kAccept, name, std::string()};
}

DropEffect EffectOf(bool ctrl, bool alt, size_t count) {
    if (alt && count == 1) {
        return DropEffect::kShortcut;
    }
    return ctrl ? DropEffect::kCopy : DropEffect::kMove;
}

const char* EffectVerb(DropEffect effect) {
    return effect == DropEffect::kCopy ? "copy" : "move";
}

Box Anchored(const Box& designed, unsigned anchors, int grownX, int grownY) {
    const int dx = grownX > 0 ? grownX : 0;
    const int dy = grownY > 0 ? grownY : 0;
    Box box = designed;
    if (anchors & kGrowWidth) {
        box.width += dx;
    } else if (anchors & kFollowRight) {
        box.x += dx;
    }
    if (anchors & kGrowHeight) {
        box.height += dy;
    } else if (anchors & kFollowBottom) {
        box.y += dy;
    }
    return box;
}

}  // namespace editor_rules
