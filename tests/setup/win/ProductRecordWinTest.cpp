// The installed-product record and the setup program's copy, written and removed by the sequence's last
// two steps for a project in memory, and read back from the registry and the target folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"
#include "setup/install/ProductRecord.h"
#include "setup/install/Steps.h"
#include "tests/TestSupport.h"
#include "tests/setup/win/WinRegistryTestSupport.h"
#include "tests/setup/win/WinTestSupport.h"

namespace {

using namespace registry_test;
using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;
using win_test_support::BuiltPath;

class TestFolders : public SystemFolders {
public:
    explicit TestFolders(std::string base) : base_(std::move(base)) {}
    std::string WindowsFolder() override { return base_ + "\\windows"; }
    std::string SystemFolder() override { return base_ + "\\system"; }
    std::string ShellFolder(const std::string&, bool) override { return std::string(); }

private:
    std::string base_;
};

class RecordingSink : public ProgressSink {
public:
    void SetActionText(const char* format, const char* text, int32_t number) override {
        calls.push_back(std::string("action ") + format + "|" + (text != nullptr ? text : "-") + "|" +
                        std::to_string(number));
    }
    void SetDetailText(const char* format, int32_t, const char*) override {
        calls.push_back(std::string("detail ") + format);
    }
    void SetPosition(int32_t position) override { calls.push_back("position " + std::to_string(position)); }
    void Step(int32_t delta) override { calls.push_back("step " + std::to_string(delta)); }
    void SetRange(int32_t max) override { calls.push_back("range " + std::to_string(max)); }
    std::vector<std::string> calls;
};

std::string ModulePath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class ProductRecord : public ::testing::Test {
protected:
    ProductRecord() {
        for (const std::string& folder : {system, target, tstemp, media}) platform::CreateFolder(folder);
        CProject& project = engine.project;
        project.Reset();
        project.productName = "Record Test";
        project.productVersion = "1.5";
        project.manufacturer = "Aldmere";
        project.productURL = "http://example.com/";
        project.supportPhone = "555-0100";
        project.comments = "A comment";
        project.target = target;
        project.noRemove = true;
        CFeature* extra = project.rootFeature.AddChild(std::make_unique<CFeature>("Extra", "e"));
        extra->selected = false;
        extra->AddChild(std::make_unique<CFeature>("Help", "h"));
        auto icon = std::make_unique<CFileItem>();
        icon->title = "app.exe";
        icon->folder = project.rootFolders[0];
        project.iconFile = project.files.Add(std::move(icon));
        project.iconIndex = 2;

        engine.mode = SM_NEW;
        engine.osCode = 0x8000;  // Windows XP
        engine.userName = "Ann";
        engine.companyName = "Acme";
        engine.userEmail = "ann@example.com";
        engine.desktopShortcuts = false;
        engine.installForAll = true;
        engine.sourceFolder = media;
        engine.databasePath = media + "\\tsdb.dat";
        engine.dataCabinetPath = media + "\\TSData1.cab";
        engine.tstempFolder = tstemp;
        engine.setupProgramPath = media + "\\Setup.exe";
        EXPECT_TRUE(CopyFileA(BuiltPath(RECORD_ARGS_PATH).c_str(), engine.setupProgramPath.c_str(), FALSE));
        WriteBytes(tstemp + "\\TSFiles.cab", supportCabinet);
        WriteBytes(media + "\\TSData1.cab", {'M', 'S', 'C', 'F'});
    }
    ~ProductRecord() override {
        DeleteKeyAndChildren(HKEY_LOCAL_MACHINE, productKey());
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, copyPath().c_str());
            RegCloseKey(key);
        }
    }

    std::string productKey() const { return ProductKeyPath(engine.project.productID); }
    std::string featuresKey() const { return productKey() + "\\InstalledFeatures"; }
    std::string copyPath() const { return system + "\\TSSetup.exe"; }
    Value Product(const char* name) const { return Read(HKEY_LOCAL_MACHINE, productKey(), name); }
    Value SharedCount() const { return Read(HKEY_LOCAL_MACHINE, kSharedDlls, copyPath().c_str()); }

    void RunLastSteps() {
        InstallRun run{engine, &sink, nullptr};
        RegisterProduct(run);
        InstallSetupProgram(run);
    }

    // The database saved on the target, loaded as a later run of the setup program loads it.
    void LoadSaved(CProject& project, const std::string& supportCopy) {
        CTreeArchive archive(kMainClass, kSetupProgram);
        ASSERT_TRUE(archive.OpenForLoad(target + "\\tsdb.dat"));
        project.Serialize(kProjectKey, archive);
        archive.ExchangeFile(supportCopy);
        archive.CloseAfterLoad();
    }

    TempFolder temp;
    std::string system = temp / "system";
    std::string target = temp / "target";
    std::string tstemp = temp / "ts";
    std::string media = temp / "media";
    const std::vector<uint8_t> supportCabinet{'M', 'S', 'C', 'F', 's', 'u', 'p'};
    TestFolders folders{temp.Path()};
    SetupEngine engine{folders};
    RecordingSink sink;
    SavedValue appPath{HKEY_LOCAL_MACHINE, kSetupAppPath, nullptr};
    SavedValue pending{HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"};
};

