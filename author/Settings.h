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

}  // namespace settings
