#include "setup/wizard/WizardRules.h"

#include <cctype>
#include <cstring>

#include "platform/Format.h"
#include "platform/NoCase.h"
#include "setup/engine/SetupEngine.h"
#include "setup/engine/SetupRules.h"

namespace wizard_rules {

const char* const kPageNames[kPageCount] = {
    "Welcome",     "License",         "User Information", "Destination Folder",
    "Setup Types", "Select Features", "Confirmation",     "Working",
    "Finish"};

namespace {

// A walk longer than the page list can only be a loop of hidden pages.
constexpr int kMaxWalk = 32;

std::string Format(const char* format, const std::string& text) {
    char buffer[1024];
    platform::FormatTo(buffer, sizeof buffer, format, text.c_str());
    return buffer;
}

std::string Lower(const std::string& text) {
    return nocase::Lower(text);
}

bool IsTrue(const std::string& value) {
    return Lower(value) == "true";
}

// Maintenance runs that reach a page before the Welcome page set their mode count as a change.
int32_t ShownMode(int32_t mode) {
    return mode == SM_ASK ? SM_CHANGE : mode;
}

void AddListed(const CFeature& feature, bool removed, std::string* list) {
    if (feature.parent != nullptr) {
        if (!feature.visible) {
            return;  // an invisible feature hides its whole sub-tree
        }
        const bool listed =
            removed ? feature.installed && !feature.selected : feature.selected && !feature.installed;
        if (listed) {
            *list += "\n    " + feature.name;
        }
        if (!removed && !feature.selected) {
            return;
        }
    }
    for (const CFeature* child : feature.children) {
        AddListed(*child, removed, list);
    }
}

void SelectAll(CFeature& feature, bool selected) {
    feature.selected = selected;
    for (CFeature* child : feature.children) {
        SelectAll(*child, selected);
    }
}

}  // namespace

std::string WindowTitle(const std::string& productName, int page, bool testMode) {
    std::string title = productName + " Setup - " + (page >= 0 && page < kPageCount ? kPageNames[page] : "");
    if (testMode) {
        title += " (Test Mode)";
    }
    return title;
}

int NextTarget(int current, PageFlow& flow) {
    int target = flow.NextIndexOf(current);
    for (int walked = 0; target >= 0 && walked < kMaxWalk; ++walked) {
        if (flow.IsShown(target)) {
            if (target > current && !flow.RunActions(current, target - 1)) {
                return kFinish;
            }
            return target;
        }
        target = flow.NextIndexOf(target);
    }
    return -1;
}

int BackTarget(int current, PageFlow& flow) {
    int target = flow.BackIndexOf(current);
    for (int walked = 0; target >= 0 && walked < kMaxWalk; ++walked) {
        if (flow.IsShown(target)) {
            return target;
        }
        target = flow.BackIndexOf(target);
    }
    return -1;
}

PageHeader HeaderOf(int page, int32_t mode, const std::string& productName, bool completed) {
    mode = ShownMode(mode);
    switch (page) {
        case kWelcome:
            return {"Welcome to", productName + " Setup", true};
        case kLicense:
            return {"License Agreement", "Please read the following license agreement carefully."};
        case kUserInformation:
            return {"User Information", "Please enter your information."};
        case kDestination:
            return {"Destination Folder", "Please enter the destination folder."};
        case kSetupType:
            return {"Setup Type", "Please choose the setup type that best suits your needs."};
        case kFeatures:
            return {"Custom Setup", "Please select the program features you want installed."};
        case kConfirmation:
            switch (mode) {
                case SM_CHANGE:
                    return {"Ready to Modify the Program", "The wizard is ready to Modify the installation."};
                case SM_REMOVE:
                    return {"Ready to Uninstall the Program", "The wizard is ready to Uninstall the Program"};
                case SM_REPAIR:
                    return {"Ready to repair the Program", "The wizard is ready to repair the Program"};
                default:
                    return {"Ready to Install the Program", "The wizard is ready to begin installation."};
            }
        case kWorking:
            switch (mode) {
                case SM_CHANGE:
                    return {Format("Modifying \"%s\"", productName),
                            "The program features are being modified."};
                case SM_REMOVE:
                    return {Format("Uninstalling \"%s\"", productName), "The program is being uninstalled."};
                case SM_REPAIR:
                    return {Format("Repairing \"%s\"", productName), "The program is being repaired."};
                default:
                    return {Format("Installing \"%s\"", productName),
                            "The program features you selected are being installed."};
            }
        case kFinish: {
            PageHeader header{Format("Completing \"%s\" Setup", productName), ""};
            switch (mode) {
                case SM_CHANGE:
                    header.subtitle = completed ? "The Setup has successfully modified the application."
                                                : "Setup was not able to modify the installation completely.";
                    break;
                case SM_REMOVE:
                    header.subtitle = completed
                                          ? "The Setup has successfully uninstalled the application."
                                          : "Setup was not able to uninstall the application completely.";
                    break;
                case SM_REPAIR:
                    header.subtitle = completed ? "The Setup has successfully repaired the application."
                                                : "Setup was not able to repair the application completely.";
                    break;
                default:
                    header.subtitle = completed ? "The Setup has successfully installed the application."
                                                : "Setup was not able to install the application completely.";
                    break;
            }
            return header;
        }
        default:
            return {};
    }
}

uint32_t RampColour(int x, int width) {
    if (width <= 0) {
        return 0x00FF0000;
    }
    const int blue = 255 + (0 - 255) * x / width;
    return static_cast<uint32_t>(blue < 0 ? 0 : blue) << 16;
}

std::string PlainText(const RichText& text) {
    std::string plain;
    for (const TextRun& run : text) {
        plain += run.text;
    }
    return plain;
}

RichText WelcomeText(int32_t mode, const std::string& productName) {
    const bool install = mode == SM_NEW;
    return {
        {TextStyle::Normal, "   Welcome to "},
        {TextStyle::Bold, productName},
        {TextStyle::Normal, install ? " Setup program. This program will install "
                                    : " Setup program. This program will remove, modify, or repair "},
        {TextStyle::Bold, productName},
        {TextStyle::Normal,
         std::string(install ? " on your computer." : " installation.") +
             " It is strongly recommended that you exit all Windows programs before running this program.\n\n"
             "Click Cancel to quit and then close any program you have running. Click Next to continue."},
    };
}

RichText WarningText() {
    return {
        {TextStyle::Bold, "Warning:\n"},
        {TextStyle::Small,
         "This program is protected by copyright law and international treaties. Unauthorized reproduction "
         "or "
         "distribution of this program, or any portion of it, may result in severe civil and criminal "
         "penalties, "
         "and will be prosecuted to the maximum extent possible under the law."},
    };
}

MaintenanceChoices MaintenanceChoicesFor(int32_t mode, bool force, bool noModify, bool noRemove,
                                         bool noRepair) {
    MaintenanceChoices choices;
    if (!force) {
        choices.changeEnabled = !noModify;
        choices.removeEnabled = !noRemove;
        choices.repairEnabled = !noRepair;
    }
    switch (mode) {
        case SM_REMOVE:
        case SM_REPAIR:
        case SM_CHANGE:
            choices.checked = mode;
            break;
        default:
            choices.checked = !noModify ? SM_CHANGE : !noRepair ? SM_REPAIR : SM_REMOVE;
            break;
    }
    return choices;
}

int WelcomeNextIndex(int32_t mode) {
    switch (mode) {
        case SM_NEW:
            return kLicense;
        case SM_CHANGE:
            return kFeatures;
        case SM_REMOVE:
        case SM_REPAIR:
            return kWorking;
        default:
            return -1;
    }
}

int LicenseNextIndex(int* shown, int32_t count) {
    if (*shown + 1 >= count) {
        return kUserInformation;
    }
    ++*shown;
    return kLicense;
}

int LicenseBackIndex(int* shown) {
    if (*shown <= 0) {
        return kWelcome;
    }
    --*shown;
    return kLicense;
}

unsigned ForwardButton(unsigned mask) {
    for (unsigned button : {kNextButton, kAgreeButton, kFinishButton}) {
        if (mask & button) {
            return button;
        }
    }
    return 0;
}

std::string TrimmedFolder(const std::string& typed) {
    const size_t first = typed.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
}

bool IsFullFolderPath(const std::string& folder) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    size_t rest = 0;  // where the folder names after the drive or share begin
    const bool drive =
        folder.size() >= 2 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':';
    if (drive) {
        if (folder.size() > 2 && !separator(folder[2])) {
            return false;  // C:Foo names a folder relative to the drive's current one
        }
        rest = 2;
    } else if (folder.size() > 2 && separator(folder[0]) && separator(folder[1])) {
        // \\server\share: both names present.
        const size_t serverEnd = folder.find_first_of("\\/", 2);
        if (serverEnd == std::string::npos || serverEnd == 2 || serverEnd + 1 >= folder.size() ||
            separator(folder[serverEnd + 1])) {
            return false;
        }
        rest = serverEnd + 1;
    } else {
        return false;
    }
    for (size_t i = rest; i < folder.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(folder[i]);
        if (c < 32 || std::strchr("<>:\"|?*", c) != nullptr) {
            return false;
        }
    }
    return true;
}

