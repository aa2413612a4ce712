#include "author/UserInterfaceRules.h"

#include "model/UISettings.h"

namespace ui_rules {

namespace {

// The ShowPage check boxes by page; nullptr where the page is always shown.
const char* const kShowPageTexts[kWizardPageCount] = {
    nullptr,
    "Show License Agreement Dialog box",
    "Show User Information Dialog box",
    "Show Destination Folder Dialog box",
    "Show Setup Type Dialog box",
    "Show Features Dialog box",
    "Show Confirmation Dialog box",
    nullptr,
    nullptr,
};

int ChoiceIn(int32_t value, size_t count) {
    return value >= 0 && static_cast<size_t>(value) < count ? static_cast<int>(value) : -1;
}

}  // namespace

std::string CategoryName(int category) {
    const int page = PageOfCategory(category);
    return page >= 0 ? kWizardPageNames[page] : category == kGeneralCategory ? "General" : "";
}

int PageOfCategory(int category) {
    return category >= 1 && category < kCategoryCount ? category - 1 : -1;
}

unsigned ControlsOf(int category) {
    if (category == kGeneralCategory) {
        return kGeneralControls;
    }
    const int page = PageOfCategory(category);
    if (page < 0) {
        return 0;
    }
    unsigned groups = kBannerControls | (ShowPageText(page) != nullptr ? kShowPageBox : 0u);
    switch (page) {
        case kLicensePage:
            return groups | kLicenseControls;
        case kUserInformationPage:
            return groups | kUserQuestions;
        case kDestinationPage:
            return groups | kDestinationQuestions;
        case kFinishPage:
            return groups | kFinishControls;
        default:
            return groups;
    }
}

const char* ShowPageText(int page) {
    return page >= 0 && page < kWizardPageCount ? kShowPageTexts[page] : nullptr;
}

bool IsAlwaysShown(int page) {
    return page == kWelcomePage || page == kProgressPage || page == kFinishPage;
}

const std::vector<std::string>& RunOptionChoices() {
    static const std::vector<std::string> choices(kRunOptionTexts, kRunOptionTexts + 3);
    return choices;
}

const std::vector<std::string>& ReadmeOptionChoices() {
    static const std::vector<std::string> choices(kReadmeOptionTexts, kReadmeOptionTexts + 3);
    return choices;
}

const std::vector<std::string>& RestartChoices() {
    static const std::vector<std::string> choices = {"Ask the user", "Ask the user, only if it is needed"};
    return choices;
}

int FinishOptionChoice(int32_t option) {
    return ChoiceIn(option, RunOptionChoices().size());
}

bool FinishOptionOf(int choice, int32_t* option) {
    if (ChoiceIn(choice, RunOptionChoices().size()) < 0) {
        return false;
    }
    *option = choice;
    return true;
}

int RestartChoice(bool showRestart) {
    return showRestart ? 0 : 1;
}

bool ShowRestartOf(int choice) {
    return choice == 0;
}

UITypeButtons ButtonsOf(int32_t uiType) {
    return {uiType == kSilentSetup, uiType == kUnattendedSetup};
}

int32_t UITypeOf(UITypeButtons buttons) {
    return buttons.silent ? kSilentSetup : buttons.unattended ? kUnattendedSetup : kFullWizard;
}

int32_t UITypeAfterClick(int32_t current, bool silentClicked) {
    UITypeButtons buttons = ButtonsOf(current);
    bool& clicked = silentClicked ? buttons.silent : buttons.unattended;
    bool& other = silentClicked ? buttons.unattended : buttons.silent;
    clicked = !clicked;
    other = false;
    return UITypeOf(buttons);
}

bool PathFits(const std::string& path) {
    return path.size() <= kMaxPathLength;
}

const char* PathTooLongMessage() {
    return "The path is too long: a path has at most 259 characters!";
}

}  // namespace ui_rules
