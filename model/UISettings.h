#pragma once

#include <cstdint>
#include <string>

class CFileItem;
class CProject;
class CTreeArchive;

// The user-interface types of the setup program.
enum UIType : int32_t {
    kSilentSetup = 0,
    kUnattendedSetup = 1,  // the progress window alone
    kFullWizard = 2,
};

// The wizard's pages, numbered as the per-page arrays are indexed.
enum WizardPage : int {
    kWelcomePage = 0,
    kLicensePage = 1,
    kUserInformationPage = 2,
    kDestinationPage = 3,
    kSetupTypePage = 4,
    kFeaturesPage = 5,
    kConfirmationPage = 6,
    kProgressPage = 7,
    kFinishPage = 8,
};
constexpr int kWizardPageCount = 9;
extern const char* const kWizardPageNames[kWizardPageCount];

// What the finish page offers for the application and for the readme file.
enum FinishOption : int32_t {
    kDoNotOffer = 0,
    kAskUnchecked = 1,
    kAskChecked = 2,
};
extern const char* const kRunOptionTexts[3];
extern const char* const kReadmeOptionTexts[3];

// How the setup program presents itself: its user-interface type, the wizard pages it shows and the
// questions they ask, its pictures and licence texts, what it offers at the end, and the restart question.
//
// The authoring program keeps the pictures and licence texts as paths of its own machine; the setup
// database carries instead which of them the build put into the support cabinet.
class CUISettings {
public:
    static constexpr int kPageSlots = 20;  // per-page arrays; slots past the last page are unused
    static constexpr int kMaxLicenseFiles = 3;

    // The setup program's starting state: every default, but no page shown and no banner.
    CUISettings() = default;

    bool showSplash = false;
    int32_t uiType = kFullWizard;
    uint8_t showPage[kPageSlots] = {};
    bool askUserName = true;
    bool askOrganization = true;
    bool askEMail = false;
    bool askInstallForAll = true;
    bool askDesktop = true;
    bool askStartMenu = true;
    CFileItem* runApplication = nullptr;
    CFileItem* readmeFile = nullptr;
    int32_t runOption = kDoNotOffer;
    int32_t readmeOption = kAskChecked;
    bool showRestart = false;  // ask about restarting in every case, not only when one is needed
    // Authoring program: paths of its own machine.
    std::string splashFile;
    std::string bannerForAll;
    std::string pageBanner[kPageSlots];
    std::string licenseFiles[kMaxLicenseFiles];
    // Setup program: what the support cabinet holds.
    int32_t noOfLicenseFiles = 0;
    uint8_t showBanner[kPageSlots] = {};

    // The settings of a new project: pages 0 to 8 shown, every other field at its default.
    void Reset();

    // The authoring program exchanges every setting of the kind of file; the setup program (kind 0) reads
    // what it uses and writes into its own copy only what it needs later. A setup program's load keeps a
    // user-interface type chosen before it (on the command line) unless that is the full wizard.
    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);

    // The setup program's rules for a full wizard, applied after its load of the whole project: Welcome,
    // Progress and Finish are always shown, and a hidden Features page hides the Setup Type page and
    // forbids a later change of the installation (noModify).
    void ApplySetupRules(bool* noModify);

    // What the setup database records: the licence texts that the support cabinet holds (none when the
    // licence page is hidden), and whether each page has a banner of its own there.
    int32_t LicenseFileCount() const;
    bool HasOwnBanner(int page) const;
};
