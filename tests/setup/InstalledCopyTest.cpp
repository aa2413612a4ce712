#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/InstalledCopy.h"
#include "tests/setup/NoShellFolders.h"

namespace {

using Action = InstalledCopyAction;

constexpr int kSilent = 0;
constexpr int kUnattended = 1;
constexpr int kFull = 2;

TEST(InstalledCopyDecision, NothingInstalled) {
    for (int ui : {kSilent, kUnattended, kFull}) {
        SCOPED_TRACE(ui);
        EXPECT_EQ(DecideInstalledCopy(false, SM_NEW, ui, "W", "1.0", "").action, Action::kContinue);
        EXPECT_EQ(DecideInstalledCopy(false, SM_REPAIR, ui, "W", "1.0", "").action, Action::kContinue);
        const InstalledCopyDecision ask = DecideInstalledCopy(false, SM_ASK, ui, "W", "1.0", "");
        EXPECT_EQ(ask.action, Action::kContinue);
        EXPECT_EQ(ask.mode, SM_NEW);
        for (int mode : {SM_CHANGE, SM_REMOVE}) {
            const InstalledCopyDecision d = DecideInstalledCopy(false, mode, ui, "Widget", "1.0", "");
            EXPECT_EQ(d.action, Action::kEnd);
            EXPECT_EQ(d.mode, mode);
            EXPECT_EQ(d.message,
                      ui == kFull ? "Cannot find any Installation of \"Widget\" on this computer!" : "");
            if (ui == kFull) {
                EXPECT_STREQ(d.caption, "Setup Error");
            }
        }
    }
}

TEST(InstalledCopyDecision, SameVersion) {
    for (int ui : {kSilent, kFull}) {
        EXPECT_EQ(DecideInstalledCopy(true, SM_NEW, ui, "W", "1.5", "1.5").action, Action::kRunInstalledCopy);
        for (int mode : {SM_CHANGE, SM_REMOVE, SM_REPAIR, SM_ASK}) {
            const InstalledCopyDecision d = DecideInstalledCopy(true, mode, ui, "W", "1.5", "1.5");
            EXPECT_EQ(d.action, Action::kContinue);
            EXPECT_EQ(d.mode, mode);
        }
    }
}

TEST(InstalledCopyDecision, OtherVersionAtFirstInstallation) {
    const InstalledCopyDecision newer = DecideInstalledCopy(true, SM_NEW, kFull, "Widget", "1.0", "1.5");
    EXPECT_EQ(newer.action, Action::kAskToRemove);
    EXPECT_STREQ(newer.caption, "Setup");
    EXPECT_EQ(
        newer.message,
        "A newer version of \"Widget\" (Version 1.5) was found on this computer. If you still want to "
        "install "
        "the old version, you must uninstall the current installation. Do you want to uninstall the current "
        "installation?\nClick \"Yes\" to uninstall the existing installation and then install the older "
        "version. Click \"No\" to quit this installation program.");
    const InstalledCopyDecision older = DecideInstalledCopy(true, SM_NEW, kFull, "Widget", "2.0", "1.5");
    EXPECT_EQ(older.action, Action::kAskToRemove);
    EXPECT_STREQ(older.caption, "Setup");
    EXPECT_EQ(
        older.message,
        "An installtion of \"Widget\" version \"1.5\" was found on this computer. Do you want to uninstall "
        "this installation before installing the new version?\nClick \"Yes\" to uninstall the old version "
        "and then install the new version. Click \"No\" to quit this installation program.");
    // By bytes: 1.10 is lower than 1.9.
    EXPECT_EQ(
        DecideInstalledCopy(true, SM_NEW, kFull, "W", "1.10", "1.9").message.rfind("A newer version", 0), 0u);
    // Outside the full user interface nobody can be asked: the run ends quietly.
    for (int ui : {kSilent, kUnattended}) {
        for (const char* version : {"1.0", "2.0"}) {
            const InstalledCopyDecision d = DecideInstalledCopy(true, SM_NEW, ui, "W", version, "1.5");
            EXPECT_EQ(d.action, Action::kEnd);
            EXPECT_EQ(d.message, "");
        }
    }
}

TEST(InstalledCopyDecision, OtherVersionInMaintenance) {
    for (int mode : {SM_CHANGE, SM_ASK}) {
        const InstalledCopyDecision d = DecideInstalledCopy(true, mode, kFull, "W", "2.0", "1.5");
        EXPECT_EQ(d.action, Action::kEnd);
        EXPECT_EQ(d.message, "Database/Registry version mismatch!");
        EXPECT_STREQ(d.caption, "Setup Error");
        EXPECT_EQ(DecideInstalledCopy(true, mode, kUnattended, "W", "2.0", "1.5").message, "");
    }
    for (int mode : {SM_REMOVE, SM_REPAIR}) {
        EXPECT_EQ(DecideInstalledCopy(true, mode, kFull, "W", "2.0", "1.5").action, Action::kContinue);
    }
}

TEST(InstalledCopyDecision, NamesWithPercentSignsStayAsTheyAre) {
    const InstalledCopyDecision d = DecideInstalledCopy(false, SM_REMOVE, kFull, "100%s %d Tool", "1", "");
    EXPECT_EQ(d.message, "Cannot find any Installation of \"100%s %d Tool\" on this computer!");
}

TEST(InstalledCopyCommands, SameVersionHandOver) {
    const ProgramCall call = SameVersionHandOver("C:\\WINDOWS\\SYSTEM", "C:\\Program Files\\Widget");
    EXPECT_EQ(call.program, "C:\\WINDOWS\\SYSTEM\\TSSetup.exe");
    EXPECT_EQ(call.arguments, "-C2 C:\\Program Files\\Widget\\TSdb.dat");
}

TEST(InstalledCopyCommands, RemovalOfAnotherVersion) {
    ProgramCall call;
    ASSERT_TRUE(RemovalCall("C:\\WINDOWS\\SYSTEM\\TSSetup.exe -U C:\\Program Files\\W -x\\TSdb.dat", &call));
    EXPECT_EQ(call.program, "C:\\WINDOWS\\SYSTEM\\TSSetup.exe");
    EXPECT_EQ(call.arguments, " -FO2U C:\\Program Files\\W -x\\TSdb.dat");  // only the first " -"
    ASSERT_TRUE(RemovalCall("P -", &call));
    EXPECT_EQ(call.program, "P");
    EXPECT_EQ(call.arguments, " -FO2");
    EXPECT_FALSE(RemovalCall("C:\\TSSetup.exe/U", &call));
    EXPECT_FALSE(RemovalCall("", &call));
}

// Stored commands quote the database path; a program in quotes is the text between them.
TEST(InstalledCopyCommands, RemovalFromQuotedCommands) {
    const struct {
        const char* command;
        const char* program;  // nullptr: not a command
        const char* arguments;
    } cases[] = {
        {"C:\\WINDOWS\\SYSTEM\\TSSetup.exe -U \"C:\\Program Files\\W\\TSdb.dat\"",
         "C:\\WINDOWS\\SYSTEM\\TSSetup.exe", " -FO2U \"C:\\Program Files\\W\\TSdb.dat\""},
        {"\"C:\\My -Tools\\TSSetup.exe\" -U \"C:\\W\\TSdb.dat\"", "C:\\My -Tools\\TSSetup.exe",
         " -FO2U \"C:\\W\\TSdb.dat\""},
        {"\"C:\\TSSetup.exe -U C:\\W\\TSdb.dat", nullptr, ""},  // no closing quote
        {"\"C:\\TSSetup.exe\"", nullptr, ""},                   // no options
    };
    for (const auto& c : cases) {
        ProgramCall call;
        EXPECT_EQ(RemovalCall(c.command, &call), c.program != nullptr) << c.command;
        if (c.program != nullptr) {
            EXPECT_EQ(call.program, c.program);
            EXPECT_EQ(call.arguments, c.arguments);
        }
    }
}

// A registry with one product installed, or none.
class OneProductStore : public RecordStore {
public:
    class Reader : public RecordKeyReader {
    public:
        explicit Reader(const std::map<std::string, std::string>& values) : values_(values) {}
        bool ReadText(const std::string& name, std::string* value) override {
            auto it = values_.find(name);
            if (it == values_.end() || it->second.rfind("#", 0) == 0)
                return false;
            *value = it->second;
            return true;
        }
        bool ReadNumber(const std::string& name, uint32_t* value) override {
            auto it = values_.find(name);
            if (it == values_.end() || it->second.rfind("#", 0) != 0)
                return false;
            *value = static_cast<uint32_t>(std::stoul(it->second.substr(1)));
            return true;
        }

