#include "setup/engine/InstalledRecord.h"

#include <cstring>

#include "model/FileItem.h"
#include "platform/Paths.h"
#include "setup/engine/SingleFileImage.h"

namespace {

constexpr char kFirstDataCabinet[] = "\\TSData1.cab";

// The database path in double quotes, so that a program that splits the command at blanks (as the
// system's list of programs and deployment tools do) takes a target folder with blanks as one path.
std::string StoredCommand(const std::string& systemFolder, const char* option,
                          const std::string& targetFolder) {
    return systemFolder + "\\" + kSetupCopyTitle + " -" + option + " \"" + targetFolder + "\\" +
           kMaintenanceDatabaseTitle + "\"";
}

RecordValue Text(const char* name, const std::string& text) {
    RecordValue value;
    value.name = name;
    value.text = text;
    return value;
}

RecordValue Number(const char* name, bool flag) {
    RecordValue value;
    value.name = name;
    value.isNumber = true;
    value.number = flag ? 1 : 0;
    return value;
}

RecordValue Count(const char* name, uint32_t number) {
    RecordValue value;
    value.name = name;
    value.isNumber = true;
    value.number = number;
    return value;
}

// What the product key holds, read completely before any of it reaches the engine.
struct RecordContents {
    std::string version;
    std::string target;
    std::string source;
    std::string dataCabinet;
    std::string imageToUnpack;  // the single-file image that still holds the data cabinet
    uint32_t menuShortcuts = 0;
    uint32_t desktopShortcuts = 0;
    uint32_t installForAll = 0;
    std::string owner;
    std::string company;
    std::string email;
    std::string uninstallCommand;
};

bool ReadNonEmpty(RecordKeyReader& key, const char* name, std::string* value) {
    return key.ReadText(name, value) && !value->empty();
}

bool ReadProductValues(RecordKeyReader& key, RecordContents* record) {
    if (!key.ReadText("DisplayVersion", &record->version) ||
        !ReadNonEmpty(key, "InstallLocation", &record->target) ||
        !ReadNonEmpty(key, "InstallSource", &record->source)) {
        return false;
    }
    record->dataCabinet = record->source + kFirstDataCabinet;
    if (!platform::FileExists(record->dataCabinet)) {
        std::string setupFile;
        if (!ReadNonEmpty(key, "SetupFile", &setupFile)) {
            return false;
        }
        if (platform::FileExists(setupFile)) {
            record->imageToUnpack = setupFile;
        }
    }
    return key.ReadNumber("InstallStartMenuShortcuts", &record->menuShortcuts) &&
           key.ReadNumber("InstallDesktopShortcuts", &record->desktopShortcuts) &&
           key.ReadNumber("InstallForAll", &record->installForAll) &&
           key.ReadText("RegOwner", &record->owner) && key.ReadText("RegCompany", &record->company) &&
           key.ReadText("EMail", &record->email) &&
           key.ReadText("UninstallString", &record->uninstallCommand);
}

}  // namespace

std::string ProductKeyPath(const platform::Guid& productID) {
    return std::string(kUninstallKey) + "\\" + platform::GuidText(productID);
}

std::string InstalledFeaturesKeyPath(const platform::Guid& productID) {
    return ProductKeyPath(productID) + "\\" + kInstalledFeaturesName;
}

std::string CreatedFoldersKeyPath(const platform::Guid& productID) {
    return ProductKeyPath(productID) + "\\" + kCreatedFoldersName;
}

std::vector<std::pair<std::string, std::string>> CreatedFolderValues(const CreatedFolders& folders) {
    std::vector<std::pair<std::string, std::string>> values;
    for (const std::string& path : folders.Paths()) {
        values.emplace_back(std::to_string(values.size()), path);
    }
    return values;
}

std::string ModifyCommand(const std::string& systemFolder, const std::string& targetFolder) {
    return StoredCommand(systemFolder, "C", targetFolder);
}

std::string UninstallCommand(const std::string& systemFolder, const std::string& targetFolder) {
    return StoredCommand(systemFolder, "U", targetFolder);
}

uint32_t EstimatedSizeKilobytes(const SetupEngine& engine) {
    const uint64_t kilobytes = (engine.selectedBytes + 1023) / 1024;
    return kilobytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kilobytes);
}

