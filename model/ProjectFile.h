#pragma once

#include <string>

class CProject;

// The name of the top entry of every file the system writes, and the name of the project inside it.
extern const char kMainClass[];
extern const char kProjectKey[];

// Opens a project file (.tsp) into the project. The path becomes the project's path and the base of its
// relative paths. False when the file cannot be opened or is not one of our files; a damaged file throws
// CTSException. The project may be partly loaded after a failure: the caller resets it.
bool LoadProjectFile(CProject& project, const std::string& path);

// Saves the project as a project file at path, which becomes the project's path. The file is replaced
// only when the whole project was written; a failure throws CTSException.
void SaveProjectFile(CProject& project, const std::string& path);
