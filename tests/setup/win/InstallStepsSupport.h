#pragma once

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/SetupEngine.h"
#include "setup/install/Steps.h"

namespace install_test {

// Where a step reports: every text and the bar's last range and position.
class RecordingSink : public ProgressSink {
public:
    void SetActionText(const char* format, const char* text, int32_t number) override {
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(number, 0);
        actions.push_back(format);
    }
    void SetDetailText(const char* format, int32_t number, const char* text) override {
        EXPECT_EQ(number, 0);
        EXPECT_EQ(text, nullptr);
        details.push_back(format);
    }
    void SetPosition(int32_t value) override { position = value; }
    void Step(int32_t delta) override { position += delta; }
    void SetRange(int32_t max) override { range = max; }

    // The details given after the step's own empty one.
    std::vector<std::string> NamedDetails() const {
        std::vector<std::string> named;
        for (const std::string& detail : details) {
            if (!detail.empty()) {
                named.push_back(detail);
            }
        }
        return named;
    }
    void Clear() {
        actions.clear();
        details.clear();
        range = position = -7;
    }

    std::vector<std::string> actions;
    std::vector<std::string> details;
    int32_t range = -7;
    int32_t position = -7;
};

class FixedFolders : public SystemFolders {
public:
    std::string WindowsFolder() override { return "C:\\windows"; }
    std::string SystemFolder() override { return "C:\\windows\\system32"; }
    std::string ShellFolder(const std::string&, bool) override { return std::string(); }
};

// A project in memory, an engine over it and a recording sink, with the run's settings of a first
// installation.
class StepsTest : public ::testing::Test {
protected:
    StepsTest() {
        engine.project.Reset();
        engine.mode = SM_NEW;
    }

    void Run(void (*step)(InstallRun&)) {
        sink.Clear();
        InstallRun run{engine, &sink, nullptr};
        step(run);
    }

    CRegItem* Root(const char* name) {
        for (CRegItem* root : engine.project.rootRegs) {
            if (root->name == name) {
                return root;
            }
        }
        return engine.project.rootRegs.Add(std::make_unique<CRegItem>(name, 0));
    }

    FixedFolders folders;
    SetupEngine engine{folders};
    RecordingSink sink;
};

// A name that no other test run uses at the same time.
inline std::string Unique(const char* stem) {
    return stem + std::to_string(GetCurrentProcessId());
}

// Reading the registry back, independently of the steps.
inline bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

inline bool ReadValue(HKEY hive, const std::string& path, const std::string& name, DWORD* type,
                      std::vector<uint8_t>* data) {
    HKEY key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    LONG error = RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
        data->assign(size, 0);
        error =
            RegQueryValueExA(key, name.c_str(), nullptr, type, data->empty() ? nullptr : data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return error == ERROR_SUCCESS;
}

// A REG_SZ value as text without its terminating zero; "<missing>" when there is none.
inline std::string ReadText(HKEY hive, const std::string& path, const std::string& name = "") {
    DWORD type = 0;
    std::vector<uint8_t> data;
    if (!ReadValue(hive, path, name, &type, &data)) {
        return "<missing>";
    }
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << path << " " << name;
    EXPECT_FALSE(data.empty());
    EXPECT_EQ(data.back(), 0) << path << " " << name;
    return std::string(data.begin(), data.end() - (data.empty() ? 0 : 1));
}

inline bool ValueExists(HKEY hive, const std::string& path, const std::string& name) {
    DWORD type = 0;
    std::vector<uint8_t> data;
    return ReadValue(hive, path, name, &type, &data);
}

inline void SetText(HKEY hive, const std::string& path, const std::string& name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

// Removes a test's keys with the shell's own deletion, so that cleaning up does not rely on the code
// under test.
inline void Wipe(HKEY hive, const std::string& path) {
    SHDeleteKeyA(hive, path.c_str());
}

}  // namespace install_test
