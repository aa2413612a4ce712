// The system's records of installed files: shared-file reference counts, App Paths entries and
// self-registration.
#include "model/FileItem.h"
#include "setup/engine/SetupRules.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"
#include "setup/main/WinSystem.h"

namespace {

std::string AppPathKey(const CFileItem& file) {
    return std::string(kAppPathsKey) + "\\" + file.title;
}

void SetString(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

// Calls a library's registration entry point; the result is not looked at.
void CallRegistrationEntry(const std::string& path, const char* entryName) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        return;
    }
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entryName)));
    if (entry != nullptr) {
        entry();
    }
    FreeLibrary(module);
}

void SelfRegister(const CFileItem& file, const char* entryName, const std::string& programOption) {
    if (!file.registerFile || file.inUse) {
        return;
    }
    if (EndsWithNoCase(file.resolvedPath, "exe")) {
        RunProgram(file.resolvedPath, &programOption, -1);
    } else {
        CallRegistrationEntry(file.resolvedPath, entryName);
    }
}

}  // namespace

int32_t AdjustSharedCount(const SetupEngine& engine, CFileItem& file, int32_t delta) {
    if (engine.mode == SM_REPAIR) {
        return -1;
    }
    HKEY key;
    // Only a change of a count may create the key; a look at the count changes nothing.
    const LONG opened = delta != 0
                            ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0,
                                              KEY_ALL_ACCESS, nullptr, &key, nullptr)
                            : RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_ALL_ACCESS, &key);
    if (opened != ERROR_SUCCESS) {
        return -1;
    }
    const char* name = file.resolvedPath.c_str();
    DWORD stored = 0;
    DWORD type = 0;
    DWORD size = sizeof stored;
    const bool counted = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                                          &size) == ERROR_SUCCESS &&
                         type == REG_DWORD && size == sizeof stored;
    if (!counted && (!file.shared || delta <= 0)) {
        RegCloseKey(key);
        return 0;
    }
    int64_t count = counted ? static_cast<int64_t>(stored) : 0;
    file.shared = true;
    if (delta != 0) {
        // A count never goes below zero: zero removes the value.
        count = count + delta < 0 ? 0 : count + delta > 0xFFFFFFFF ? 0xFFFFFFFF : count + delta;
        if (count != 0) {
            const DWORD value = static_cast<DWORD>(count);
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        } else {
            RegDeleteValueA(key, name);
        }
    }
    RegCloseKey(key);
    return static_cast<int32_t>(count > INT32_MAX ? INT32_MAX : count);
}

void WriteAppPath(const CFileItem& file) {
    if (!file.addAppPath) {
        return;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, AppPathKey(file).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    SetString(key, nullptr, file.resolvedPath);
    if (!file.appPath.empty()) {
        SetString(key, "Path", file.appPath);
    }
    RegCloseKey(key);
}

void RemoveAppPath(const CFileItem& file) {
    if (file.addAppPath) {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, AppPathKey(file));
    }
}

void RegisterFile(const CFileItem& file) {
    SelfRegister(file, "DllRegisterServer", "-RegServer");
}

void UnregisterFile(const CFileItem& file) {
    SelfRegister(file, "DllUnregisterServer", "-UnregServer");
}
