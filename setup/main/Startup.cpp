#include "setup/main/Startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cabinet/Cabinet.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "platform/TSSException.h"
#include "setup/engine/CustomActions.h"
#include "setup/engine/Deployment.h"
#include "setup/engine/ExitCodes.h"
#include "setup/engine/Selection.h"
#include "setup/engine/SetupEngine.h"
#include "setup/engine/SingleFileImage.h"
#include "setup/install/ProductRecord.h"
#include "setup/install/Sequence.h"
#include "setup/main/LogFile.h"
#include "setup/main/ProgressDialog.h"
#include "setup/main/SetupRes.h"
#include "setup/main/WinSystem.h"
#include "setup/wizard/ProgressLines.h"
#include "setup/wizard/Wizard.h"

namespace {

constexpr const char kCaption[] = "Setup";

constexpr int kExitDone = setup_exit::kDone;
constexpr int kExitFailed = setup_exit::kFailedBefore;
constexpr int kExitUsage = setup_exit::kUsage;

// A new folder in parent (which ends with a backslash), named prefix, the process number and a count; made
// here, so no other program or run holds it. Empty when none can be made.
std::string MakePrivateFolder(const std::string& parent, const char* prefix) {
    char name[64];
    for (unsigned count = 0; count < 1000; ++count) {
        wsprintfA(name, "%s%lx.%u", prefix, GetCurrentProcessId(), count);
        const std::string path = parent + name;
        if (CreateDirectoryA(path.c_str(), nullptr)) {
            return path;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
    return std::string();
}

// SHFileOperationA wants lists of paths, each list ended by two zero bytes.
std::vector<char> PathList(const std::string& path) {
    std::vector<char> list(path.begin(), path.end());
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

bool ShellCopy(const std::string& from, const std::string& to) {
    std::vector<char> source = PathList(from);
    std::vector<char> target = PathList(to);
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_COPY;
    op.pFrom = source.data();
    op.pTo = target.data();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

void ShellDelete(const std::string& path) {
    std::vector<char> list = PathList(path);
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.data();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&op);
}

// The small captionless window shown while the database loads.
class StartupNotice {
public:
    explicit StartupNotice(HINSTANCE instance) {
        window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_STARTUP_NOTICE), nullptr, Procedure, 0);
        if (window_ != nullptr) {
            ShowWindow(window_, SW_SHOW);
            UpdateWindow(window_);
        }
    }
    ~StartupNotice() { Close(); }
    void Close() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }

private:
    static INT_PTR CALLBACK Procedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
    HWND window_ = nullptr;
};

// The installed-copy check's dealings with the person and the system: its messages, the start-up notice,
// and the other setup program that it starts and waits for.
class InstalledCopyDialogs : public InstalledCopyHost {
public:
    explicit InstalledCopyDialogs(std::unique_ptr<StartupNotice>& notice) : notice_(notice) {}
    void ShowError(const std::string& text, const char* caption) override {
        MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR);
    }
    bool AskYesNo(const std::string& text, const char* caption) override {
        return MessageBoxA(nullptr, text.c_str(), caption, MB_ICONWARNING | MB_YESNO) == IDYES;
    }
    void CloseStartupNotice() override { notice_.reset(); }
    bool RunAndWait(const ProgramCall& call) override { return RunProgram(call.program, &call.arguments, -1); }

private:
    std::unique_ptr<StartupNotice>& notice_;
};

// Removes the private temporary folder on every way out of the run.
class TempFolderGuard {
public:
    explicit TempFolderGuard(SetupEngine& engine) : engine_(engine) {}
    ~TempFolderGuard() {
        if (!engine_.tstempFolder.empty()) {
            ShellDelete(engine_.tstempFolder);
        }
    }

private:
    SetupEngine& engine_;
};

// The system's temporary folder, with its trailing backslash.
std::string TempPath() {
    char tempPath[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, tempPath);
    std::string temp = tempPath;
    if (temp.empty() || temp.back() != '\\') {
        temp += '\\';
    }
    return temp;
}

const char* UITypeName(int32_t uiType) {
    return uiType == kSilentSetup ? "silent" : uiType == kUnattendedSetup ? "unattended" : "full wizard";
}

