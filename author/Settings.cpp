#include "author/Settings.h"

#include <windows.h>

#include <cstdio>

namespace settings {

namespace {

const char kRecentSection[] = "Software\\Aldmere\\TS\\MRUList";
const char kSettingsKey[] = "SOFTWARE\\Aldmere\\TS\\Settings";
// Apart from the settings key: its presence for the user hides the machine's "RawSetup".
const char kWindowKey[] = "Software\\Aldmere\\TS\\Window";
const char* const kPlaceNames[] = {"Left", "Top", "Right", "Bottom", "Maximized"};

// A string value of a key, when both exist.
bool ReadString(HKEY root, const char* subkey, const char* name, std::string* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char text[MAX_PATH + 1] = "";
    DWORD size = MAX_PATH;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    text[size < sizeof text ? size : MAX_PATH] = '\0';
    *value = text;
    return true;
}

bool KeyExists(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string RawSetupPath() {
    std::string path = ProgramFolder() + "TSS.dat";
    // The machine's value counts only when the user has no settings key of their own.
    HKEY root = KeyExists(HKEY_CURRENT_USER, kSettingsKey) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    ReadString(root, kSettingsKey, "RawSetup", &path);
    return path;
}

std::vector<std::string> LoadRecentFiles() {
    std::vector<std::string> paths;
    for (int i = 1; i <= 8; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "file%d", i);
        std::string path;
        if (ReadString(HKEY_CURRENT_USER, kRecentSection, name, &path)) {
            paths.push_back(path);
        }
    }
    return paths;
}

void SaveRecentFiles(const std::vector<std::string>& paths) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecentSection, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    for (size_t i = 0; i < 8; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "file%d", static_cast<int>(i + 1));
        if (i < paths.size()) {
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(paths[i].c_str()),
                           static_cast<DWORD>(paths[i].size() + 1));
        } else {
            RegDeleteValueA(key, name);
        }
    }
    RegCloseKey(key);
}

bool LoadWindowPlace(WindowPlace* place) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWindowKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    int* fields[] = {&place->left, &place->top, &place->right, &place->bottom, nullptr};
    bool complete = true;
    for (size_t i = 0; i < 5; ++i) {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExA(key, kPlaceNames[i], nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            complete = false;
            break;
        }
        if (fields[i] != nullptr) {
            *fields[i] = static_cast<int>(value);  // negative coordinates come back as they were stored
        } else {
            place->maximised = value != 0;
        }
    }
    RegCloseKey(key);
    return complete;
}

void SaveWindowPlace(const WindowPlace& place) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWindowKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    const DWORD values[] = {static_cast<DWORD>(place.left), static_cast<DWORD>(place.top),
                            static_cast<DWORD>(place.right), static_cast<DWORD>(place.bottom),
                            place.maximised ? 1u : 0u};
    for (size_t i = 0; i < 5; ++i) {
        RegSetValueExA(key, kPlaceNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]),
                       sizeof values[i]);
    }
    RegCloseKey(key);
}

}  // namespace settings
