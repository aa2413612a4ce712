#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/InstalledRecord.h"
#include "setup/engine/Selection.h"
#include "tests/TestSupport.h"
#include "tests/setup/NoShellFolders.h"

namespace {

using testing_support::TempFolder;

// A registry of keys and values in memory, with the reading rules of the real one: strings up to 260
// bytes with their terminating zero, numbers only as numbers.
class MemoryStore : public RecordStore {
public:
    using Values = std::map<std::string, RecordValue>;

    class Reader : public RecordKeyReader {
    public:
        explicit Reader(const Values& values) : values_(values) {}
        bool ReadText(const std::string& name, std::string* value) override {
            auto it = values_.find(name);
            if (it == values_.end() || it->second.isNumber || it->second.text.size() + 1 > 260)
                return false;
            *value = it->second.text;
            return true;
        }
        bool ReadNumber(const std::string& name, uint32_t* value) override {
            auto it = values_.find(name);
            if (it == values_.end() || !it->second.isNumber)
                return false;
            *value = it->second.number;
            return true;
        }

    private:
        Values values_;
    };

    std::unique_ptr<RecordKeyReader> OpenForReading(const std::string& keyPath) override {
        opened.push_back(keyPath);
        auto it = keys.find(keyPath);
        return it == keys.end() ? nullptr : std::make_unique<Reader>(it->second);
    }

    void Write(const std::string& keyPath, const std::vector<RecordValue>& values) {
        Values& key = keys[keyPath];
        for (const RecordValue& value : values) key[value.name] = value;
    }
    void SetText(const std::string& keyPath, const std::string& name, const std::string& text) {
        RecordValue value;
        value.name = name;
        value.text = text;
        keys[keyPath][name] = value;
    }

    std::map<std::string, Values> keys;
    std::vector<std::string> opened;
};

platform::Guid TestGuid() {
    platform::Guid guid;
    const uint8_t bytes[16] = {0x78, 0x56, 0x34, 0x12, 0xcd, 0xab, 0xef, 0xbe,
                               0x01, 0x23, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9};
    for (int i = 0; i < 16; ++i) guid.bytes[i] = bytes[i];
    return guid;
}

// A product as a database holds it: root feature "Features", top-level "Main" and "Extra", and "Help"
// below "Extra".
void MakeProduct(CProject& project) {
    project.productID = TestGuid();
    project.productName = "Widget";
    project.productVersion = "2.0";
    project.manufacturer = "Aldmere";
    project.productURL = "http://example.com/help";
    project.supportPhone = "555-0100";
    project.comments = "Widgets everywhere";
    project.target = "C:\\Program Files\\Widget";
    project.rootFeature.name = "Features";
    CFeature* main = project.rootFeature.AddChild(std::make_unique<CFeature>("Main", "main"));
    CFeature* extra = project.rootFeature.AddChild(std::make_unique<CFeature>("Extra", "extra"));
    extra->AddChild(std::make_unique<CFeature>("Help", "help"));
    main->selected = true;
    extra->selected = false;
}

CFeature* Child(CFeature& parent, const char* name) {
    return parent.FindChild(name);
}

class InstalledRecord : public ::testing::Test {
protected:
    InstalledRecord() {
        MakeProduct(engine.project);
        engine.sourceFolder = media.Path();
        engine.dataCabinetPath = media / "TSData1.cab";
        engine.tstempFolder = tstemp.Path();
        testing_support::WriteBytes(media / "TSData1.cab", {'M', 'S', 'C', 'F'});
    }

    // What a first installation of the engine's product leaves in the store.
    void Install(SetupEngine& installing) {
        store.Write(ProductKeyPath(installing.project.productID),
                    ProductRecordValues(installing, "C:\\WINDOWS\\SYSTEM", "D:\\Setup.exe", "20261208"));
        std::vector<RecordValue> features;
        for (const auto& [name, number] : InstalledFeatureValues(installing.project.rootFeature)) {
            RecordValue value;
            value.name = name;
            value.isNumber = true;
            value.number = number;
            features.push_back(value);
        }
        store.Write(InstalledFeaturesKeyPath(installing.project.productID), features);
    }

    std::string ProductKey() const { return ProductKeyPath(TestGuid()); }

