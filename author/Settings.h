#pragma once

#include <string>
#include <vector>

// The authoring program's settings: the per-user home Software\Aldmere\TS (the recent-file list in its
// "MRUList" section) and the "RawSetup" override of the setup program's image.
namespace settings {

// "TSS.dat" beside the program, unless "RawSetup" under SOFTWARE\Aldmere\TS\Settings names another
// (looked up for the user first, then for the machine).
std::string RawSetupPath();
// The program's own folder, with a trailing backslash.
std::string ProgramFolder();

std::vector<std::string> LoadRecentFiles();
void SaveRecentFiles(const std::vector<std::string>& paths);

// The main window's place when not maximised, and whether it was maximised, kept under
// Software\Aldmere\TS\Window between runs. False when none was kept.
struct WindowPlace {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool maximised = false;
};
bool LoadWindowPlace(WindowPlace* place);
void SaveWindowPlace(const WindowPlace& place);

}  // namespace settings