std::string FolderRefusal(const std::string& productName) {
    return "Please enter the full path of the destination folder, for example C:\\Program Files\\" +
           productName + "!";
}

std::string UserInfoPrompt(bool askName, bool askCompany, bool askEMail) {
    std::vector<const char*> parts;
    if (askName) {
        parts.push_back("your name");
    }
    if (askCompany) {
        parts.push_back("your company name");
    }
    if (askEMail) {
        parts.push_back("your E-mail address");
    }
    std::string prompt = "Please enter ";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            prompt += i + 1 == parts.size() ? ", and " : ", ";
        }
        prompt += parts[i];
    }
    if (!parts.empty()) {
        prompt += ".";
    }
    return prompt;
}

int DisplayState(CFeature& feature) {
    if (feature.children.empty()) {
        return feature.selected ? kFullyInstalled : kNotInstalled;
    }
    bool anyInstalled = false;
    bool allFully = true;
    for (CFeature* child : feature.children) {
        const int state = DisplayState(*child);
        anyInstalled = anyInstalled || state != kNotInstalled;
        allFully = allFully && state == kFullyInstalled;
    }
    if (!anyInstalled) {
        return feature.selected ? kPartlyInstalled : kNotInstalled;
    }
    feature.selected = true;
    return allFully ? kFullyInstalled : kPartlyInstalled;
}