    private:
        std::map<std::string, std::string> values_;
    };

    std::unique_ptr<RecordKeyReader> OpenForReading(const std::string& keyPath) override {
        if (!installed)
            return nullptr;
        if (keyPath.size() > 18 && keyPath.compare(keyPath.size() - 18, 18, "\\InstalledFeatures") == 0) {
            return std::make_unique<Reader>(std::map<std::string, std::string>{{"Main", "#1"}});
        }
        return std::make_unique<Reader>(product);
    }

    bool installed = true;
    std::map<std::string, std::string> product{
        {"DisplayVersion", "1.5"},
        {"InstallLocation", "E:\\Widget"},
        {"InstallSource", "E:\\OldMedia"},
        {"SetupFile", "E:\\OldMedia\\Setup.exe"},
        {"InstallStartMenuShortcuts", "#1"},
        {"InstallDesktopShortcuts", "#1"},
        {"InstallForAll", "#0"},
        {"RegOwner", "Ann"},
        {"RegCompany", "Acme"},
        {"EMail", ""},
        {"UninstallString", "C:\\WINDOWS\\SYSTEM\\TSSetup.exe -U E:\\Widget\\TSdb.dat"},
    };
};

// Records what start-up would show and start, in order.
class RecordingHost : public InstalledCopyHost {
public:
    void ShowError(const std::string& text, const char* caption) override {
        events.push_back(std::string("error[") + caption + "] " + text);
    }
    bool AskYesNo(const std::string& text, const char* caption) override {
        events.push_back(std::string("ask[") + caption + "] " + text.substr(0, 20));
        return answer;
    }
    void CloseStartupNotice() override { events.push_back("close notice"); }
    bool RunAndWait(const ProgramCall& call) override {
        events.push_back("run " + call.program + "|" + call.arguments);
        return true;
    }
    bool answer = true;
    std::vector<std::string> events;
};

class ExistingInstallation : public ::testing::Test {
protected:
    ExistingInstallation() {
        engine.project.productName = "Widget";
        engine.project.productVersion = "1.5";
        engine.project.target = "C:\\New";
        engine.project.rootFeature.name = "Features";
        engine.project.rootFeature.AddChild(std::make_unique<CFeature>("Main", "m"));
        engine.databasePath = "D:\\tsdb.dat";
        engine.sourceFolder = "D:";
        engine.dataCabinetPath = "D:\\TSData1.cab";
        engine.project.ui.uiType = kFull;
    }
    CFeature* Main() { return engine.project.rootFeature.FindChild("Main"); }