TEST_F(ProductRecord, FirstInstallationWritesEveryValueTheCopyAndTheDatabase) {
    RunLastSteps();
    const std::vector<std::string> progress{"action Registring \"%s\"...|Record Test|0", "detail ",
                                            "range -1"};
    EXPECT_EQ(sink.calls, progress);

    struct Expected {
        const char* name;
        DWORD type;
        std::string text;
        DWORD number;
    };
    const std::vector<Expected> table{
        {"DisplayName", REG_SZ, "Record Test", 0},
        {"DisplayVersion", REG_SZ, "1.5", 0},
        {"Publisher", REG_SZ, "Aldmere", 0},
        {"HelpLink", REG_SZ, "http://example.com/", 0},
        {"HelpTelephone", REG_SZ, "555-0100", 0},
        {"RegCompany", REG_SZ, "Acme", 0},
        {"RegOwner", REG_SZ, "Ann", 0},
        {"EMail", REG_SZ, "ann@example.com", 0},
        {"InstallSource", REG_SZ, media, 0},
        {"SetupFile", REG_SZ, ModulePath(), 0},
        {"DisplayIcon", REG_SZ, target + "\\app.exe,2", 0},
        {"InstallLocation", REG_SZ, target, 0},
        {"NoModify", REG_DWORD, "", 0},
        {"NoRemove", REG_DWORD, "", 1},
        {"ModifyPath", REG_SZ, system + "\\TSSetup.exe -C \"" + target + "\\TSdb.dat\"", 0},
        {"UninstallString", REG_SZ, system + "\\TSSetup.exe -U \"" + target + "\\TSdb.dat\"", 0},
        {"Comments", REG_SZ, "A comment", 0},
        {"InstallStartMenuShortcuts", REG_DWORD, "", 1},
        {"InstallDesktopShortcuts", REG_DWORD, "", 0},
        {"InstallForAll", REG_DWORD, "", 1},
        {"QuietUninstallString", REG_SZ, system + "\\TSSetup.exe -SU \"" + target + "\\TSdb.dat\"", 0},
    };
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        const Value value = Product(row.name);
        ASSERT_TRUE(value.exists);
        EXPECT_EQ(value.type, row.type);
        if (row.type == REG_SZ) {
            EXPECT_EQ(value.data.size(), row.text.size() + 1);  // stored with its terminating zero
            EXPECT_EQ(value.Text(), row.text);
        } else {
            EXPECT_EQ(value.data.size(), 4u);
            EXPECT_EQ(value.Number(), row.number);
        }
    }
    DWORD valueCount = 0;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    // Besides the table: the size, the date and the product's web address, whose texts other tests check.
    for (const char* name : {"EstimatedSize", "InstallDate", "URLInfoAbout"}) {
        EXPECT_TRUE(Product(name).exists) << name;
    }
    EXPECT_EQ(valueCount, table.size() + 3);  // not NoRepair, nor anything else
    EXPECT_FALSE(Product("NoRepair").exists);

    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Features").Number(), 1u);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Main").Number(), 1u);
    const Value extra = Read(HKEY_LOCAL_MACHINE, featuresKey(), "Extra");
    EXPECT_TRUE(extra.exists);
    EXPECT_EQ(extra.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(extra.Number(), 0u);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Help").Number(), 1u);

    EXPECT_EQ(ReadBytes(copyPath()), ReadBytes(engine.setupProgramPath));
    EXPECT_EQ(SharedCount().Number(), 1u);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kSetupAppPath, nullptr).Text(), copyPath());

    CProject saved;
    platform::CreateFolder(temp / "out");
    LoadSaved(saved, temp / "out\\TSFiles.cab");  // the embedded file is named by its title
    EXPECT_EQ(saved.productName, "Record Test");
    EXPECT_EQ(saved.target, target);
    EXPECT_EQ(saved.productID, engine.project.productID);
    ASSERT_NE(saved.rootFeature.FindChild("Extra"), nullptr);
    EXPECT_FALSE(saved.rootFeature.FindChild("Extra")->selected);
    EXPECT_EQ(ReadBytes(temp / "out\\TSFiles.cab"), supportCabinet);
}

