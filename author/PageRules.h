#pragma once

// Conversions between the project's values and the controls of the settings pages.
#include <cstdint>
#include <string>
#include <vector>

namespace page_rules {

// "Target" is the target location (a path variable such as "<Program Files>") and the sub folder, joined
// by a backslash.
struct TargetParts {
    std::string location;
    std::string subFolder;
};
TargetParts SplitTarget(const std::string& target);
std::string JoinTarget(const std::string& location, const std::string& subFolder);
// The path variable that a predefined folder's name stands for.
std::string LocationOf(const std::string& specialFolder);

// The predefined root folders, in the order they are offered; "Hard Coded" is followed by a blank and a
// drive letter when it is chosen.
const std::vector<std::string>& SpecialFolderNames();
// The names offered for a new root folder: those no root folder has yet (case ignored), without "Target
// Folder", "Source Folder" and "Temp Folder" unless asked for.
std::vector<std::string> OfferedSpecialFolders(const std::vector<std::string>& rootNames, bool withProjectFolders);

// The minimum-release lists: "None", "Win 95", "Win 98", "Win ME" and "None", "NT 4", "2000", "XP".
const std::vector<std::string>& Min95Choices();
const std::vector<std::string>& MinNTChoices();
int Min95Choice(uint32_t osCode);  // the choice showing a code; a code of no choice shows "None"
uint32_t Min95Code(int choice);
int MinNTChoice(uint32_t osCode);
int ServicePack(uint32_t osCode);  // the low byte
// The NT code of a choice with a service pack; "None" has no service pack.
uint32_t MinNTCode(int choice, int servicePack);

// The setup media choices, by MediaType: "CD ROM (650 MB)", "Floppy Disk (1.44 MB)", "Single Executable
// file", "User defined size".
const std::vector<std::string>& MediaChoices();
constexpr int kUserDefinedMedia = 3;
// Whether the media type writes an autorun.inf (CDs and user-defined disks).
bool MediaTakesAutorun(int mediaType);

// A whole number typed into a field: false for anything else or for a value outside min..max.
bool ParseNumber(const std::string& text, long min, long max, long* value);

}  // namespace page_rules