int PictureOf(const CFeature& feature, int state) {
    if (state == kFullyInstalled && feature.children.empty()) {
        return kPictureInstalled;
    }
    return state;
}

FeatureMenu MenuFor(const CFeature& feature, int state) {
    FeatureMenu menu;
    menu.checked = state == kFullyInstalled && feature.children.empty() ? kInstallFeature : state;
    menu.doNotInstallEnabled = !feature.required;
    menu.withAllEnabled = !feature.children.empty();
    return menu;
}

void ApplyMenuChoice(CFeature& feature, int item) {
    switch (item) {
        case kDoNotInstall:
            SelectAll(feature, false);
            break;
        case kInstallFeature:
            feature.selected = true;
            break;
        case kInstallWithAll:
            SelectAll(feature, true);
            break;
        default:
            break;
    }
}

std::string RequiredSpaceText(int64_t bytes) {
    return "Required Space:" + FormatSize(bytes) + " ";
}

std::string AvailableSpaceText(const std::string& targetFolder, int64_t freeBytes) {
    const std::string drive = targetFolder.substr(0, targetFolder.find('\\'));
    return "Available Space on " + drive + " " + FormatSize(freeBytes);
}

std::string FeaturesBeingInstalled(const CFeature& root) {
    std::string list;
    AddListed(root, false, &list);
    return list;
}

