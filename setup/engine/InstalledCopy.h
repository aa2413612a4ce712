#pragma once

#include <cstdint>
#include <string>

#include "setup/engine/InstalledRecord.h"
#include "setup/engine/SetupEngine.h"

// What start-up does about an installed copy of the product.
enum class InstalledCopyAction {
    kContinue,          // the run goes on (in the decided mode)
    kEnd,               // the run ends, after the message when there is one
    kRunInstalledCopy,  // the same version is installed: its own copy takes over with a maintenance run
    kAskToRemove,       // another version is installed: ask whether to remove it first
};

struct InstalledCopyDecision {
    InstalledCopyAction action = InstalledCopyAction::kContinue;
    int32_t mode = SM_NEW;
    std::string message;  // the error (kEnd) or the question (kAskToRemove); empty: nothing to show
    const char* caption = "";
};

constexpr char kSetupCaption[] = "Setup";
constexpr char kSetupErrorCaption[] = "Setup Error";

// The decision from whether a record was found, the mode, the user-interface type and the versions of
// the database and of the installed copy. Messages are given only for the full user interface.
InstalledCopyDecision DecideInstalledCopy(bool found, int32_t mode, int32_t uiType,
                                          const std::string& productName, const std::string& databaseVersion,
                                          const std::string& installedVersion);

// A program and its arguments, as the program starter takes them.
struct ProgramCall {
    std::string program;
    std::string arguments;
};

// The installed copy's maintenance run for the same version: "TSSetup.exe -C2" on its saved database.
ProgramCall SameVersionHandOver(const std::string& systemFolder, const std::string& installedTarget);

// The removal of another installed version from its stored removal command: "FO2" is put before the
// command's options (forced, unattended, in a second temporary folder). The program is the text before
// the first " -" (or, when the command begins with a double quote, the text up to the next one), the
// arguments the rest from that blank on. False when the command has no " -" after the program.
bool RemovalCall(const std::string& uninstallCommand, ProgramCall* call);

// What deciding needs from the system.
class InstalledCopyHost {
public:
    virtual ~InstalledCopyHost() = default;
    virtual void ShowError(const std::string& text, const char* caption) = 0;
    // A warning with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text, const char* caption) = 0;
    virtual void CloseStartupNotice() = 0;
    // Starts the program and waits until it ends; false when it could not be started.
    virtual bool RunAndWait(const ProgramCall& call) = 0;
};

// The start-up check for an installed copy: reads the record, then continues (perhaps as a first
// installation, perhaps after removing another version), hands over to the installed copy, or ends the
// run. False ends the run.
bool CheckExistingInstallation(SetupEngine& engine, RecordStore& store, InstalledCopyHost& host);