    NoShellFolders folders{"C:\\WINDOWS\\SYSTEM"};
    SetupEngine engine{folders};
    OneProductStore store;
    RecordingHost host;
};

TEST_F(ExistingInstallation, SameVersionHandsOverToTheInstalledCopyAndEnds) {
    EXPECT_FALSE(CheckExistingInstallation(engine, store, host));
    const std::vector<std::string> expected{"close notice",
                                            "run C:\\WINDOWS\\SYSTEM\\TSSetup.exe|-C2 E:\\Widget\\TSdb.dat"};
    EXPECT_EQ(host.events, expected);
}

TEST_F(ExistingInstallation, YesRemovesTheOtherVersionThenInstallsFromThisMedia) {
    engine.project.productVersion = "2.0";
    ASSERT_TRUE(CheckExistingInstallation(engine, store, host));
    const std::vector<std::string> expected{
        "ask[Setup] An installtion of \"W",
        "run C:\\WINDOWS\\SYSTEM\\TSSetup.exe| -FO2U E:\\Widget\\TSdb.dat"};
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(engine.mode, SM_NEW);
    EXPECT_EQ(engine.installedVersion, "");
    EXPECT_EQ(engine.sourceFolder, "D:");
    EXPECT_EQ(engine.dataCabinetPath, "D:\\TSData1.cab");
    EXPECT_FALSE(Main()->installed);
    EXPECT_TRUE(Main()->selected);
    EXPECT_EQ(engine.userName, "Ann");  // the earlier answers stay as proposals
}

TEST_F(ExistingInstallation, RemovalKeepsTheCabinetOfASingleFileImage) {
    // An unpacked image: the database and the data cabinet lie in the private folder.
    engine.project.productVersion = "2.0";
    engine.databasePath = "C:\\TEMP\\ts\\TSdb.dat";
    engine.sourceFolder = "D:\\Download";
    engine.dataCabinetPath = "C:\\TEMP\\ts\\TSData.cab";
    ASSERT_TRUE(CheckExistingInstallation(engine, store, host));
    EXPECT_EQ(engine.sourceFolder, "D:\\Download");
    EXPECT_EQ(engine.dataCabinetPath, "C:\\TEMP\\ts\\TSData.cab");
}

TEST_F(ExistingInstallation, NoEndsWithoutRemoving) {
    engine.project.productVersion = "1.0";
    host.answer = false;
    EXPECT_FALSE(CheckExistingInstallation(engine, store, host));
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0], "ask[Setup] A newer version of \"");
}

