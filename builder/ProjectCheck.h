#pragma once

#include <string>

class BuildOutput;
class CFileItem;
class CFolder;
class CProject;

// The project check that starts every build: it reports into the output list what would make the media
// wrong (errors) or doubtful (warnings). It runs every rule, never stops early and throws nothing. Its one
// change to the project is the refresh of each file's size, time and version from its source file.
//
// The project's Source Folder and Temp Folder must have been looked up before (FindSpecialFolders).
void CheckProject(CProject& project, BuildOutput& output);

// The output folder a build writes to must be named: reports an error and returns false when it is empty.
bool CheckDestination(const std::string& outputFolder, BuildOutput& output);

// The most files one cabinet can list (its count field is 16 bits wide).
constexpr size_t kCabinetFileLimit = 65535;

// The shared file test of the check and the build: reports an error and returns false when a search for
// the path finds nothing. The message names displayName when the path is empty and a display name is
// given, else the path.
bool CheckFileExists(BuildOutput& output, const std::string& path, const std::string& displayName = "");

// A folder's path in the project tree: the folder names from the root down, joined by backslashes.
std::string TreePath(const CFolder* folder);
// A file's path in the project tree: its folder's tree path, a backslash and its title.
std::string TreePath(const CFileItem* file);

// The extension of a file name from its last dot ("" when the name has none).
std::string ExtensionOf(const std::string& path);
