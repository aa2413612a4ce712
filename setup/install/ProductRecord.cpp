#include "setup/install/ProductRecord.h"

#include <memory>
#include <vector>

#include "setup/engine/InstalledRecord.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"

namespace {

constexpr DWORD kTextBufferSize = 260;

// One key of the record, open for reading until the reader goes.
class RegistryKeyReader : public RecordKeyReader {
public:
    explicit RegistryKeyReader(HKEY key) : key_(key) {}
    ~RegistryKeyReader() override { RegCloseKey(key_); }
    RegistryKeyReader(const RegistryKeyReader&) = delete;
    RegistryKeyReader& operator=(const RegistryKeyReader&) = delete;

    bool ReadText(const std::string& name, std::string* value) override {
        std::vector<char> buffer(kTextBufferSize + 1,
                                 '\0');  // the extra zero ends a value stored without one
        DWORD size = kTextBufferSize;
        DWORD type = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return false;
        }
        *value = buffer.data();
        return true;
    }

    bool ReadNumber(const std::string& name, uint32_t* value) override {
        DWORD number = 0;
        DWORD size = sizeof number;
        DWORD type = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof number) {
            return false;
        }
        *value = number;
        return true;
    }

private:
    HKEY key_;
};

class MachineRecordStore : public RecordStore {
public:
    std::unique_ptr<RecordKeyReader> OpenForReading(const std::string& keyPath) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<RegistryKeyReader>(key);
    }
};

// Creates or opens a key of HKEY_LOCAL_MACHINE with all access; null when it cannot.
HKEY CreateMachineKey(const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void WriteNumber(HKEY key, const std::string& name, uint32_t number) {
    const DWORD data = number;
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void WriteValue(HKEY key, const RecordValue& value) {
    if (value.isNumber) {
        WriteNumber(key, value.name, value.number);
        return;
    }
    RegSetValueExA(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                   static_cast<DWORD>(value.text.size() + 1));
}

std::string Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    wsprintfA(text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

std::string ModuleFile() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

bool ReadInstalledRecord(SetupEngine& engine) {
    MachineRecordStore store;
    return ReadInstalledRecord(engine, store);
}

bool CheckExistingInstallation(SetupEngine& engine, InstalledCopyHost& host) {
    MachineRecordStore store;
    return CheckExistingInstallation(engine, store, host);
}

void RegisterProduct(InstallRun& run) {
    SetupEngine& engine = run.engine;
    CProject& project = engine.project;
    if (engine.mode == SM_REMOVE || project.noARP) {
        if (!engine.test &&
            DeleteRegistryTree(HKEY_LOCAL_MACHINE, ProductKeyPath(project.productID)) == ERROR_SUCCESS) {
            engine.Log("Product entry removed", "HKEY_LOCAL_MACHINE\\" + ProductKeyPath(project.productID));
        }
        return;
    }
    if (run.sink != nullptr) {
        run.sink->SetActionText("Registring \"%s\"...", project.productName.c_str(), 0);
        run.sink->SetDetailText("", 0, nullptr);
        run.sink->SetRange(-1);
    }
    if (engine.test) {
        return;
    }
    if (HKEY key = CreateMachineKey(ProductKeyPath(project.productID))) {
        if (engine.mode == SM_NEW) {
            const std::string systemFolder = engine.ResolveVariable("windows system folder");
            for (const RecordValue& value : ProductRecordValues(engine, systemFolder, ModuleFile(), Today())) {
                WriteValue(key, value);
            }
        } else {
            WriteNumber(key, "EstimatedSize", EstimatedSizeKilobytes(engine));  // the change's selection
        }
        RegCloseKey(key);
        engine.Log("Product registered", "HKEY_LOCAL_MACHINE\\" + ProductKeyPath(project.productID));
    }
    if (HKEY features = CreateMachineKey(InstalledFeaturesKeyPath(project.productID))) {
        for (const auto& [name, selected] : InstalledFeatureValues(project.rootFeature)) {
            WriteNumber(features, name, selected);
        }
        RegCloseKey(features);
    }
}

void RecordCreatedFolders(InstallRun& run) {
    SetupEngine& engine = run.engine;
    CreatedFolders& made = engine.createdFolders;
    // A record written by an earlier setup program lists no folders: its removal tries them all, and a
    // list of this run's folders alone would keep the others.
    if (engine.test || engine.project.noARP || engine.mode == SM_REMOVE || !made.known) {
        return;
    }
    for (const std::string& path : std::vector<std::string>(made.Paths())) {
        if (!FolderExists(path)) {
            made.Forget(path);  // gone since: a folder made there later is not ours
        }
    }
    const std::string keyPath = CreatedFoldersKeyPath(engine.project.productID);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, keyPath);
    if (HKEY key = CreateMachineKey(keyPath)) {
        for (const auto& [name, path] : CreatedFolderValues(made)) {
            WriteValue(key, RecordValue{name, false, path, 0});
        }
        RegCloseKey(key);
    }
}