TEST_F(ExistingInstallation, UnusableRemovalCommandStartsNothing) {
    engine.project.productVersion = "2.0";
    store.product["UninstallString"] = "TSSetup.exe";
    ASSERT_TRUE(CheckExistingInstallation(engine, store, host));
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(engine.installedVersion, "");
}

TEST_F(ExistingInstallation, OtherVersionOutsideTheWizardEndsQuietly) {
    engine.project.productVersion = "2.0";
    engine.project.ui.uiType = kUnattended;
    EXPECT_FALSE(CheckExistingInstallation(engine, store, host));
    EXPECT_TRUE(host.events.empty());
}

TEST_F(ExistingInstallation, MaintenanceWithoutRecord) {
    store.installed = false;
    engine.mode = SM_REMOVE;
    EXPECT_FALSE(CheckExistingInstallation(engine, store, host));
    const std::vector<std::string> expected{
        "error[Setup Error] Cannot find any Installation of \"Widget\" on this computer!"};
    EXPECT_EQ(host.events, expected);
    engine.mode = SM_ASK;
    EXPECT_TRUE(CheckExistingInstallation(engine, store, host));
    EXPECT_EQ(engine.mode, SM_NEW);
    EXPECT_EQ(host.events.size(), 1u);
}

TEST_F(ExistingInstallation, MaintenanceOfTheInstalledVersionGoesOnWithTheRecord) {
    engine.mode = SM_CHANGE;
    ASSERT_TRUE(CheckExistingInstallation(engine, store, host));
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(engine.installedVersion, "1.5");
    EXPECT_EQ(engine.project.target, "E:\\Widget");
    EXPECT_TRUE(Main()->installed);
}

}  // namespace
