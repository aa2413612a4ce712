#pragma once

// The few operating-system file calls under platform::File; one implementation per platform.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/File.h"
#include "platform/Paths.h"

namespace platform::raw {

Handle OpenForRead(const std::string& modelPath, std::string* error);
Handle CreateForWrite(const std::string& modelPath, std::string* error);
// Creates a new file, exclusively: never opens what is already at the path, a link included (exists is
// set then).
Handle CreateNew(const std::string& modelPath, bool* exists, std::string* error);
// A new work file beside target (same folder, so that Replace is a rename), created exclusively under a
// name that no earlier run or other program can have chosen; its path in workPath.
Handle CreateWorkFile(const std::string& target, std::string* workPath, std::string* error);
// Opens for reading and writing: create makes a missing file, truncate empties an existing one. A file
// marked read-only is refused, as Windows refuses it.
Handle OpenForUpdate(const std::string& modelPath, bool create, bool truncate, std::string* error);
// Reads up to size bytes at pos; returns the number read (less at the end of the file) or -1 on error.
int64_t ReadAt(Handle handle, uint64_t pos, void* data, size_t size, std::string* error);
bool WriteAt(Handle handle, uint64_t pos, const void* data, size_t size, std::string* error);
bool SizeOf(Handle handle, uint64_t* size, std::string* error);
bool Close(Handle handle, std::string* error);
// Sets the creation and last-write times of an open file, as platform::SetFileTimes does by path.
bool SetTimes(Handle handle, const FileTime& time);
// Moves from over to, replacing to; a target marked read-only is refused, as Windows refuses it.
bool Replace(const std::string& fromModelPath, const std::string& toModelPath, std::string* error);

}  // namespace platform::raw
