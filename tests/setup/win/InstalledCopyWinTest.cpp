// The setup program (TSS.dat started as Setup.exe) meeting an installed copy of its product: a first
// installation registers it, the stored removal command removes it, the same version hands over to the
// installed TSSetup.exe, and another version outside the wizard ends the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"
#include "setup/engine/InstalledRecord.h"
#include "setup/install/Steps.h"
#include "tests/TestSupport.h"
#include "tests/setup/win/SavedVariable.h"
#include "tests/setup/win/WinRegistryTestSupport.h"
#include "tests/setup/win/WinTestSupport.h"

namespace {

using namespace registry_test;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using win_test_support::BuiltPath;
using win_test_support::RunAndWait;

std::string SystemFolder() {
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

// A program started and not waited for; ended (if still running) and closed when the object goes.
class StartedProgram {
public:
    StartedProgram(const std::string& program, const std::string& arguments) {
        std::string line = "\"" + program + "\" " + arguments;
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != 0;
    }
    ~StartedProgram() {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The exit code, or -1 when the program does not end within a minute.
    int Wait() {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process_.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

struct MessageBoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MessageBoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->processId && IsWindowVisible(window) && std::string(title) == "Setup" &&
        GetDlgItem(window, IDYES) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for the program's visible Yes/No box titled "Setup"; null when none comes within 20 seconds.
HWND WaitForQuestion(DWORD processId) {
    for (int i = 0; i < 200; ++i) {
        MessageBoxSearch search{processId, nullptr};
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(100);
    }
    return nullptr;
}

std::string QuestionText(HWND box) {
    char text[2048] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
    return text;
}

// The system folder's TSSetup.exe, put back as it was after the test.
class SavedSetupCopy {
public:
    explicit SavedSetupCopy(std::string path) : path_(std::move(path)) {
        existed_ = platform::FileExists(path_);
        if (existed_)
            platform::File::ReadAll(path_, &bytes_);
        DeleteFileA(path_.c_str());
    }
    ~SavedSetupCopy() {
        DeleteFileA(path_.c_str());
        if (existed_)
            testing_support::WriteBytes(path_, bytes_);
    }

private:
    std::string path_;
    bool existed_ = false;
    std::vector<uint8_t> bytes_;
};

class InstalledCopy : public ::testing::Test {
protected:
    InstalledCopy() {
        for (const std::string& folder : {media, tmp, target}) platform::CreateFolder(folder);
        SetEnvironmentVariableA("TMP", (tmp + "\\").c_str());
        SetEnvironmentVariableA("TEMP", (tmp + "\\").c_str());
        SetEnvironmentVariableA("TESSARO_PROBE_OUT", probeOut.c_str());
        SetEnvironmentVariableA("TESSARO_PROBE_SLEEP", nullptr);
        EXPECT_TRUE(CopyFileA(BuiltPath(TSS_PATH).c_str(), (media + "\\Setup.exe").c_str(), FALSE));
        project.Reset();
        project.productName = "Installed Copy Test";
        project.target = target;
    }
    ~InstalledCopy() override { DeleteKeyAndChildren(HKEY_LOCAL_MACHINE, productKey()); }

    void MakeDatabase(const std::string& version) {
        project.productVersion = version;
        CTreeArchive archive(kMainClass, kBuildDatabase);
        ASSERT_TRUE(archive.OpenForSave(media + "\\tsdb.dat"));
        project.Serialize(kProjectKey, archive);
        archive.CloseAfterSave();
    }

    // The record that a first installation of the version into folder would have left.
    void Register(const std::string& version, const std::string& folder) {
        const std::string key = productKey();
        PutText(HKEY_LOCAL_MACHINE, key, "DisplayVersion", version);
        PutText(HKEY_LOCAL_MACHINE, key, "InstallLocation", folder);
        PutText(HKEY_LOCAL_MACHINE, key, "InstallSource", media);
        PutText(HKEY_LOCAL_MACHINE, key, "SetupFile", media + "\\Setup.exe");
        for (const char* flag : {"InstallStartMenuShortcuts", "InstallDesktopShortcuts", "InstallForAll"}) {
            PutNumber(HKEY_LOCAL_MACHINE, key, flag, 1);
        }
        for (const char* answer : {"RegOwner", "RegCompany", "EMail"})
            PutText(HKEY_LOCAL_MACHINE, key, answer, "");
        PutText(HKEY_LOCAL_MACHINE, key, "UninstallString", copyPath + " -U " + folder + "\\TSdb.dat");
        PutNumber(HKEY_LOCAL_MACHINE, key + "\\InstalledFeatures", "Main", 1);
    }

    std::string productKey() const { return ProductKeyPath(project.productID); }
    Value Product(const char* name) const { return Read(HKEY_LOCAL_MACHINE, productKey(), name); }
    Value SharedCount() const { return Read(HKEY_LOCAL_MACHINE, kSharedDlls, copyPath.c_str()); }
    bool ProbeStarted() const { return platform::FileExists(probeOut + ".args"); }

    SavedVariable savedTmp{"TMP"};
    SavedVariable savedTemp{"TEMP"};
    TempFolder temp;
    std::string media = temp / "media";
    std::string tmp = temp / "tmp";
    std::string target = temp / "target";
    std::string probeOut = temp / "probe.txt";
    std::string copyPath = SystemFolder() + "\\TSSetup.exe";
    SavedSetupCopy savedCopy{copyPath};
    SavedValue savedCount{HKEY_LOCAL_MACHINE, kSharedDlls, copyPath.c_str()};
    SavedValue savedAppPath{HKEY_LOCAL_MACHINE, kSetupAppPath, nullptr};
    SavedValue savedRenames{HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"};
    CProject project;
};

TEST_F(InstalledCopy, FirstInstallationThenRemovalByTheStoredCommand) {
    MakeDatabase("1.0");
    const DWORD countBefore = SharedCount().Number();
    ASSERT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);

    EXPECT_EQ(Product("DisplayVersion").Text(), "1.0");
    EXPECT_EQ(Product("InstallLocation").Text(), target);
    EXPECT_EQ(Product("InstallSource").Text(), media);
    EXPECT_EQ(Product("SetupFile").Text(), media + "\\Setup.exe");
    const std::string uninstall = Product("UninstallString").Text();
    EXPECT_EQ(uninstall, copyPath + " -U \"" + target + "\\TSdb.dat\"");
    EXPECT_EQ(Product("ModifyPath").Text(), copyPath + " -C \"" + target + "\\TSdb.dat\"");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, productKey() + "\\InstalledFeatures", "Main").Number(), 1u);
    EXPECT_EQ(ReadBytes(copyPath), ReadBytes(media + "\\Setup.exe"));
    EXPECT_EQ(SharedCount().Number(), countBefore + 1);
    ASSERT_TRUE(platform::FileExists(target + "\\tsdb.dat"));

    // The list of installed programs starts the stored command; silently here.
    const size_t options = uninstall.find(" -U ");
    ASSERT_NE(options, std::string::npos);
    ASSERT_EQ(RunAndWait(copyPath, "-SU " + uninstall.substr(options + 4)), 0);
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
    EXPECT_EQ(SharedCount().Number(), countBefore);
    // The copy ran the removal itself: it is gone, or goes at the next start of Windows.
    const Value pending = Read(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    const std::string list(pending.data.begin(), pending.data.end());
    if (countBefore == 0) {
        EXPECT_TRUE(!platform::FileExists(copyPath) || list.find("\\??\\" + copyPath + std::string(1, '\0') +
                                                                 std::string(1, '\0')) != std::string::npos);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
}

TEST_F(InstalledCopy, SameVersionStartsTheInstalledCopyAndEnds) {
    const std::string installed = temp / "installed";
    Register("1.0", installed);
    MakeDatabase("1.0");
    ASSERT_TRUE(CopyFileA(BuiltPath(RECORD_ARGS_PATH).c_str(), copyPath.c_str(), FALSE));
    SetEnvironmentVariableA("TESSARO_PROBE_SLEEP", "1500");  // the first run waits for the copy
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 1);
    ASSERT_TRUE(ProbeStarted());
    const std::vector<uint8_t> line = ReadBytes(probeOut + ".args");
    EXPECT_EQ(std::string(line.begin(), line.end()), copyPath + " -C2 " + installed + "\\TSdb.dat");
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));  // the first run installed nothing
    EXPECT_FALSE(platform::FileExists(installed + "\\tsdb.dat"));
}

TEST_F(InstalledCopy, OtherVersionOutsideTheWizardEndsWithoutStartingAnything) {
    Register("1.5", temp / "installed");
    ASSERT_TRUE(CopyFileA(BuiltPath(RECORD_ARGS_PATH).c_str(), copyPath.c_str(), FALSE));
    for (const char* version : {"2.0", "1.0"}) {
        MakeDatabase(version);
        EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 1) << version;
        EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-O"), 1) << version;
    }
    EXPECT_FALSE(ProbeStarted());
    EXPECT_EQ(Product("DisplayVersion").Text(), "1.5");
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
}

TEST_F(InstalledCopy, MaintenanceWithoutARecordEnds) {
    MakeDatabase("1.0");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-SU " + media + "\\tsdb.dat"), 1);
    // A record without its features subkey counts as none.
    Register("1.0", target);
    DeleteKeyAndChildren(HKEY_LOCAL_MACHINE, productKey() + "\\InstalledFeatures");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-SU " + media + "\\tsdb.dat"), 1);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
}

TEST_F(InstalledCopy, SilentChangeOfTheInstalledVersionEnds) {
    // The record lets the run go on; a silent run then cannot ask what to change.
    Register("1.0", target);
    MakeDatabase("1.0");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-SC " + media + "\\tsdb.dat"), 1);
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
    // No sequence ran: the record of features is as it was.
    EXPECT_FALSE(Read(HKEY_LOCAL_MACHINE, productKey() + "\\InstalledFeatures", "Features").exists);
}

TEST_F(InstalledCopy, WizardAsksAndYesRemovesTheOtherVersionFirst) {
    const std::string installed = temp / "installed";
    Register("1.5", installed);
    MakeDatabase("2.0");
    ASSERT_TRUE(CopyFileA(BuiltPath(RECORD_ARGS_PATH).c_str(), copyPath.c_str(), FALSE));
    StartedProgram setup(media + "\\Setup.exe", "");
    ASSERT_TRUE(setup.Started());
    HWND question = WaitForQuestion(setup.Id());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(QuestionText(question).rfind(
                  "An installtion of \"Installed Copy Test\" version \"1.5\" was found", 0),
              0u)
        << QuestionText(question);
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    // The run goes on as a first installation: the wizard opens on its Welcome page once the removal
    // has ended.
    HWND wizard = nullptr;
    for (int i = 0; i < 300 && wizard == nullptr; ++i) {
        wizard = FindWindowA(nullptr, "Installed Copy Test Setup - Welcome");
        Sleep(100);
    }
    EXPECT_NE(wizard, nullptr);
    ASSERT_TRUE(ProbeStarted());
    const std::vector<uint8_t> line = ReadBytes(probeOut + ".args");
    EXPECT_EQ(std::string(line.begin(), line.end()), copyPath + "  -FO2U " + installed + "\\TSdb.dat");
}

TEST_F(InstalledCopy, WizardAsksAndNoEndsTheRun) {
    Register("1.5", temp / "installed");
    MakeDatabase("1.0");
    ASSERT_TRUE(CopyFileA(BuiltPath(RECORD_ARGS_PATH).c_str(), copyPath.c_str(), FALSE));
    StartedProgram setup(media + "\\Setup.exe", "");
    ASSERT_TRUE(setup.Started());
    HWND question = WaitForQuestion(setup.Id());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(QuestionText(question).rfind("A newer version of \"Installed Copy Test\" (Version 1.5)", 0), 0u)
        << QuestionText(question);
    PostMessageA(question, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(setup.Wait(), 1);
    EXPECT_FALSE(ProbeStarted());
    EXPECT_EQ(Product("DisplayVersion").Text(), "1.5");
}

}  // namespace
