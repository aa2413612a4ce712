#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "setup/engine/SetupEngine.h"

// The installed product's entry in the system's list of installed programs: one key named by the product's
// GUID, with the values of the first installation and a subkey that records which features are installed.
// These are the rules of that record; the setup program writes and reads it through the registry.

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kInstalledFeaturesName[] = "InstalledFeatures";
// The subkey of the folders that the installation made: values "0", "1", ... each naming one folder.
constexpr char kCreatedFoldersName[] = "CreatedFolders";
// The setup program's copy in the system folder, and the database that it keeps in the target folder:
// saved under the one name and named by the commands (and removed) under the other, which the system's
// file names, compared without regard to case, make the same file.
constexpr char kSetupCopyTitle[] = "TSSetup.exe";
constexpr char kSavedDatabaseTitle[] = "tsdb.dat";
constexpr char kMaintenanceDatabaseTitle[] = "TSdb.dat";

// The product key below HKEY_LOCAL_MACHINE, and its subkey of installed features.
std::string ProductKeyPath(const platform::Guid& productID);
std::string InstalledFeaturesKeyPath(const platform::Guid& productID);
std::string CreatedFoldersKeyPath(const platform::Guid& productID);

// The "CreatedFolders" values: the made folders in the order they were made, named "0", "1", ...
std::vector<std::pair<std::string, std::string>> CreatedFolderValues(const CreatedFolders& folders);

// The commands stored for later maintenance: "TSSetup.exe -C" (change) and "-U" (remove) with the saved
// database of the target folder.
std::string ModifyCommand(const std::string& systemFolder, const std::string& targetFolder);
std::string UninstallCommand(const std::string& systemFolder, const std::string& targetFolder);

// One value of the product key: a string (REG_SZ) or a number (REG_DWORD).
struct RecordValue {
    std::string name;
    bool isNumber = false;
    std::string text;
    uint32_t number = 0;
};

// Every value that a first installation writes into the product key, in the order in which it writes
// them. The icon value is there only when the project names an icon file. installDate is the day as
// YYYYMMDD; EstimatedSize is EstimatedSizeKilobytes (rounded up); QuietUninstallString is the
// removal command with S (silent).
std::vector<RecordValue> ProductRecordValues(SetupEngine& engine, const std::string& systemFolder,
                                             const std::string& setupProgramFile, const std::string& installDate);

// The kilobytes (rounded up) of the files that the run's selection leaves installed, as PrepareSelection
// counted them: what the list of installed programs shows.
uint32_t EstimatedSizeKilobytes(const SetupEngine& engine);

// The "InstalledFeatures" values: every feature of the tree, parents before their children, root
// included, named by the feature's name and 1 when it is selected.
std::vector<std::pair<std::string, uint32_t>> InstalledFeatureValues(CFeature& rootFeature);

// The order of two product versions: byte by byte, as text (so "1.10" comes before "1.9"). Negative when
// a comes first, 0 when equal, positive when b comes first.
int CompareVersions(const std::string& a, const std::string& b);

// One key of the record, opened for reading.
class RecordKeyReader {
public:
    virtual ~RecordKeyReader() = default;
    // A string value that fits a buffer of 260 bytes with its terminating zero; false when the value is
    // missing, is not a string or is longer.
    virtual bool ReadText(const std::string& name, std::string* value) = 0;
    // A REG_DWORD value; false when it is missing or of another type.
    virtual bool ReadNumber(const std::string& name, uint32_t* value) = 0;
};

// Where the record lives (the registry of the machine; tests give their own).
class RecordStore {
public:
    virtual ~RecordStore() = default;
    // Opens a key below HKEY_LOCAL_MACHINE for reading; nullptr when it is missing or cannot be opened.
    virtual std::unique_ptr<RecordKeyReader> OpenForReading(const std::string& keyPath) = 0;
};

// Reads the installed product's record into the engine: the installed version, the target and source
// folders, the data cabinet, the shortcut and all-users flags, the user's answers, the removal command,
// each feature's installed mark (and its selection, when recorded) and the folders that the installation
// made (known only when the record lists them). False, with the engine unchanged,
// when the product is not registered (NoARP), the key or its features subkey is missing, or a value cannot
// be read. When the media folder no longer holds the first data cabinet, the cabinet is taken out of the
// single-file image that the record names, into the private temporary folder.
bool ReadInstalledRecord(SetupEngine& engine, RecordStore& store);
