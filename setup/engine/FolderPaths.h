#pragma once

#include <string>
#include <vector>

// The folders that making a folder path creates when they do not exist yet, in order: the text before each
// backslash that does not end in ":" (a drive), then the whole path unless it ends in ":". A path that
// begins with a backslash (a network path) gives only the whole path.
std::vector<std::string> FoldersToCreate(const std::string& path);
