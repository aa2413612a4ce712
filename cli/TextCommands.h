#pragma once

#include <ostream>
#include <string>
#include <vector>

class CProject;

// tessaro export PROJECT.tsp [-o FILE.toml] and tessaro import FILE.toml [-o PROJECT.tsp]: a project
// file to its text form and back. Faults of a text file are printed as "FILE:LINE:COL: error: ..."; a
// failed command writes nothing. Returns the exit status: 0 done, 1 failed, 2 usage errors.
int RunExportCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
int RunImportCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

// Whether a path names a text project (it ends in ".toml", in any case).
bool IsTextProjectPath(const std::string& path);

// Reads a text project given as the user named it; projectPath becomes the project's path. False, with
// the fault printed, when it cannot be read.
bool LoadTextProject(CProject& project, const std::string& nativePath, const std::string& projectPath,
                     std::ostream& err);

// Reads a project file or, for a path ending in ".toml", a text project, given as the user named it, with
// the --set overrides ("product.version=1.4.2") applied to its product and media fields. False, with the
// fault printed, when it cannot be read.
bool LoadAnyProject(CProject& project, const std::string& nativePath,
                    const std::vector<std::string>& overrides, std::ostream& err);

extern const char kTextUsage[];