class Startup {
public:
    Startup(HINSTANCE instance, SetupEngine& engine, LogFile& log)
        : instance_(instance), engine_(engine), log_(log) {}
    // The program's exit code: kExitDone when the run was handed over and its sequence, if it ran, completed
    // (or the switches were shown); kFailedDuring when the sequence failed.
    int Run(const char* commandLine);

private:
    bool FullUI() const { return engine_.UIType() == kFullWizard; }
    void Error(const std::string& text, const char* caption = kCaption) {
        engine_.Log("Failed", text);
        engine_.FlushLog();
        if (FullUI()) {
            MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR);
        }
    }
    int ReportCommandLine(const CommandLine& line);
    // Opens the log and writes the run's first lines; asked: the command line named the file.
    bool OpenLog(const std::string& path, bool asked, const char* commandLine);
    // The target folder and the features that the command line gives; false for a feature that the
    // database does not have.
    bool ApplyDeploymentValues(const CommandLine& line, bool report);
    bool UnpackImage();
    bool LoadDatabase();
    void ExtractSupportFiles();
    // Runs the wizard, the progress window or the silent run; returns the program's exit code.
    int HandOver();

    HINSTANCE instance_;
    SetupEngine& engine_;
    LogFile& log_;
    std::unique_ptr<StartupNotice> notice_;
    bool imageDamaged_ = false;
};

// "?" shows the switches; a line that cannot be read says why, above them. Neither is shown in a silent or
// unattended run, which therefore cannot have done what was asked: it ends as a usage error.
int Startup::ReportCommandLine(const CommandLine& line) {
    if (!FullUI()) {
        return kExitUsage;
    }
    if (!line.error.empty()) {
        MessageBoxA(nullptr, (line.error + "\n\n" + CommandLineHelp()).c_str(), kCaption, MB_OK | MB_ICONERROR);
        return kExitUsage;
    }
    MessageBoxA(nullptr, CommandLineHelp(), kCaption, MB_OK | MB_ICONINFORMATION);
    return kExitDone;
}

// A log file that cannot be written is known before anything changes: the run does not go on without the
// record that its caller asked for. Without one of its own, the run goes on unlogged.
bool Startup::OpenLog(const std::string& path, bool asked, const char* commandLine) {
    std::string reason;
    if (!log_.Open(path, &reason)) {
        if (asked && FullUI()) {
            MessageBoxA(nullptr, ("Can't open the log file \"" + path + "\"!\n\n" + reason).c_str(), kCaption,
                        MB_OK | MB_ICONERROR);
        }
        return false;
    }
    engine_.log = &log_;
    engine_.Log("Setup started",
                engine_.setupProgramPath + " " + (commandLine != nullptr ? commandLine : ""));
    engine_.Log("Mode", std::string(SetupModeName(engine_.mode)) + (engine_.test ? ", test mode" : "") + ", " +
                            UITypeName(engine_.UIType()));
    return true;
}

bool Startup::ApplyDeploymentValues(const CommandLine& line, bool report) {
    if (!line.features.empty()) {
        std::string unknown;
        if (!SelectNamedFeatures(engine_.project.rootFeature, line.features, &unknown)) {
            Error("Unknown feature \"" + unknown + "\" on the command line!");
            return false;
        }
        std::string names;
        for (const std::string& name : line.features) {
            names += (names.empty() ? "" : ", ") + name;
        }
        if (report) {
            engine_.Log("Features from the command line", names);
        }
    }
    if (!line.targetFolder.empty()) {
        engine_.project.target = line.targetFolder;
        if (report) {
            engine_.Log("Target folder from the command line", line.targetFolder);
        }
    }
    return true;
}

bool Startup::UnpackImage() {
    const std::string copy = engine_.tstempFolder + "\\setup.img";
    if (!ShellCopy(engine_.setupProgramPath, copy)) {
        return false;
    }
    ImageContents contents;
    if (!UnpackSingleFileImage(copy, engine_.moduleFolder, engine_.tstempFolder, &contents)) {
        imageDamaged_ = contents.damaged;
        return false;
    }
    engine_.databasePath = contents.databasePath;
    engine_.dataCabinetPath = contents.dataCabinetPath;
    if (!contents.setupProgramPath.empty()) {
        engine_.setupProgramPath = contents.setupProgramPath;
    }
    return true;
}

bool Startup::LoadDatabase() {
    CTreeArchive archive(kMainClass, kSetupProgram);
    if (!archive.OpenForLoad(engine_.databasePath)) {
        Error("Can't open database file!");
        return false;
    }
    engine_.project.Serialize(kProjectKey, archive);
    archive.ExchangeFile(engine_.tstempFolder + "\\TSFiles.cab");
    archive.CloseAfterLoad();
    engine_.project.FindSpecialFolders(false);
    engine_.project.target = engine_.ExpandVariables(engine_.project.target);
    return true;
}