TEST_F(ProductRecord, RecordReadsBackIntoALaterRun) {
    RunLastSteps();
    // A later run with -U: the saved database, paths from its command line.
    TestFolders laterFolders{temp.Path()};
    SetupEngine later{laterFolders};
    LoadSaved(later.project, tstemp + "\\TSFiles.cab");
    later.project.target = "C:\\Elsewhere";
    later.project.rootFeature.FindChild("Extra")->selected = true;
    later.mode = SM_REMOVE;
    later.sourceFolder = target;
    later.dataCabinetPath = target + "\\TSData1.cab";
    later.tstempFolder = tstemp;
    ASSERT_TRUE(ReadInstalledRecord(later));
    EXPECT_EQ(later.installedVersion, "1.5");
    EXPECT_EQ(later.project.target, target);
    EXPECT_EQ(later.sourceFolder, media);
    EXPECT_EQ(later.dataCabinetPath, media + "\\TSData1.cab");
    EXPECT_TRUE(later.menuShortcuts);
    EXPECT_FALSE(later.desktopShortcuts);
    EXPECT_TRUE(later.installForAll);
    EXPECT_EQ(later.userName, "Ann");
    EXPECT_EQ(later.companyName, "Acme");
    EXPECT_EQ(later.userEmail, "ann@example.com");
    EXPECT_EQ(later.installedUninstallCommand, system + "\\TSSetup.exe -U \"" + target + "\\TSdb.dat\"");
    CFeature* extra = later.project.rootFeature.FindChild("Extra");
    EXPECT_FALSE(extra->installed || extra->selected);
    EXPECT_TRUE(extra->FindChild("Help")->installed);
    EXPECT_TRUE(later.project.rootFeature.FindChild("Main")->installed);

    // Without its features subkey the record counts as no installation.
    DeleteKeyAndChildren(HKEY_LOCAL_MACHINE, featuresKey());
    later.project.target = "C:\\Elsewhere";
    EXPECT_FALSE(ReadInstalledRecord(later));
    EXPECT_EQ(later.project.target, "C:\\Elsewhere");
}