std::vector<RecordValue> ProductRecordValues(SetupEngine& engine, const std::string& systemFolder,
                                             const std::string& setupProgramFile, const std::string& installDate) {
    const CProject& project = engine.project;
    std::vector<RecordValue> values{
        Text("DisplayName", project.productName),    Text("DisplayVersion", project.productVersion),
        Text("Publisher", project.manufacturer),     Text("HelpLink", project.productURL),
        Text("HelpTelephone", project.supportPhone), Text("RegCompany", engine.companyName),
        Text("RegOwner", engine.userName),           Text("EMail", engine.userEmail),
        Text("InstallSource", engine.sourceFolder),  Text("SetupFile", setupProgramFile),
    };
    if (project.iconFile != nullptr) {
        values.push_back(Text("DisplayIcon", engine.ResolvedFilePath(*project.iconFile) + "," +
                                                 std::to_string(project.iconIndex)));
    }
    const std::vector<RecordValue> rest{
        Text("InstallLocation", project.target),
        Number("NoModify", project.noModify),
        Number("NoRemove", project.noRemove),
        Text("ModifyPath", ModifyCommand(systemFolder, project.target)),
        Text("UninstallString", UninstallCommand(systemFolder, project.target)),
        Text("Comments", project.comments),
        Number("InstallStartMenuShortcuts", engine.menuShortcuts),
        Number("InstallDesktopShortcuts", engine.desktopShortcuts),
        Number("InstallForAll", engine.installForAll),
        Count("EstimatedSize", EstimatedSizeKilobytes(engine)),
        Text("InstallDate", installDate),
        Text("QuietUninstallString", StoredCommand(systemFolder, "SU", project.target)),
        Text("URLInfoAbout", project.productURL),
    };
    values.insert(values.end(), rest.begin(), rest.end());
    return values;
}

std::vector<std::pair<std::string, uint32_t>> InstalledFeatureValues(CFeature& rootFeature) {
    std::vector<std::pair<std::string, uint32_t>> values;
    rootFeature.ForEach(
        [&](CFeature& feature) { values.emplace_back(feature.name, feature.selected ? 1 : 0); });
    return values;
}

int CompareVersions(const std::string& a, const std::string& b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    const int order = std::memcmp(a.data(), b.data(), common);
    if (order != 0) {
        return order;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool ReadInstalledRecord(SetupEngine& engine, RecordStore& store) {
    CProject& project = engine.project;
    if (project.noARP) {
        return false;
    }
    RecordContents record;
    {
        std::unique_ptr<RecordKeyReader> key = store.OpenForReading(ProductKeyPath(project.productID));
        if (!key || !ReadProductValues(*key, &record)) {
            return false;
        }
    }
    std::unique_ptr<RecordKeyReader> features =
        store.OpenForReading(InstalledFeaturesKeyPath(project.productID));
    if (!features) {
        return false;
    }

    engine.installedVersion = record.version;
    project.target = record.target;
    engine.sourceFolder = record.source;
    engine.dataCabinetPath = record.dataCabinet;
    if (!record.imageToUnpack.empty()) {
        std::string cabinet;
        if (ExtractImageCabinet(record.imageToUnpack, engine.tstempFolder, &cabinet)) {
            engine.dataCabinetPath = cabinet;
        }
    }
    engine.menuShortcuts = record.menuShortcuts != 0;
    engine.desktopShortcuts = record.desktopShortcuts != 0;
    engine.installForAll = record.installForAll != 0;
    engine.userName = record.owner;
    engine.companyName = record.company;
    engine.userEmail = record.email;
    engine.installedUninstallCommand = record.uninstallCommand;
    engine.createdFolders.Clear();
    engine.createdFolders.known = false;
    if (std::unique_ptr<RecordKeyReader> made = store.OpenForReading(CreatedFoldersKeyPath(project.productID))) {
        engine.createdFolders.known = true;
        std::string path;
        for (size_t index = 0; made->ReadText(std::to_string(index), &path); ++index) {
            engine.createdFolders.Add(path);
        }
    }
    project.rootFeature.ForEach([&](CFeature& feature) {
        uint32_t value = 0;
        feature.installed = false;
        if (features->ReadNumber(feature.name, &value)) {
            feature.installed = value != 0;
            feature.selected = value != 0;
        }
    });
    return true;
}
