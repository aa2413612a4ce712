#pragma once

#include <windows.h>

#include <string>

#include "setup/engine/CustomActions.h"
#include "setup/engine/SetupEngine.h"

// The system's answers for the setup engine: folders, the operating-system code, the registered user.
class WinSystemFolders : public SystemFolders {
public:
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    std::string ShellFolder(const std::string& valueName, bool machine) override;
};

// The operating-system code of the running system (GetVersionExA).
uint32_t ReadOsCode();

// The registered owner and organisation become the user and company names when present and short enough.
void ReadRegisteredUser(SetupEngine& engine);

// Starts the program with the command line "program arguments" (or the program alone when arguments is
// null) and waits: 0 not at all, negative without limit, else that many milliseconds. False when the program
// could not be started.
bool RunProgram(const std::string& program, const std::string* arguments, int32_t wait);

// Runs custom actions on this system; library functions get the wizard window (null without one).
class WinActionLauncher : public ActionLauncher {
public:
    explicit WinActionLauncher(HWND window) : window_(window) {}
    bool CallFunction(const std::string& library, const std::string& function) override;
    bool StartProgram(const std::string& program, const std::string& arguments, int32_t wait) override;
    bool OpenDocument(const std::string& path, const std::string& arguments, int32_t wait) override;

private:
    HWND window_;
};