TEST_F(ProductRecord, FoldersMadeForTheSavedDatabaseAreRecordedForTheRemovalRun) {
    // A product of registry data alone: its target folder, and the folder above it, exist only for the
    // saved database.
    const std::string made = temp / "Maker";
    engine.project.target = made + "\\Product";
    engine.createdFolders.known = true;  // a first installation
    InstallRun run{engine, &sink, nullptr};
    RegisterProduct(run);
    InstallSetupProgram(run);
    RecordCreatedFolders(run);
    ASSERT_TRUE(platform::FileExists(engine.project.target + "\\tsdb.dat"));
    const std::string createdKey = productKey() + "\\CreatedFolders";
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, createdKey, "0").Text(), made);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, createdKey, "1").Text(), engine.project.target);

    // The removal is another run, of the installed copy: it knows the folders from the record alone.
    TestFolders laterFolders{temp.Path()};
    SetupEngine later{laterFolders};
    later.project.Reset();
    later.project.productID = engine.project.productID;
    later.mode = SM_REMOVE;
    later.tstempFolder = tstemp;
    ASSERT_TRUE(ReadInstalledRecord(later));
    ASSERT_TRUE(later.createdFolders.known);
    InstallRun removal{later, nullptr, nullptr};
    RemoveFiles(removal);
    RemoveFolders(removal);
    EXPECT_FALSE(platform::FolderExists(made));
    EXPECT_TRUE(platform::FolderExists(temp.Path()));
}

TEST_F(ProductRecord, RemovalTakesTheCopyAndTheDatabase) {
    RunLastSteps();
    ASSERT_TRUE(platform::FileExists(copyPath()));
    ASSERT_TRUE(platform::FileExists(target + "\\tsdb.dat"));
    engine.mode = SM_REMOVE;
    sink.calls.clear();
    RunLastSteps();
    EXPECT_FALSE(platform::FileExists(copyPath()));
    EXPECT_FALSE(SharedCount().exists);
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
    EXPECT_EQ(engine.sharedFileAnswer, 2);
    // No "Registring" text at removal; the copy's path is the detail line.
    const std::vector<std::string> progress{"detail " + copyPath()};
    EXPECT_EQ(sink.calls, progress);
}

TEST_F(ProductRecord, RemovalDeletesTheKeyAndTheAppPath) {
    RunLastSteps();
    engine.mode = SM_REMOVE;
    RunLastSteps();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSetupAppPath));
}

TEST_F(ProductRecord, CopyCountedByAnotherProductStays) {
    PutNumber(HKEY_LOCAL_MACHINE, kSharedDlls, copyPath().c_str(), 1);
    RunLastSteps();
    EXPECT_EQ(SharedCount().Number(), 2u);
    engine.mode = SM_REMOVE;
    RunLastSteps();
    EXPECT_EQ(SharedCount().Number(), 1u);
    EXPECT_TRUE(platform::FileExists(copyPath()));
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kSetupAppPath, nullptr).Text(), copyPath());
}

TEST_F(ProductRecord, ChangeRewritesOnlyFeaturesAndDatabase) {
    RunLastSteps();
    PutText(HKEY_LOCAL_MACHINE, productKey(), "DisplayName", "Renamed by hand");
    DeleteFileA(copyPath().c_str());
    DeleteFileA((target + "\\tsdb.dat").c_str());
    engine.mode = SM_CHANGE;
    engine.project.productName = "Another Name";
    engine.project.rootFeature.FindChild("Extra")->selected = true;
    engine.project.rootFeature.FindChild("Main")->selected = false;
    sink.calls.clear();
    RunLastSteps();
    EXPECT_EQ(sink.calls.at(0), "action Registring \"%s\"...|Another Name|0");
    EXPECT_EQ(Product("DisplayName").Text(), "Renamed by hand");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Extra").Number(), 1u);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Main").Number(), 0u);
    EXPECT_FALSE(platform::FileExists(copyPath()));  // the copy is a first installation's
    EXPECT_EQ(SharedCount().Number(), 1u);
    CProject saved;
    LoadSaved(saved, tstemp + "\\TSFiles.cab");
    EXPECT_TRUE(saved.rootFeature.FindChild("Extra")->selected);
    EXPECT_EQ(saved.productName, "Another Name");
}

TEST_F(ProductRecord, RepairWritesFeaturesOnly) {
    RunLastSteps();
    DeleteFileA((target + "\\tsdb.dat").c_str());
    engine.mode = SM_REPAIR;
    engine.project.rootFeature.FindChild("Main")->selected = false;
    RunLastSteps();
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, featuresKey(), "Main").Number(), 0u);
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
    EXPECT_EQ(SharedCount().Number(), 1u);
}