void Startup::ExtractSupportFiles() {
    // A project without licence, banner or splash files carries no support cabinet.
    const std::string supportCabinet = engine_.tstempFolder + "\\TSFiles.cab";
    if (!platform::FileExists(supportCabinet)) {
        return;
    }
    CCabinet cabinet(supportCabinet);
    cabinet.Open();
    cabinet.Extract(nullptr, nullptr, nullptr);
    cabinet.Close();
}

int Startup::HandOver() {
    WinActionLauncher launcher(nullptr);
    INT_PTR wizardResult = IDOK;
    switch (engine_.UIType()) {
        case kFullWizard:
            engine_.FlushLog();  // the wizard waits for a person
            wizardResult = RunWizard(
                engine_,
                WizardServices{[](HWND window) {
                                   return std::unique_ptr<ActionLauncher>(new WinActionLauncher(window));
                               },
                               [](const std::string& program) { return RunProgram(program, nullptr, 0); }});
            if (wizardResult == IDCANCEL && !engine_.completed) {
                return setup_exit::kCancelled;  // the person answered the quit question with Yes
            }
            break;
        case kUnattendedSetup: {
            RunCustomActions(engine_, kPointBeforeWelcome, kPointAlone, launcher);
            CProgressDialog progress(engine_.project.productName + " Setup");
            HWND window = progress.Create(nullptr, IDD_PROGRESS, instance_);
            if (window != nullptr) {
                ShowWindow(window, SW_SHOW);
                UpdateWindow(window);
            }
            RunCustomActions(engine_, 0, kPointAfterConfirmation, launcher);
            ProgressLines lines(window, window, IDC_PROGRESS_LINE1, IDC_PROGRESS_LINE2, IDC_PROGRESS_BAR);
            RunSequence(engine_, window != nullptr ? &lines : nullptr, window);
            if (window != nullptr) {
                ShowWindow(window, SW_HIDE);
            }
            RunCustomActions(engine_, kPointAfterProgress, kPointAfterFinish, launcher);
            if (window != nullptr) {
                DestroyWindow(window);
            }
            break;
        }
        default:
            RunCustomActions(engine_, kPointBeforeWelcome, kPointAfterConfirmation, launcher);
            RunSequence(engine_, nullptr, nullptr);
            RunCustomActions(engine_, kPointAfterProgress, kPointAfterFinish, launcher);
            break;
    }
    if (engine_.failed) {
        return setup_exit::kFailedDuring;
    }
    return engine_.restartNeeded ? setup_exit::kRestartNeeded : kExitDone;
}

int Startup::Run(const char* commandLineText) {
    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    engine_.setupProgramPath = modulePath;
    engine_.moduleFolder = platform::FolderPart(engine_.setupProgramPath);
    engine_.sourceFolder = engine_.moduleFolder;

    const CommandLine line = ParseCommandLine(commandLineText != nullptr ? commandLineText : "");
    engine_.mode = line.mode;
    engine_.force = line.force;
    engine_.test = line.test;
    engine_.project.ui.uiType = line.uiType;
    if (line.help || !line.error.empty()) {
        return ReportCommandLine(line);
    }
    if (!line.logPath.empty() && !OpenLog(line.logPath, true, commandLineText)) {
        return kExitUsage;
    }
    if (FullUI()) {
        notice_ = std::make_unique<StartupNotice>(instance_);
    }
    if (line.hasDatabasePath) {
        engine_.databasePath = line.databasePath;
        engine_.sourceFolder = platform::FolderPart(line.databasePath);
        engine_.dataCabinetPath = engine_.sourceFolder + "\\TSData1.cab";
    }

    // Every run, a second copy included, has a private folder of its own: one that it made, never a folder
    // that was there before (that is someone else's, whatever it is named).
    engine_.tstempFolder = MakePrivateFolder(TempPath(), "ts");
    if (engine_.tstempFolder.empty()) {
        Error("Can't create a temporary folder!");
        return kExitFailed;
    }
    if (line.logPath.empty()) {
        OpenLog(engine_.tstempFolder + "\\" + kRunLogTitle, false, commandLineText);
    }

    if (!line.hasDatabasePath) {
        if (engine_.mode != SM_NEW) {
            Error("Can't find the Setup Database!");
            return kExitFailed;
        }
        if (!UnpackImage()) {
            if (imageDamaged_) {
                notice_.reset();
                Error("The setup file is damaged");
                return kExitFailed;
            }
            engine_.databasePath = engine_.moduleFolder + "\\tsdb.dat";
            engine_.dataCabinetPath = engine_.sourceFolder + "\\TSData1.cab";
        }
    }
    if (!LoadDatabase()) {
        return kExitFailed;
    }
    engine_.Log("Database loaded", engine_.databasePath + " (" + engine_.project.productName + " " +
                                       engine_.project.productVersion + ")");
    // Names that the database does not know end the run before the installed-copy check can change
    // anything; the choice is made again after it, which may have read an installed record.
    if (!ApplyDeploymentValues(line, true)) {
        return kExitUsage;
    }
    if (engine_.project.noARP) {
        engine_.mode = SM_NEW;
    }

    engine_.osCode = ReadOsCode();
    const OsCheckResult os = CheckOperatingSystem(engine_.osCode, engine_.project.min95, engine_.project.minNT,
                                                  engine_.project.productName);
    if (!os.pass) {
        Error(os.message, kOldOsCaption);
        return kExitFailed;
    }
    if (os.clearInstallForAll) {
        engine_.project.ui.askInstallForAll = false;
        engine_.installForAll = false;
    }
    ReadRegisteredUser(engine_);

    InstalledCopyDialogs dialogs(notice_);
    if (!CheckExistingInstallation(engine_, dialogs)) {
        engine_.Log("Ended by the installed copy's check",
                    "an installed copy took over, or the versions do not allow this run");
        return kExitFailed;
    }
    ApplyDeploymentValues(line, false);

    const ModeDecision decision =
        DecideMode(engine_.mode, engine_.UIType(), engine_.force, engine_.project.noModify,
                   engine_.project.noRemove, engine_.project.noRepair, engine_.project.productName);
    if (decision.exit) {
        if (!decision.message.empty()) {
            Error(decision.message);
        } else {
            engine_.Log("Failed", "a silent run cannot change the installation or ask what to do");
        }
        return kExitFailed;
    }
    engine_.mode = decision.mode;
    engine_.project.ui.uiType = decision.uiType;
    engine_.Log("Run", std::string(SetupModeName(engine_.mode)) + ", " + UITypeName(engine_.UIType()) +
                           ", target folder " + engine_.project.target);

    ExtractSupportFiles();
    notice_.reset();
    // Only a maintenance run has features recorded as installed.
    MarkInstalledItems(engine_);
    return HandOver();
}

