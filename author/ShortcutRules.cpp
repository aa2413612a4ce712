#include "author/ShortcutRules.h"

#include "model/Shortcut.h"

namespace shortcut_rules {

namespace {

const int32_t kShowCommands[] = {kShowNormal, kShowMinimized, kShowMaximized};

}  // namespace

const std::vector<std::string>& RunChoices() {
    static const std::vector<std::string> choices = {"Normal Window", "Minimized", "Maximixed"};
    return choices;
}

int RunChoiceOf(int32_t showCmd) {
    for (int i = 0; i < 3; ++i) {
        if (kShowCommands[i] == showCmd) {
            return i;
        }
    }
    return -1;
}

int32_t ShowCommandOf(int choice, int32_t stored) {
    return choice >= 0 && choice < 3 ? kShowCommands[choice] : stored;
}

const char* CheckName(const std::string& name) {
    if (name.empty()) {
        return "Please enter a name for this shortcut.";
    }
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        return "A shortcut name cannot contain any of the following characters:\n\\ / : * ? \" < > |";
    }
    return nullptr;
}

}  // namespace shortcut_rules
