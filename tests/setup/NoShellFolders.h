#pragma once

#include <string>
#include <utility>

#include "setup/engine/SetupEngine.h"

// The system's folders for engine tests that do not look at them: fixed Windows and system folders and no
// shell folders.
class NoShellFolders : public SystemFolders {
public:
    explicit NoShellFolders(std::string systemFolder = "C:\\WINDOWS\\system32") : system_(std::move(systemFolder)) {}
    std::string WindowsFolder() override { return "C:\\WINDOWS"; }
    std::string SystemFolder() override { return system_; }
    std::string ShellFolder(const std::string&, bool) override { return std::string(); }

private:
    std::string system_;
};
