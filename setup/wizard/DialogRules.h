#pragma once

// The rules behind the folder chooser and the question box, free of any window so that they are tested
// on their own; the dialogs only apply them.
#include <array>
#include <string>
#include <vector>

namespace dialog_rules {

// ---- question box ----

struct QuestionButton {
    bool visible = false;
    std::string text;
    int result = 0;  // what Ask returns when the button is pressed
};

struct QuestionLayout {
    std::array<QuestionButton, 4> buttons;  // left to right
    int defaultPosition = 0;                // 0..3, always a visible button
    int escapeResult = 0;                   // what Escape or closing answers; 0 when it is ignored
};

// Style bits 0 to 3 choose the buttons, bits 4 and 5 the default button's position.
QuestionLayout QuestionBoxLayout(unsigned style);

// ---- folder chooser ----

// "C:\Program Files\Acme" -> {"C:", "Program Files", "Acme"}; empty parts are dropped.
std::vector<std::string> SplitFolderPath(const std::string& path);
std::string JoinFolderPath(const std::vector<std::string>& parts);
// What OK hands back: the chosen path, or the one the chooser opened on when nothing is chosen (an empty
// path would empty the caller's field).
std::string ChosenOrKept(const std::string& chosen, const std::string& opened);

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

struct FolderChooserBoxes {
    Box path, tree, newFolder, ok, cancel;
};

constexpr int kChooserMinWidth = 300;
constexpr int kChooserMinHeight = 200;

// Where the controls go for a client area of width x height pixels; pathLeft and pathTop and treeTop keep
// the positions the dialog template gave.
FolderChooserBoxes FolderChooserLayout(int width, int height, int pathLeft, int pathTop, int pathHeight,
                                       int treeTop);

}  // namespace dialog_rules