// The exit code ends the log. A failed run's log in the private temporary folder, which goes at the exit,
// is kept in the user's temporary folder under a name of its own.
void FinishLog(SetupEngine& engine, LogFile& log, int exitCode) {
    engine.Log("Exit code", std::to_string(exitCode) + " (" + setup_exit::Meaning(exitCode) + ")");
    const bool inTempFolder = !engine.tstempFolder.empty() && log.IsOpen() &&
                              log.Path().compare(0, engine.tstempFolder.size(), engine.tstempFolder) == 0;
    if (setup_exit::Succeeded(exitCode) || !inTempFolder) {
        log.Close();
        return;
    }
    const std::string kept = TempPath() + kKeptLogTitle;
    engine.Log("Log kept", kept);
    log.Close();
    CopyFileA(log.Path().c_str(), kept.c_str(), FALSE);
}

}  // namespace

int RunSetupProgram(HINSTANCE instance, const char* commandLine) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxA(nullptr, "OLE initialization failed.  Make sure that the OLE libraries are the correct version.",
                    kCaption, MB_OK | MB_ICONERROR);
        return kExitFailed;
    }
    std::unique_ptr<WinSystemFolders> folders(new (std::nothrow) WinSystemFolders);
    std::unique_ptr<SetupEngine> engine(folders ? new (std::nothrow) SetupEngine(*folders) : nullptr);
    if (!engine) {
        MessageBoxA(nullptr, "Out of memory!", kCaption, MB_ICONERROR);
        OleUninitialize();
        return kExitFailed;
    }
    SetupEngine::SetInstance(engine.get());
    int exitCode = kExitFailed;
    {
        TempFolderGuard guard(*engine);
        LogFile log;
        Startup startup(instance, *engine, log);
        std::string failure;
        try {
            exitCode = startup.Run(commandLine);
        } catch (const CTSSException& e) {
            failure = e.Message();
        } catch (const CTSException& e) {
            failure = e.Message();
        } catch (const std::bad_alloc&) {
            failure = "Out of memory!";
        }
        if (!failure.empty()) {
            engine->Log("Failed", failure);
            engine->FlushLog();
        }
        if (!failure.empty() && engine->UIType() == kFullWizard) {
            MessageBoxA(nullptr, failure.c_str(), kCaption, MB_OK | MB_ICONERROR);
        }
        FinishLog(*engine, log, exitCode);
        engine->log = nullptr;
    }
    SetupEngine::SetInstance(nullptr);
    engine.reset();
    OleUninitialize();
    return exitCode;
}