TEST_F(ProductRecord, TestModeChangesNothing) {
    engine.test = true;
    RunLastSteps();
    EXPECT_EQ(sink.calls.at(0), "action Registring \"%s\"...|Record Test|0");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
    EXPECT_FALSE(platform::FileExists(copyPath()));
    EXPECT_FALSE(SharedCount().exists);
    EXPECT_NE(Read(HKEY_LOCAL_MACHINE, kSetupAppPath, nullptr).Text(), copyPath());
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));

    // A removal in test mode leaves a real installation as it is.
    engine.test = false;
    RunLastSteps();
    engine.test = true;
    engine.mode = SM_REMOVE;
    RunLastSteps();
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
    EXPECT_TRUE(platform::FileExists(copyPath()));
    EXPECT_EQ(SharedCount().Number(), 1u);
    EXPECT_TRUE(platform::FileExists(target + "\\tsdb.dat"));
}

TEST_F(ProductRecord, ProjectWithoutTargetSavesNoDatabase) {
    // A target of "" would put the database at the root of the current drive.
    ASSERT_FALSE(platform::FileExists("\\tsdb.dat"));
    engine.project.target.clear();
    RunLastSteps();
    EXPECT_FALSE(platform::FileExists("\\tsdb.dat"));
    EXPECT_TRUE(platform::FileExists(copyPath()));
}

TEST_F(ProductRecord, UnregisteredProductGetsNoRecordNoCopyNoDatabase) {
    engine.project.noARP = true;
    RunLastSteps();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey()));
    EXPECT_FALSE(platform::FileExists(copyPath()));
    EXPECT_FALSE(platform::FileExists(target + "\\tsdb.dat"));
    EXPECT_TRUE(sink.calls.empty());
}

// Sets a file's last-write time.
void SetWriteTime(const std::string& path, FILETIME time) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

constexpr FILETIME kYear1990{0x18d64000, 0x1b41e2a};
constexpr FILETIME kYear2100{0x77640000, 0x22f7163};

TEST_F(ProductRecord, NewerCopyInPlaceIsKept) {
    const std::vector<uint8_t> newer{'n', 'e', 'w', 'e', 'r'};
    WriteBytes(copyPath(), newer);
    SetWriteTime(copyPath(), kYear2100);
    RunLastSteps();
    EXPECT_EQ(ReadBytes(copyPath()), newer);
    EXPECT_EQ(SharedCount().Number(), 1u);  // counted all the same
}

TEST_F(ProductRecord, CopyInUseIsReplacedAtTheNextStart) {
    const std::vector<uint8_t> older{'o', 'l', 'd'};
    WriteBytes(copyPath(), older);
    SetWriteTime(copyPath(), kYear1990);
    // Held as a running program holds its file: readers welcome, writers not.
    HANDLE file =
        CreateFileA(copyPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Value earlier;
    earlier.exists = true;
    earlier.type = REG_MULTI_SZ;
    const std::string entries = std::string("\\??\\C:\\a.cor") + '\0' + "\\??\\C:\\a" + '\0' + '\0';
    earlier.data.assign(entries.begin(), entries.end());
    Put(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", earlier);
    RunLastSteps();
    CloseHandle(file);
    EXPECT_TRUE(engine.restartNeeded);
    EXPECT_EQ(ReadBytes(copyPath()), older);
    EXPECT_EQ(ReadBytes(copyPath() + ".cor"), ReadBytes(engine.setupProgramPath));
    const Value renames = Read(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    EXPECT_EQ(renames.type, static_cast<DWORD>(REG_MULTI_SZ));
    const std::string expected = std::string("\\??\\C:\\a.cor") + '\0' + "\\??\\C:\\a" + '\0' + "\\??\\" +
                                 copyPath() + ".cor" + '\0' + "!\\??\\" + copyPath() + '\0' + '\0';
    EXPECT_EQ(std::string(renames.data.begin(), renames.data.end()), expected);
}

}  // namespace
