#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/FileItem.h"

// The setup program's decisions that need no system: the command line, the operating-system code and its
// check, the run mode, and the size texts. The start-up code feeds them what the system reports.

enum SetupMode : int32_t {
    SM_NEW = 1,
    SM_CHANGE = 2,
    SM_REMOVE = 3,
    SM_REPAIR = 4,
    SM_ASK = 5,
};

// The name of a mode as the "setup mode" path variable gives it.
const char* SetupModeName(int32_t mode);

// What a command line asks for. Fields not named on the line keep the values given to ParseCommandLine.
struct CommandLine {
    int32_t mode = SM_NEW;
    bool force = false;
    bool test = false;
    int32_t uiType = 2;
    bool uiTypeGiven = false;     // S or O was present: the database's own type is not read
    bool secondInstance = false;  // option 2: a second copy (with a private folder of its own, as every run)
    bool hasDatabasePath = false;
    std::string databasePath;  // verbatim, quotes included
    bool help = false;         // "?": the switches are to be shown, nothing else is done
    std::string logPath;       // L: the log file (empty: the log goes beside the database, below)
    std::string targetFolder;  // D: the target folder, a full path (empty: the database's)
    std::vector<std::string> features;  // P: the features to install (empty: the database's selection)
    std::map<char, std::string> values;  // the values of L, D and P as the line gives them
    std::string valueError;              // a value missing or misplaced (part of error)
    std::string error;                   // not empty: the line cannot be read, and this says why
};

// Leading blanks, tabs, dashes and slashes; then groups of option letters, each ended by a blank, a tab, a
// comma, a dash or a slash; a dash or slash (right away or after blanks) starts another group. Otherwise
// everything after the one character that ended the last group is the database path. The letters are
// those of the switch list, in either case; any other character in a group makes the line unreadable.
// L, D and P take a value: such a letter ends its group, and its value follows after blanks, as one word
// or between double quotes; after the value come blanks and another group or the database path. The
// target folder must be a full path, and neither it nor the features can be given to a maintenance run.
CommandLine ParseCommandLine(const std::string& text);

// The list of switches, as the setup program shows it for "?" and below a command-line error.
const char* CommandLineHelp();

// Version data as GetVersionExA reports it.
constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr uint32_t kPlatformNT = 2;       // VER_PLATFORM_WIN32_NT

// The release bits are the model's (OsBits); the families group them.
constexpr uint32_t kOsWin95Family = 0xE00;
constexpr uint32_t kOsNTFamily = 0x1F000;

// The operating-system code: a bit for the release, plus the service-pack number on NT. NT releases after
// XP (major above 5) count as "any later NT release" (0x10000).
uint32_t OsCode(uint32_t platformId, uint32_t major, uint32_t minor, const std::string& servicePack);

// Whether a file with that OS mask is installed (and removed) on the system of that code. The authoring
// program names the releases up to XP, and a new file's mask holds exactly those; a release after XP
// takes a file meant for XP, so that a project whose files are marked for every named release installs on
// today's Windows as well.
bool FileRunsOnSystem(uint32_t osCode, uint32_t osMask);

struct OsCheckResult {
    bool pass = false;
    bool clearInstallForAll = false;  // Windows 95 family: no all-users installation
    std::string message;              // shown in full user interface on a failure
};
constexpr const char kOldOsCaption[] = "Old Operating System";
OsCheckResult CheckOperatingSystem(uint32_t code, uint32_t min95, uint32_t minNT, const std::string& productName);

struct ModeDecision {
    bool exit = false;
    int32_t mode = SM_NEW;
    int32_t uiType = 2;
    std::string message;  // shown (full user interface) before exiting
};
ModeDecision DecideMode(int32_t mode, int32_t uiType, bool force, bool noModify, bool noRemove, bool noRepair,
                        const std::string& productName);

// The size of a byte count as the wizard shows it: bytes, KB, MB or GB.
std::string FormatSize(int64_t bytes);

// The file name of a path (after its last backslash) ends in the three letters, in any case.
bool EndsWithNoCase(const std::string& text, const char* ending);