std::string FeaturesBeingRemoved(const CFeature& root) {
    std::string list;
    AddListed(root, true, &list);
    return list;
}

Confirmation ConfirmationFor(const SetupEngine& engine) {
    const CProject& project = engine.project;
    Confirmation confirmation;
    RichText& text = confirmation.text;
    const std::string installing = FeaturesBeingInstalled(project.rootFeature);
    if (engine.mode == SM_NEW) {
        text.push_back(
            {TextStyle::BoldBlue, Format("Setup is going to install \"%s\".", project.productName)});
        text.push_back({TextStyle::Normal, "\n\nDestination Folder:"});
        text.push_back({TextStyle::Normal, Format("\n    %s", project.target)});
        if (project.ui.showPage[kUserInformation] != 0) {
            std::string user;
            if (project.ui.askUserName) {
                user += Format("\n    Name: %s", engine.userName);
            }
            if (project.ui.askOrganization) {
                user += "\n    Company: " + engine.companyName;
            }
            if (project.ui.askEMail) {
                user += "\n    Email:" + engine.userEmail;
            }
            if (!user.empty()) {
                text.push_back({TextStyle::Normal, "\n\nUser Information:"});
                text.push_back({TextStyle::Normal, user});
            }
        }
        if (!installing.empty()) {
            text.push_back({TextStyle::Normal, "\n\nFeatures being installed:"});
            text.push_back({TextStyle::Normal, installing});
        }
    } else if (engine.mode == SM_CHANGE) {
        std::string changes;
        if (!installing.empty()) {
            changes += Format("\n\nFeatures being installed:%s", installing);
        }
        const std::string removing = FeaturesBeingRemoved(project.rootFeature);
        if (!removing.empty()) {
            changes += "\n\nFeatures being removed:" + removing;
        }
        if (!changes.empty()) {
            text.push_back(
                {TextStyle::BoldBlue,
                 Format("Setup is going to modify your installation of \"%s\".", project.productName)});
            text.push_back({TextStyle::Normal, changes});
        } else {
            text.push_back(
                {TextStyle::Normal,
                 "\n\n  Your selection does not change any features of the installation. Please click Back "
                 "to change your installation settings. If you want to reinstall the same features, go "
                 "back and select \"Repair\". Click Cancel to exit setup."});
            confirmation.buttons = kBackButton | kCancelButton;
        }
    }
    return confirmation;
}

