#pragma once

#include <string>

// The model keeps Windows paths (drive letters, backslashes) everywhere. On POSIX they are mapped at this
// boundary the way Wine maps them: drive Z: is the root of the file system, other drives are looked up in
// the Wine prefix's dosdevices folder.
namespace platform {

// The path to hand to the operating system for a model path.
std::string ToNativePath(const std::string& modelPath);

// The absolute model path for a path given by a user or the operating system (relative paths are taken
// against the current folder).
std::string ToModelPath(const std::string& nativePath);

// The part of a model path after its last backslash, or the whole path when it has none.
std::string FileTitle(const std::string& modelPath);

bool FileExists(const std::string& modelPath);
bool RemoveFile(const std::string& modelPath);
// Creates one folder (its parent must exist); false when it cannot.
bool CreateFolder(const std::string& modelPath);

// A new, empty folder for temporary work; returns its model path with no trailing backslash.
std::string MakeTempFolder(const std::string& prefix);
// Removes a folder and everything below it; quiet about what cannot be removed.
void RemoveTree(const std::string& modelPath);

}  // namespace platform
