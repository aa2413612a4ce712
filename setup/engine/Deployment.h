#pragma once

#include <string>
#include <vector>

class CFeature;

// What deployment tools hand a silent or unattended installation on the command line: the target folder
// (-D) and the features to install (-P), checked before anything on the machine changes.

// A target folder as the installation uses it: a full path (a drive letter, a colon and a backslash, or
// \\server\share), forward slashes read as backslashes, without trailing backslashes ("C:\" becomes "C:",
// the form in which the paths below it are joined). False with the reason in error for an empty or relative
// path, and for one that holds a character that no Windows path holds.
bool NormalizeTargetFolder(const std::string& text, std::string* folder, std::string* error);

// The names of a comma-separated list, without the blanks around them; empty names are left out.
std::vector<std::string> SplitFeatureNames(const std::string& text);

// Selects the named features (names compared without regard to case) with everything below them, the
// features above them (whose own items the wizard also installs with a selected sub-feature) and the
// required ones; every other feature below the root is deselected. False, with the first name that no
// feature below the root has in unknown, when a name is not found; nothing is changed then.
bool SelectNamedFeatures(CFeature& root, const std::vector<std::string>& names, std::string* unknown);
