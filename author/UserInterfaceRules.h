#pragma once

// The rules of the "User Interface" page that need no window: its categories and the controls each
// shows, the lists of the Finish category, the user-interface type behind the two radio buttons, and the
// length a path may have.
#include <cstdint>
#include <string>
#include <vector>

namespace ui_rules {

// The categories in list order: "General", then one per wizard page (category k edits page k - 1).
constexpr int kCategoryCount = 10;
constexpr int kGeneralCategory = 0;
std::string CategoryName(int category);
// The wizard page a category edits, or -1 for "General" (and for no category).
int PageOfCategory(int category);

// The groups of controls the page shows, one bit each.
enum ControlGroup : unsigned {
    kBannerControls = 1u << 0,        // "Banner File:" with "...": the page's own banner
    kShowPageBox = 1u << 1,           // the check box that shows or hides the page
    kGeneralControls = 1u << 2,       // splash, the two radio buttons, the global banner
    kLicenseControls = 1u << 3,       // "License File 1" to "License File 3"
    kUserQuestions = 1u << 4,         // the three Ask boxes of the user-information page
    kDestinationQuestions = 1u << 5,  // the three Ask boxes of the destination page
    kFinishControls = 1u << 6,        // run and readme files, the three lists
};
// Exactly the groups a category shows; none for a category that does not exist.
unsigned ControlsOf(int category);

// The text of the check box that shows or hides a page, or nullptr for a page that has none (Welcome,
// Progress and Finish are always shown).
const char* ShowPageText(int page);
bool IsAlwaysShown(int page);

// The lists of the Finish category. A RunOption or ReadmeOption is its own entry; a value of no entry
// (from a damaged file) shows none, so that showing it changes nothing. The restart list: "Ask the user"
// (ShowRestart set), "Ask the user, only if it is needed" (clear).
const std::vector<std::string>& RunOptionChoices();
const std::vector<std::string>& ReadmeOptionChoices();
const std::vector<std::string>& RestartChoices();
int FinishOptionChoice(int32_t option);
// The option of an entry; false for no entry (nothing is stored then).
bool FinishOptionOf(int choice, int32_t* option);
int RestartChoice(bool showRestart);
bool ShowRestartOf(int choice);

// The radio buttons "Silent Setup" (type 0) and "Unattended Setup" (type 1); neither is the full wizard
// (type 2). A click on the button that is checked clears it, which is the way back to the wizard.
struct UITypeButtons {
    bool silent;
    bool unattended;
};
UITypeButtons ButtonsOf(int32_t uiType);
int32_t UITypeOf(UITypeButtons buttons);
int32_t UITypeAfterClick(int32_t current, bool silentClicked);

// A path the platform can use has at most 259 characters (260 with its terminating zero). A longer one is
// refused with this message, never cut.
constexpr size_t kMaxPathLength = 259;
bool PathFits(const std::string& path);
const char* PathTooLongMessage();

}  // namespace ui_rules
