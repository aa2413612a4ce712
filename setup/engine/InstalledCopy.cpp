#include "setup/engine/InstalledCopy.h"

#include <initializer_list>

namespace {

constexpr char kNotInstalledFormat[] = "Cannot find any Installation of \"%s\" on this computer!";
constexpr char kNewerInstalledFormat[] =
    "A newer version of \"%s\" (Version %s) was found on this computer. If you still want to install the old "
    "version, you must uninstall the current installation. Do you want to uninstall the current "
    "installation?\nClick \"Yes\" to uninstall the existing installation and then install the older version. "
    "Click \"No\" to quit this installation program.";
constexpr char kOlderInstalledFormat[] =
    "An installtion of \"%s\" version \"%s\" was found on this computer. Do you want to uninstall this "
    "installation before installing the new version?\nClick \"Yes\" to uninstall the old version and then "
    "install the new version. Click \"No\" to quit this installation program.";
constexpr char kVersionMismatch[] = "Database/Registry version mismatch!";

// The format with each "%s" replaced by the next text, in order; the texts are not scanned again.
std::string FillIn(const char* format, std::initializer_list<std::string> texts) {
    std::string result;
    auto next = texts.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's' && next != texts.end()) {
            result += *next++;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}

InstalledCopyDecision Decision(InstalledCopyAction action, int32_t mode) {
    InstalledCopyDecision decision;
    decision.action = action;
    decision.mode = mode;
    return decision;
}

InstalledCopyDecision WithMessage(InstalledCopyAction action, int32_t mode, std::string message,
                                  const char* caption) {
    InstalledCopyDecision decision = Decision(action, mode);
    decision.message = std::move(message);
    decision.caption = caption;
    return decision;
}

}  // namespace

InstalledCopyDecision DecideInstalledCopy(bool found, int32_t mode, int32_t uiType,
                                          const std::string& productName, const std::string& databaseVersion,
                                          const std::string& installedVersion) {
    const bool fullUI = uiType == kFullWizard;
    if (!found) {
        if (mode == SM_CHANGE || mode == SM_REMOVE) {
            return fullUI ? WithMessage(InstalledCopyAction::kEnd, mode,
                                        FillIn(kNotInstalledFormat, {productName}), kSetupErrorCaption)
                          : Decision(InstalledCopyAction::kEnd, mode);
        }
        return Decision(InstalledCopyAction::kContinue, mode == SM_ASK ? SM_NEW : mode);
    }
    const int order = CompareVersions(databaseVersion, installedVersion);
    if (order == 0) {
        return Decision(
            mode == SM_NEW ? InstalledCopyAction::kRunInstalledCopy : InstalledCopyAction::kContinue, mode);
    }
    if (mode == SM_NEW) {
        if (!fullUI) {
            return Decision(InstalledCopyAction::kEnd, mode);
        }
        const char* format = order < 0 ? kNewerInstalledFormat : kOlderInstalledFormat;
        return WithMessage(InstalledCopyAction::kAskToRemove, mode,
                           FillIn(format, {productName, installedVersion}), kSetupCaption);
    }
    if (mode == SM_CHANGE || mode == SM_ASK) {
        return fullUI ? WithMessage(InstalledCopyAction::kEnd, mode, kVersionMismatch, kSetupErrorCaption)
                      : Decision(InstalledCopyAction::kEnd, mode);
    }
    return Decision(InstalledCopyAction::kContinue, mode);
}

ProgramCall SameVersionHandOver(const std::string& systemFolder, const std::string& installedTarget) {
    return ProgramCall{systemFolder + "\\" + kSetupCopyTitle,
                       "-C2 " + installedTarget + "\\" + kMaintenanceDatabaseTitle};
}

bool RemovalCall(const std::string& uninstallCommand, ProgramCall* call) {
    // A program in double quotes is the text between them; its options follow the closing quote.
    const bool quoted = !uninstallCommand.empty() && uninstallCommand[0] == '"';
    const size_t close = quoted ? uninstallCommand.find('"', 1) : 0;
    if (close == std::string::npos) {
        return false;
    }
    const size_t options = uninstallCommand.find(" -", close);
    if (options == std::string::npos) {
        return false;
    }
    call->program = quoted ? uninstallCommand.substr(1, close - 1) : uninstallCommand.substr(0, options);
    call->arguments = uninstallCommand.substr(options, 2) + "FO2" + uninstallCommand.substr(options + 2);
    return true;
}

bool CheckExistingInstallation(SetupEngine& engine, RecordStore& store, InstalledCopyHost& host) {
    // Reading the record replaces the media paths by the installed ones; a removal of another version
    // gives this run its own back.
    const std::string mediaSource = engine.sourceFolder;
    const std::string mediaCabinet = engine.dataCabinetPath;
    const bool found = ReadInstalledRecord(engine, store);
    const InstalledCopyDecision decision =
        DecideInstalledCopy(found, engine.mode, engine.UIType(), engine.project.productName,
                            engine.project.productVersion, engine.installedVersion);
    engine.mode = decision.mode;
    switch (decision.action) {
        case InstalledCopyAction::kContinue:
            return true;
        case InstalledCopyAction::kEnd:
            if (!decision.message.empty()) {
                host.ShowError(decision.message, decision.caption);
            }
            return false;
        case InstalledCopyAction::kRunInstalledCopy:
            host.CloseStartupNotice();
            host.RunAndWait(SameVersionHandOver(engine.ExpandVariables("<windows system folder>"),
                                                engine.project.target));
            return false;
        case InstalledCopyAction::kAskToRemove:
            break;
    }
    if (!host.AskYesNo(decision.message, decision.caption)) {
        return false;
    }
    ProgramCall removal;
    if (RemovalCall(engine.installedUninstallCommand, &removal)) {
        host.RunAndWait(removal);
    }
    engine.installedVersion.clear();
    engine.createdFolders.Clear();  // the other version's removal took its folders away
    engine.createdFolders.known = false;
    engine.sourceFolder = mediaSource;
    engine.dataCabinetPath = mediaCabinet;
    engine.project.rootFeature.ForEach([](CFeature& feature) { feature.installed = false; });
    return true;
}