FinishContent FinishContentFor(const SetupEngine& engine, const std::string& runName) {
    const CUISettings& ui = engine.project.ui;
    const std::string& product = engine.project.productName;
    const int32_t mode = ShownMode(engine.mode);
    FinishContent content;
    content.success = engine.completed;
    const char* opening = "";
    const char* closing = "";
    const char* restart = "";
    if (!engine.completed) {
        switch (mode) {
            case SM_CHANGE:
                opening = "Setup was not able to modify ";
                closing = " installation completely! Please try again later.";
                break;
            case SM_REMOVE:
                opening = "Setup was not able to remove ";
                closing = " completely! Please try again later.";
                break;
            case SM_REPAIR:
                opening = "Setup was not able to repair ";
                closing = " completely! Please try again later.";
                break;
            default:
                opening = "Setup was not able to install ";
                closing = " completely! Please try again later.";
                break;
        }
        content.main = {
            {TextStyle::Normal, opening}, {TextStyle::Bold, product}, {TextStyle::Normal, closing}};
        return content;
    }
    switch (mode) {
        case SM_CHANGE:
            opening = "Setup has finished modifying ";
            closing = " installation on your computer.";
            restart = " You must restart your computer to complete the changes.";
            break;
        case SM_REMOVE:
            opening = "Setup has finished removing ";
            closing = " from your computer.";
            restart = " You must restart your computer to completely remove the application.";
            break;
        case SM_REPAIR:
            opening = "Setup has finished repairing ";
            closing = ".";
            restart = " You must restart your computer to complete the repair.";
            break;
        default:
            opening = "Setup has finished installing ";
            closing = ".";
            restart = " You must restart your computer to complete the installation.";
            break;
    }
    content.main = {{TextStyle::Normal, opening}, {TextStyle::Bold, product}, {TextStyle::Normal, closing}};
    if (engine.restartNeeded) {
        content.main.push_back({TextStyle::Normal, restart});
    }
    const FinishBoxState restartBox{FinishBox::Restart, "Restart Now", true};
    const FinishBoxState runBox{FinishBox::Run, Format("Run \"%s\"", runName), ui.runOption == 2};
    if (mode != SM_NEW) {
        if (engine.restartNeeded) {
            content.first = restartBox;
        }
    } else if (engine.restartNeeded || ui.showRestart) {
        content.first = restartBox;
    } else if (ui.readmeOption != 0) {
        content.first = {FinishBox::Readme, "Open Readme file", ui.readmeOption == 2};
        if (ui.runOption != 0) {
            content.second = runBox;
        }
    } else if (ui.runOption != 0) {
        content.first = runBox;
    }
    return content;
}

RichText FinishClosingText() {
    return {
        {TextStyle::Normal, "Click "}, {TextStyle::Bold, "Finish"}, {TextStyle::Normal, " to exit setup."}};
}

FinishAction ChosenFinishAction(int32_t mode, const FinishContent& content, bool firstChecked,
                                bool secondChecked) {
    if (content.first.kind == FinishBox::Restart) {
        return firstChecked ? FinishAction::Restart : FinishAction::None;
    }
    if (mode != SM_NEW) {
        return FinishAction::None;
    }
    if (content.first.kind == FinishBox::Readme && firstChecked) {
        return FinishAction::OpenReadme;
    }
    if ((content.first.kind == FinishBox::Run && firstChecked) ||
        (content.second.kind == FinishBox::Run && secondChecked)) {
        return FinishAction::RunApplication;
    }
    return FinishAction::None;
}

bool SetRunValue(SetupEngine& engine, const std::string& name, const std::string& value) {
    const std::string key = Lower(name);
    if (key == "target folder") {
        engine.project.target = value;
    } else if (key == "user name") {
        engine.userName = value;
    } else if (key == "company name") {
        engine.companyName = value;
    } else if (key == "user email") {
        engine.userEmail = value;
    } else if (key == "install menu shortcuts") {
        engine.menuShortcuts = IsTrue(value);
    } else if (key == "install desktop shortcuts") {
        engine.desktopShortcuts = IsTrue(value);
    } else if (key == "install for all") {
        engine.installForAll = IsTrue(value);
    } else {
        return false;
    }
    return true;
}

std::string ActionLine(const char* format, const char* text, int32_t number) {
    char line[1024];
    if (text == nullptr) {
        platform::FormatTo(line, sizeof line, "%s", format);
    } else if (number != 0) {
        platform::FormatTo(line, sizeof line, format, text, number);
    } else {
        platform::FormatTo(line, sizeof line, format, text);
    }
    return line;
}

std::string DetailLine(const char* format, int32_t number, const char* text) {
    char line[1024];
    if (number == 0) {
        platform::FormatTo(line, sizeof line, "%s", format);
    } else if (text != nullptr) {
        platform::FormatTo(line, sizeof line, format, number, text);
    } else {
        platform::FormatTo(line, sizeof line, format, number);
    }
    return line;
}

}  // namespace wizard_rules
