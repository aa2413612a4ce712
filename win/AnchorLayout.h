#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "author/EditorRules.h"

namespace win {

// Makes a dialog's controls follow its size: each control named keeps its designed place and size, moved
// or stretched by its anchors (editor_rules::Anchor) as the dialog grows beyond its designed size.
class AnchorLayout {
public:
    struct Rule {
        int id;
        unsigned anchors;
    };

    // Takes the designed places of the controls and of the dialog; called once the dialog exists.
    void Capture(HWND dialog, std::initializer_list<Rule> rules);
    // Places the controls for a client area of width x height pixels.
    void Apply(int width, int height) const;

private:
    struct Placed {
        HWND control;
        unsigned anchors;
        editor_rules::Box designed;
    };
    std::vector<Placed> controls_;
    int designedWidth_ = 0;
    int designedHeight_ = 0;
};

}  // namespace win