    NoShellFolders folders{"C:\\WINDOWS\\SYSTEM"};
    SetupEngine engine{folders};
    TempFolder media;
    TempFolder tstemp;
    MemoryStore store;
};

TEST_F(InstalledRecord, KeyNamesFollowTheGuidText) {
    EXPECT_EQ(
        ProductKeyPath(TestGuid()),
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{12345678-ABCD-beef-0123-A4B5C6D7E8F9}");
    EXPECT_EQ(
        InstalledFeaturesKeyPath(TestGuid()),
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{12345678-ABCD-beef-0123-A4B5C6D7E8F9}"
        "\\InstalledFeatures");
}

TEST_F(InstalledRecord, ValuesOfAFirstInstallationInTheirOrder) {
    engine.companyName = "Acme";
    engine.userName = "Ann";
    engine.userEmail = "ann@example.com";
    engine.desktopShortcuts = false;
    engine.menuShortcuts = true;
    engine.installForAll = true;
    engine.project.noModify = true;
    engine.selectedBytes = 5000;
    const std::vector<RecordValue> values =
        ProductRecordValues(engine, "C:\\WINDOWS\\SYSTEM", "D:\\Setup.exe", "20261208");
    std::vector<std::string> rows;
    for (const RecordValue& value : values) {
        rows.push_back(value.name + "=" + (value.isNumber ? "#" + std::to_string(value.number) : value.text));
    }
    const std::vector<std::string> expected{
        "DisplayName=Widget",
        "DisplayVersion=2.0",
        "Publisher=Aldmere",
        "HelpLink=http://example.com/help",
        "HelpTelephone=555-0100",
        "RegCompany=Acme",
        "RegOwner=Ann",
        "EMail=ann@example.com",
        "InstallSource=" + media.Path(),
        "SetupFile=D:\\Setup.exe",
        "InstallLocation=C:\\Program Files\\Widget",
        "NoModify=#1",
        "NoRemove=#0",
        "ModifyPath=C:\\WINDOWS\\SYSTEM\\TSSetup.exe -C \"C:\\Program Files\\Widget\\TSdb.dat\"",
        "UninstallString=C:\\WINDOWS\\SYSTEM\\TSSetup.exe -U \"C:\\Program Files\\Widget\\TSdb.dat\"",
        "Comments=Widgets everywhere",
        "InstallStartMenuShortcuts=#1",
        "InstallDesktopShortcuts=#0",
        "InstallForAll=#1",
        "EstimatedSize=#5",
        "InstallDate=20261208",
        "QuietUninstallString=C:\\WINDOWS\\SYSTEM\\TSSetup.exe -SU \"C:\\Program Files\\Widget\\TSdb.dat\"",
        "URLInfoAbout=http://example.com/help",
    };
    EXPECT_EQ(rows, expected);
}

// What the system's list of programs starts is the stored command as it stands: the program, then the
// options and the database path that the setup program reads from its command line.
TEST(StoredCommands, StartTheirRunOnTheSavedDatabase) {
    const struct {
        std::string command;
        int32_t mode;
    } cases[] = {
        {UninstallCommand("C:\\WINDOWS\\SYSTEM", "C:\\Program Files\\My -Widget"), SM_REMOVE},
        {ModifyCommand("C:\\WINDOWS\\SYSTEM", "C:\\Program Files\\My -Widget"), SM_CHANGE},
        {UninstallCommand("C:\\WINDOWS\\SYSTEM", "E:\\W"), SM_REMOVE},
    };
    for (const auto& c : cases) {
        const size_t options = c.command.find(" -");
        ASSERT_NE(options, std::string::npos) << c.command;
        EXPECT_EQ(c.command.substr(0, options), "C:\\WINDOWS\\SYSTEM\\TSSetup.exe");
        const CommandLine line = ParseCommandLine(c.command.substr(options + 1));
        EXPECT_EQ(line.error, "") << c.command;
        EXPECT_EQ(line.mode, c.mode) << c.command;
        const std::string target =
            c.command.find("E:") != std::string::npos ? "E:\\W" : "C:\\Program Files\\My -Widget";
        EXPECT_EQ(line.databasePath, target + "\\TSdb.dat") << c.command;
    }
}

TEST_F(InstalledRecord, IconValueOnlyWithAnIconFile) {
    CFolder* folder = engine.project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
    auto file = std::make_unique<CFileItem>();
    file->title = "widget.exe";
    file->folder = folder;
    engine.project.iconFile = engine.project.files.Add(std::move(file));
    engine.project.iconIndex = 3;
    const std::vector<RecordValue> values = ProductRecordValues(engine, "C:\\S", "D:\\Setup.exe", "20261208");
    ASSERT_EQ(values.size(), 24u);
    EXPECT_EQ(values[9].name, "SetupFile");
    EXPECT_EQ(values[10].name, "DisplayIcon");
    EXPECT_FALSE(values[10].isNumber);
    EXPECT_EQ(values[10].text, "C:\\Program Files\\Widget\\widget.exe,3");
    EXPECT_EQ(values[11].name, "InstallLocation");
}

TEST_F(InstalledRecord, EstimatedSizeCountsSelectedFilesInWholeKilobytes) {
    CFolder* folder = engine.project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
    CFeature* feature = engine.project.rootFeature.children[0];
    feature->selected = true;
    // Each row adds a file of a size to the feature's folder (or leaves it out of every feature) and
    // gives the size of the selection in kilobytes, rounded up, after it.
    const struct {
        uint32_t size;
        bool inFeature;
        uint32_t kilobytes;
    } rows[] = {{0, true, 0}, {1, true, 1}, {1023, true, 1}, {5000, false, 1}, {1024, true, 2},
                {3 * 1024 * 1024, true, 3074}};
    feature->folders.Add(folder);
    CFolder* elsewhere = engine.project.rootFolders.Add(std::make_unique<CFolder>("Elsewhere"));
    for (const auto& row : rows) {
        auto file = std::make_unique<CFileItem>();
        file->title = "f" + std::to_string(row.size);
        file->folder = row.inFeature ? folder : elsewhere;
        file->size = row.size;
        engine.project.files.Add(std::move(file));
        PrepareSelection(engine);
        EXPECT_EQ(EstimatedSizeKilobytes(engine), row.kilobytes) << row.size;
    }
}

TEST_F(InstalledRecord, FeatureValuesParentsFirstRootIncluded) {
    const auto values = InstalledFeatureValues(engine.project.rootFeature);
    const std::vector<std::pair<std::string, uint32_t>> expected{
        {"Features", 1}, {"Main", 1}, {"Extra", 0}, {"Help", 1}};
    EXPECT_EQ(values, expected);
}

TEST_F(InstalledRecord, ReadBackRestoresFoldersAnswersAndFeatureMarks) {
    SetupEngine installed{folders};
    MakeProduct(installed.project);
    installed.project.productVersion = "1.5";
    installed.project.target = "E:\\Widget";
    installed.sourceFolder = media.Path();
    installed.userName = "Ann";
    installed.companyName = "Acme";
    installed.userEmail = "ann@example.com";
    installed.menuShortcuts = false;
    installed.desktopShortcuts = true;
    installed.installForAll = true;
    Child(installed.project.rootFeature, "Main")->selected = false;
    Child(installed.project.rootFeature, "Extra")->selected = true;
    Install(installed);

    engine.sourceFolder = "X:\\Elsewhere";
    engine.dataCabinetPath = "X:\\Elsewhere\\TSData1.cab";
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_EQ(engine.installedVersion, "1.5");
    EXPECT_EQ(engine.project.target, "E:\\Widget");
    EXPECT_EQ(engine.sourceFolder, media.Path());
    EXPECT_EQ(engine.dataCabinetPath, media / "TSData1.cab");
    EXPECT_FALSE(engine.menuShortcuts);
    EXPECT_TRUE(engine.desktopShortcuts);
    EXPECT_TRUE(engine.installForAll);
    EXPECT_EQ(engine.userName, "Ann");
    EXPECT_EQ(engine.companyName, "Acme");
    EXPECT_EQ(engine.userEmail, "ann@example.com");
    EXPECT_EQ(engine.installedUninstallCommand, "C:\\WINDOWS\\SYSTEM\\TSSetup.exe -U \"E:\\Widget\\TSdb.dat\"");
    CFeature& root = engine.project.rootFeature;
    CFeature* main = Child(root, "Main");
    CFeature* extra = Child(root, "Extra");
    CFeature* help = Child(*extra, "Help");
    EXPECT_TRUE(root.installed && root.selected);
    EXPECT_FALSE(main->installed || main->selected);
    EXPECT_TRUE(extra->installed && extra->selected);
    EXPECT_TRUE(help->installed && help->selected);
}

TEST_F(InstalledRecord, MadeFoldersAreReadBackWhenTheRecordListsThem) {
    // A record of an earlier setup program has no list: the removal cannot tell which folders were made.
    Install(engine);
    engine.createdFolders.known = true;
    engine.createdFolders.Add("C:\\Stale");
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_FALSE(engine.createdFolders.known);
    EXPECT_TRUE(engine.createdFolders.Paths().empty());

    CreatedFolders made;
    made.Add("C:\\Program Files\\Aldmere");
    made.Add("C:\\Program Files\\Aldmere\\Widget");
    std::vector<RecordValue> values;
    for (const auto& [name, path] : CreatedFolderValues(made)) values.push_back(RecordValue{name, false, path, 0});
    EXPECT_EQ(values[1].name, "1");
    store.Write(CreatedFoldersKeyPath(TestGuid()), values);
    EXPECT_EQ(CreatedFoldersKeyPath(TestGuid()), ProductKey() + "\\CreatedFolders");
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_TRUE(engine.createdFolders.known);
    EXPECT_EQ(engine.createdFolders.Paths(), made.Paths());

    // An empty list still says that the installation made no folder.
    store.keys[CreatedFoldersKeyPath(TestGuid())].clear();
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_TRUE(engine.createdFolders.known);
    EXPECT_TRUE(engine.createdFolders.Paths().empty());
}

TEST_F(InstalledRecord, UnrecordedFeatureKeepsItsSelectionAndIsNotInstalled) {
    Install(engine);
    store.keys[InstalledFeaturesKeyPath(TestGuid())].erase("Extra");
    RecordValue five;
    five.name = "Main";
    five.isNumber = true;
    five.number = 5;  // any non-zero value counts
    store.Write(InstalledFeaturesKeyPath(TestGuid()), {five});
    CFeature* extra = Child(engine.project.rootFeature, "Extra");
    extra->selected = true;
    extra->installed = true;
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_TRUE(extra->selected);
    EXPECT_FALSE(extra->installed);
    EXPECT_TRUE(Child(engine.project.rootFeature, "Main")->installed);
}

TEST_F(InstalledRecord, NotRegisteredProductIsNeverRead) {
    Install(engine);
    engine.project.noARP = true;
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    EXPECT_TRUE(store.opened.empty());
}

// A record that cannot be read completely changes nothing: the run goes on as a first installation with
// its own folders.
TEST_F(InstalledRecord, IncompleteRecordLeavesEngineUnchanged) {
    const std::vector<std::string> required{"DisplayVersion",
                                            "InstallLocation",
                                            "InstallSource",
                                            "InstallStartMenuShortcuts",
                                            "InstallDesktopShortcuts",
                                            "InstallForAll",
                                            "RegOwner",
                                            "RegCompany",
                                            "EMail",
                                            "UninstallString"};
    for (const std::string& name : required) {
        SCOPED_TRACE(name);
        store.keys.clear();
        SetupEngine installed{folders};
        MakeProduct(installed.project);
        installed.project.target = "E:\\Old";
        installed.sourceFolder = media.Path();
        installed.userName = "Old Owner";
        Install(installed);
        store.keys[ProductKey()].erase(name);

        SetupEngine fresh{folders};
        MakeProduct(fresh.project);
        fresh.sourceFolder = "D:\\";
        fresh.dataCabinetPath = "D:\\TSData1.cab";
        fresh.userName = "New Owner";
        Child(fresh.project.rootFeature, "Extra")->selected = true;
        EXPECT_FALSE(ReadInstalledRecord(fresh, store));
        EXPECT_EQ(fresh.project.target, "C:\\Program Files\\Widget");
        EXPECT_EQ(fresh.sourceFolder, "D:\\");
        EXPECT_EQ(fresh.dataCabinetPath, "D:\\TSData1.cab");
        EXPECT_EQ(fresh.userName, "New Owner");
        EXPECT_EQ(fresh.installedVersion, "");
        EXPECT_TRUE(Child(fresh.project.rootFeature, "Extra")->selected);
    }
}

TEST_F(InstalledRecord, MissingFeaturesSubkeyCountsAsNoInstallation) {
    Install(engine);
    store.keys.erase(InstalledFeaturesKeyPath(TestGuid()));
    engine.project.target = "C:\\Mine";
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    EXPECT_EQ(engine.project.target, "C:\\Mine");
    EXPECT_EQ(engine.installedVersion, "");
}

TEST_F(InstalledRecord, EmptyFoldersAndWrongTypesAreUnreadable) {
    Install(engine);
    store.SetText(ProductKey(), "InstallLocation", "");
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    Install(engine);
    store.SetText(ProductKey(), "InstallSource", "");
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    Install(engine);
    store.SetText(ProductKey(), "InstallForAll", "1");  // a string where a number belongs
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    Install(engine);
    store.SetText(ProductKey(), "RegOwner", std::string(260, 'x'));  // no room for its terminating zero
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    Install(engine);
    store.SetText(ProductKey(), "RegOwner", std::string(259, 'x'));
    EXPECT_TRUE(ReadInstalledRecord(engine, store));
}

TEST_F(InstalledRecord, CabinetGoneFromMediaIsTakenFromTheSingleFileImage) {
    Install(engine);
    platform::RemoveFile(media / "TSData1.cab");
    // The image named by SetupFile: program, database length and bytes, data cabinet, trailer.
    std::vector<uint8_t> image{'M', 'Z', 0, 1};
    const std::vector<uint8_t> cabinet{'M', 'S', 'C', 'F', 0, 0, 0, 9};
    image.insert(image.end(), {3, 0, 0, 0, 'd', 'b', '!'});
    image.insert(image.end(), cabinet.begin(), cabinet.end());
    image.insert(image.end(), {'K', 'Z', 'V', 0, 4, 0, 0, 0});
    testing_support::WriteBytes(media / "Setup.exe", image);
    store.SetText(ProductKey(), "SetupFile", media / "Setup.exe");
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_EQ(engine.dataCabinetPath, tstemp / "TSData.cab");
    EXPECT_EQ(testing_support::ReadBytes(tstemp / "TSData.cab"), cabinet);
}

TEST_F(InstalledRecord, CabinetGoneWithoutImage) {
    Install(engine);
    platform::RemoveFile(media / "TSData1.cab");
    // The image is gone too: the record is still read, and the cabinet will be asked for.
    store.SetText(ProductKey(), "SetupFile", media / "Setup.exe");
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_EQ(engine.dataCabinetPath, media / "TSData1.cab");
    // Not an image: the same.
    testing_support::WriteBytes(media / "Setup.exe", {'M', 'Z', 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(ReadInstalledRecord(engine, store));
    EXPECT_EQ(engine.dataCabinetPath, media / "TSData1.cab");
    EXPECT_FALSE(platform::FileExists(tstemp / "TSData.cab"));
    // Without a SetupFile the record is unreadable.
    store.SetText(ProductKey(), "SetupFile", "");
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
    store.keys[ProductKey()].erase("SetupFile");
    EXPECT_FALSE(ReadInstalledRecord(engine, store));
}

TEST(VersionOrder, ByBytesNotByNumber) {
    EXPECT_EQ(CompareVersions("1.5", "1.5"), 0);
    EXPECT_LT(CompareVersions("1.10", "1.9"), 0);
    EXPECT_GT(CompareVersions("2.0", "1.5"), 0);
    EXPECT_LT(CompareVersions("1.0", "1.5"), 0);
    EXPECT_LT(CompareVersions("1.0", "1.0.1"), 0);  // a prefix comes first
    EXPECT_GT(CompareVersions("1.0a", "1.0"), 0);
    EXPECT_LT(CompareVersions("", "1"), 0);
    EXPECT_GT(CompareVersions("1.\xE9", "1.z"), 0);  // bytes compare unsigned
}

}  // namespace
