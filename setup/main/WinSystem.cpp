#include "setup/main/WinSystem.h"

#include <shellapi.h>

#include <vector>

namespace {

// A string value read into a buffer of the given size; false when the key or value is missing or the value
// does not fit.
bool ReadString(HKEY root, const char* subkey, const char* name, DWORD bufferSize, std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> buffer(bufferSize + 1, '\0');
    DWORD size = bufferSize;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    *value = std::string(buffer.data());  // the extra zero byte ends a value stored without one
    return true;
}

}  // namespace

std::string WinSystemFolders::WindowsFolder() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string WinSystemFolders::SystemFolder() {
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string WinSystemFolders::ShellFolder(const std::string& valueName, bool machine) {
    std::string value;
    ReadString(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Folders", valueName.c_str(), MAX_PATH,
               &value);
    return value;
}

uint32_t ReadOsCode() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) {
#pragma GCC diagnostic pop
        return kOsOtherWin32;
    }
    return OsCode(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.szCSDVersion);
}

void ReadRegisteredUser(SetupEngine& engine) {
    const char* key = (engine.osCode & kOsNTFamily) != 0 ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                                         : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    ReadString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", 50, &engine.companyName);
    ReadString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", 260, &engine.userName);
}

bool RunProgram(const std::string& program, const std::string* arguments, int32_t wait) {
    std::string commandLine = arguments != nullptr ? program + " " + *arguments : program;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    if (wait != 0) {
        WaitForSingleObject(process.hProcess, wait < 0 ? INFINITE : static_cast<DWORD>(wait));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WinActionLauncher::CallFunction(const std::string& library, const std::string& function) {
    HMODULE module = LoadLibraryA(library.c_str());
    if (module == nullptr) {
        return false;
    }
    using ActionFunction = int(__cdecl*)(HWND);
    auto entry = reinterpret_cast<ActionFunction>(reinterpret_cast<void*>(GetProcAddress(module, function.c_str())));
    if (entry == nullptr) {
        FreeLibrary(module);
        return false;
    }
    const int result = entry(window_);
    FreeLibrary(module);
    return result != 0;
}

bool WinActionLauncher::StartProgram(const std::string& program, const std::string& arguments, int32_t wait) {
    return RunProgram(program, &arguments, wait);
}

bool WinActionLauncher::OpenDocument(const std::string& path, const std::string& arguments, int32_t wait) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "Open";
    info.lpFile = path.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || info.hProcess == nullptr) {
        return false;
    }
    if (wait != 0) {
        WaitForSingleObject(info.hProcess, wait < 0 ? INFINITE : static_cast<DWORD>(wait));
    }
    CloseHandle(info.hProcess);
    return true;
}
