#include "setup/wizard/DialogRules.h"

#include <algorithm>

namespace dialog_rules {

namespace {

enum Result { kOk = 1, kCancel = 2, kYes = 6, kNo = 7, kYesToAll = 10, kNoToAll = 11 };

QuestionButton Button(const char* text, int result) { return QuestionButton{true, text, result}; }

}  // namespace

QuestionLayout QuestionBoxLayout(unsigned style) {
    QuestionLayout layout;
    auto& b = layout.buttons;
    switch (style & 0x0F) {
        case 1:
            b[2] = Button("Ok", kOk);
            b[3] = Button("Cancel", kCancel);
            layout.escapeResult = kCancel;
            break;
        case 2:
            b[2] = Button("Yes", kYes);
            b[3] = Button("No", kNo);
            break;
        case 3:
            b[0] = Button("Yes", kYes);
            b[1] = Button("No", kNo);
            b[2] = Button("Yes to all", kYesToAll);
            b[3] = Button("No to all", kNoToAll);
            break;
        default:  // 0, and any unknown type: a box that can always be dismissed
            b[3] = Button("Ok", kOk);
            layout.escapeResult = kOk;
            break;
    }
    int wanted = static_cast<int>((style >> 4) & 3);
    if (!b[static_cast<size_t>(wanted)].visible) {
        wanted = static_cast<int>(std::find_if(b.begin(), b.end(), [](const QuestionButton& q) { return q.visible; }) -
                                  b.begin());
    }
    layout.defaultPosition = wanted;
    return layout;
}

std::vector<std::string> SplitFolderPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('\\', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        if (slash > start) {
            parts.push_back(path.substr(start, slash - start));
        }
        start = slash + 1;
    }
    return parts;
}

std::string JoinFolderPath(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts) {
        if (!path.empty()) {
            path += '\\';
        }
        path += part;
    }
    return path;
}

std::string ChosenOrKept(const std::string& chosen, const std::string& opened) {
    return chosen.empty() ? opened : chosen;
}

FolderChooserBoxes FolderChooserLayout(int width, int height, int pathLeft, int pathTop, int pathHeight,
                                       int treeTop) {
    constexpr int kMargin = 10;
    constexpr int kButtonWidth = 70;
    constexpr int kButtonHeight = 25;
    constexpr int kButtonsAboveBottom = 35;
    FolderChooserBoxes boxes;
    boxes.path = Box{pathLeft, pathTop, std::max(0, width - kMargin - pathLeft), pathHeight};
    boxes.tree = Box{kMargin, treeTop, std::max(0, width - 20), std::max(0, height - 90)};
    const int buttonsTop = height - kButtonsAboveBottom;
    boxes.newFolder = Box{kMargin, buttonsTop, kButtonWidth, kButtonHeight};
    boxes.cancel = Box{width - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight};
    boxes.ok = Box{width - 2 * (kMargin + kButtonWidth), buttonsTop, kButtonWidth, kButtonHeight};
    return boxes;
}

}  // namespace dialog_rules
