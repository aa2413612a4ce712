#pragma once

// The wizard's rules that need no window: where Next and Back lead, which custom-action points a move
// runs, the window title and page headers, the prompts and texts the pages build, the feature tree's
// display states and the finish page's choices. The pages and the frame only apply them.
#include <cstdint>
#include <string>
#include <vector>

class CFeature;
class SetupEngine;

namespace wizard_rules {

constexpr int kPageCount = 9;
constexpr int kWelcome = 0, kLicense = 1, kUserInformation = 2, kDestination = 3, kSetupType = 4,
              kFeatures = 5, kConfirmation = 6, kWorking = 7, kFinish = 8;

// Which of the five wizard buttons a page shows.
enum ButtonBits : unsigned {
    kNextButton = 0x01,
    kBackButton = 0x02,
    kAgreeButton = 0x04,
    kFinishButton = 0x08,
    kCancelButton = 0x10,
};

// The word each page adds to the window title.
extern const char* const kPageNames[kPageCount];

// The forward button among those a page shows (Next, I Agree or Finish), where the keyboard focus goes
// when the page has no field to type in; 0 when it shows none.
unsigned ForwardButton(unsigned mask);

// "Foo Setup - Welcome", with " (Test Mode)" in test mode.
std::string WindowTitle(const std::string& productName, int page, bool testMode);

// ---- moving between pages ----

// What a move asks of the pages and of the custom actions.
class PageFlow {
public:
    virtual ~PageFlow() = default;
    virtual int NextIndexOf(int page) = 0;
    virtual int BackIndexOf(int page) = 0;
    virtual bool IsShown(int page) = 0;
    // Runs the custom-action points first to last; false when an action failed.
    virtual bool RunActions(int first, int last) = 0;
};

// Next from the current page: the first shown page along the NextIndex chain (a hidden page is asked where
// it would lead), after the actions of the points current .. target - 1; the Finish page when they fail;
// -1 when Next leads nowhere (the page stays as it is).
int NextTarget(int current, PageFlow& flow);
// Back: the first shown page along the BackIndex chain, without custom actions; -1 for none.
int BackTarget(int current, PageFlow& flow);

// ---- banner headers ----

struct PageHeader {
    std::string title;
    std::string subtitle;
    bool subtitleInTitleFont = false;  // the Welcome page draws both lines in the title font
};
PageHeader HeaderOf(int page, int32_t mode, const std::string& productName, bool completed);

// The built-in banner's ramp under the header: pure blue at the left fading to black at the right; the
// colour of column x as 0x00BBGGRR.
uint32_t RampColour(int x, int width);

// ---- rich texts ----

enum class TextStyle { Normal, Bold, Small, BoldBlue };
struct TextRun {
    TextStyle style;
    std::string text;
    bool operator==(const TextRun& o) const { return style == o.style && text == o.text; }
};
using RichText = std::vector<TextRun>;
// The runs' texts joined, as the control shows them.
std::string PlainText(const RichText& text);

// ---- welcome page ----

RichText WelcomeText(int32_t mode, const std::string& productName);
RichText WarningText();

struct MaintenanceChoices {
    bool changeEnabled = true;
    bool removeEnabled = true;
    bool repairEnabled = true;
    int32_t checked = 0;  // SM_CHANGE, SM_REMOVE or SM_REPAIR
};
MaintenanceChoices MaintenanceChoicesFor(int32_t mode, bool force, bool noModify, bool noRemove,
                                         bool noRepair);
// Where Next on the Welcome page leads in a mode (already set from the choice in maintenance runs).
int WelcomeNextIndex(int32_t mode);

// ---- licence page ----

// I Agree on licence file *shown of count: the next file on the same page, or the User Information page
// after the last one.
int LicenseNextIndex(int* shown, int32_t count);
int LicenseBackIndex(int* shown);

// ---- user information page ----

std::string UserInfoPrompt(bool askName, bool askCompany, bool askEMail);

// ---- destination page ----

// The typed folder without the spaces around it.
std::string TrimmedFolder(const std::string& typed);
// A folder the installation can go to: a full path from a drive (C:\Program Files\Foo, or the drive C:
// itself) or a network share (\\server\share\Foo), without the characters no file name may hold.
bool IsFullFolderPath(const std::string& folder);
// The message that keeps the user on the destination page.
std::string FolderRefusal(const std::string& productName);

// ---- feature tree ----

// Display states, and the pictures that show them.
enum FeatureState { kNotInstalled = 0, kPartlyInstalled = 1, kFullyInstalled = 2 };
enum FeaturePicture {
    kPictureNotInstalled = 0,
    kPicturePartly = 1,
    kPictureWithAll = 2,
    kPictureInstalled = 3
};
// The state of a feature over its whole sub-tree; a feature with a selected sub-feature becomes selected.
int DisplayState(CFeature& feature);
int PictureOf(const CFeature& feature, int state);

enum FeatureMenuItem { kDoNotInstall = 0, kInstallFeature = 1, kInstallWithAll = 2 };
struct FeatureMenu {
    int checked = kDoNotInstall;
    bool doNotInstallEnabled = true;
    bool withAllEnabled = true;
};
FeatureMenu MenuFor(const CFeature& feature, int state);
void ApplyMenuChoice(CFeature& feature, int item);

std::string RequiredSpaceText(int64_t bytes);
// "Available Space on C: 1.5 GB": the target folder up to its first backslash.
std::string AvailableSpaceText(const std::string& targetFolder, int64_t freeBytes);

// ---- confirmation page ----

std::string FeaturesBeingInstalled(const CFeature& root);
std::string FeaturesBeingRemoved(const CFeature& root);
struct Confirmation {
    RichText text;
    unsigned buttons = kNextButton | kBackButton | kCancelButton;
};
Confirmation ConfirmationFor(const SetupEngine& engine);

// ---- finish page ----

enum class FinishBox { None, Restart, Readme, Run };
struct FinishBoxState {
    FinishBox kind = FinishBox::None;
    std::string text;
    bool checked = false;
};
struct FinishContent {
    bool success = false;
    RichText main;
    FinishBoxState first, second;
};
// runName is the file title of the application offered at the end.
FinishContent FinishContentFor(const SetupEngine& engine, const std::string& runName);
RichText FinishClosingText();

enum class FinishAction { None, Restart, OpenReadme, RunApplication };
FinishAction ChosenFinishAction(int32_t mode, const FinishContent& content, bool firstChecked,
                                bool secondChecked);

// ---- window message of custom actions ----

// WM_SETUP_SETVALUE: sets the named value of the run; false for an unknown name.
bool SetRunValue(SetupEngine& engine, const std::string& name, const std::string& value);

// ---- progress lines ----

std::string ActionLine(const char* format, const char* text, int32_t number);
std::string DetailLine(const char* format, int32_t number, const char* text);

}  // namespace wizard_rules
