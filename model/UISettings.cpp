#include "model/UISettings.h"

#include <algorithm>

#include "model/ArchiveRefs.h"
#include "model/Project.h"
#include "platform/Format.h"

const char* const kWizardPageNames[kWizardPageCount] = {
    "Welcome",      "License Agreement", "User Information", "Destination Folder", "Setup Type", "Features",
    "Confirmation", "Progress",          "Finish",
};
const char* const kRunOptionTexts[3] = {"Do not run any application", "Ask the user (default: Unchecked)",
                                        "Ask the user (default: Checked)"};
const char* const kReadmeOptionTexts[3] = {"Do not show", "Ask the user (default: Unchecked)",
                                           "Ask the user (default: Checked)"};

namespace {

std::string NumberedKey(const char* format, int number) {
    char key[32];
    platform::FormatTo(key, sizeof key, format, number);
    return key;
}

}  // namespace

void CUISettings::Reset() {
    *this = CUISettings();
    std::fill(showPage, showPage + kWizardPageCount, 1);
}

int32_t CUISettings::LicenseFileCount() const {
    if (!showPage[kLicensePage]) {
        return 0;
    }
    return static_cast<int32_t>(std::count_if(licenseFiles, licenseFiles + kMaxLicenseFiles,
                                              [](const std::string& p) { return !p.empty(); }));
}

bool CUISettings::HasOwnBanner(int page) const {
    return showPage[page] && !pageBanner[page].empty();
}

void CUISettings::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    const bool setupProgram = !ar.IsProjectFile() && !ar.IsBuildingDatabase();
    const bool loading = !ar.IsStoring();
    ar.ExchangeBool("ShowSplash", &showSplash, false);
    if (!setupProgram) {
        ar.ExchangeInt("UIType", &uiType, kFullWizard);
    } else if (!loading) {
        // The setup program's own copy always starts a later run with the wizard.
        int32_t wizard = kFullWizard;
        ar.ExchangeInt("UIType", &wizard, kFullWizard);
    } else if (uiType == kFullWizard) {
        ar.ExchangeInt("UIType", &uiType, kFullWizard);
    }
    ar.ExchangeBlock("ShowPage", showPage, sizeof showPage);
    if (!setupProgram || loading) {
        ar.ExchangeBool("AskUserName", &askUserName, true);
        ar.ExchangeBool("AskOrganization", &askOrganization, true);
        ar.ExchangeBool("AskEMail", &askEMail, false);
        ar.ExchangeBool("AskInstallForAll", &askInstallForAll, true);
        ar.ExchangeBool("AskDesktop", &askDesktop, true);
        ar.ExchangeBool("AskStartMenu", &askStartMenu, true);
        project.ExchangeFileRef(ar, "RunApplication", &runApplication);
        project.ExchangeFileRef(ar, "ReadmeFile", &readmeFile);
        ar.ExchangeInt("RunOption", &runOption, kDoNotOffer);
        ar.ExchangeInt("ReadmeOption", &readmeOption, kAskChecked);
    }
    ar.ExchangeBool("ShowRestart", &showRestart, false);

    if (ar.IsProjectFile()) {
        const std::string& base = project.projectPath;
        archive_refs::ExchangeRelativePath(ar, "SplashFile", &splashFile, base);
        archive_refs::ExchangeRelativePath(ar, "BannerForAll", &bannerForAll, base);
        if (ar.BeginObject("PageBanner")) {
            const int stored = loading ? std::min(ar.ChildCount(), kPageSlots) : kPageSlots;
            for (int page = 0; page < kPageSlots; ++page) {
                if (page < stored) {
                    archive_refs::ExchangeRelativePath(ar, NumberedKey("Arr%d", page).c_str(),
                                                       &pageBanner[page], base);
                } else {
                    pageBanner[page].clear();
                }
            }
            ar.EndObject();
        }
        for (int i = 0; i < kMaxLicenseFiles; ++i) {
            archive_refs::ExchangeRelativePath(ar, NumberedKey("LicenseFiles[%d]", i).c_str(),
                                               &licenseFiles[i], base);
        }
    } else {
        if (ar.IsBuildingDatabase()) {
            noOfLicenseFiles = LicenseFileCount();
            for (int page = 0; page < kPageSlots; ++page) {
                showBanner[page] = HasOwnBanner(page) ? 1 : 0;
            }
        }
        if (ar.IsBuildingDatabase() || loading) {
            ar.ExchangeInt("NoOfLicenseFiles", &noOfLicenseFiles, 0);
            // The support cabinet never holds more licence texts than the project can name.
            noOfLicenseFiles = std::clamp<int32_t>(noOfLicenseFiles, 0, kMaxLicenseFiles);
        }
        ar.ExchangeBlock("ShowBanner", showBanner, sizeof showBanner);
    }
    ar.EndObject();
}

void CUISettings::ApplySetupRules(bool* noModify) {
    if (uiType != kFullWizard) {
        return;
    }
    showPage[kWelcomePage] = showPage[kProgressPage] = showPage[kFinishPage] = 1;
    if (!showPage[kFeaturesPage]) {
        showPage[kSetupTypePage] = 0;
        *noModify = true;
    }
}
