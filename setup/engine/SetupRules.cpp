#include "setup/engine/SetupRules.h"

#include <cctype>
#include <cstring>

#include "platform/Format.h"
#include "platform/NoCase.h"
#include "setup/engine/Deployment.h"

const char* SetupModeName(int32_t mode) {
    switch (mode) {
        case SM_NEW: return "SM_NEW";
        case SM_CHANGE: return "SM_CHANGE";
        case SM_REMOVE: return "SM_REMOVE";
        case SM_REPAIR: return "SM_REPAIR";
        case SM_ASK: return "SM_ASK";
        default: return "";
    }
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSwitch(char c) { return c == '-' || c == '/'; }
bool EndsGroup(char c) { return IsBlank(c) || c == ',' || IsSwitch(c); }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The letters that take a value: the next word on the line, or the text between double quotes.
bool TakesValue(char letter) { return letter != '\0' && std::strchr("LDP", Upper(letter)) != nullptr; }

size_t SkipBlanks(const std::string& text, size_t p) {
    while (p < text.size() && IsBlank(text[p])) {
        ++p;
    }
    return p;
}

void SetError(CommandLine* line, const std::string& error) {
    if (line->error.empty()) {
        line->error = error;
    }
}

// A misplaced or missing value: told only when every letter is known, since a word such as "/SILENT" is
// better explained by its unknown letter.
void SetValueError(CommandLine* line, const std::string& error) {
    if (line->valueError.empty()) {
        line->valueError = error;
    }
}

// The value of the letter that ended a group at p (the blank after it); answers where the value ends.
size_t ReadValue(const std::string& text, size_t p, char letter, CommandLine* line) {
    const std::string name(1, Upper(letter));
    if (p >= text.size() || !IsBlank(text[p])) {
        SetValueError(line, "The option \"" + name + "\" needs a value!");
        return p >= text.size() ? p : p + 1;
    }
    p = SkipBlanks(text, p);
    std::string value;
    bool given;
    if (p < text.size() && text[p] == '"') {
        const size_t close = text.find('"', p + 1);
        const size_t end = close == std::string::npos ? text.size() : close;
        value = text.substr(p + 1, end - p - 1);
        given = close != std::string::npos;
        p = close == std::string::npos ? text.size() : close + 1;
    } else {
        const size_t start = p;
        while (p < text.size() && !IsBlank(text[p])) {
            ++p;
        }
        value = text.substr(start, p - start);
        given = !value.empty() && !IsSwitch(value[0]);  // "-L -S" names no log file
    }
    if (!given) {
        SetValueError(line, "The option \"" + name + "\" needs a value!");
        return p;
    }
    line->values[Upper(letter)] = value;
    return p;
}

// The option letters of the line, joined; sets the database path and the values of the letters that take
// one.
std::string ReadOptions(const std::string& text, CommandLine* line) {
    std::string options;
    size_t p = 0;
    while (p < text.size() && (IsBlank(text[p]) || IsSwitch(text[p]))) {
        ++p;
    }
    for (;;) {
        const size_t start = p;
        while (p < text.size() && !EndsGroup(text[p])) {
            ++p;
        }
        const std::string group = text.substr(start, p - start);
        options += group;
        for (size_t i = 0; i + 1 < group.size(); ++i) {
            if (TakesValue(group[i])) {
                SetValueError(line, std::string("The option \"") + Upper(group[i]) +
                                        "\" must end its group of letters!");
            }
        }
        const bool afterValue = !group.empty() && TakesValue(group.back());
        if (afterValue) {
            p = SkipBlanks(text, ReadValue(text, p, group.back(), line));
        }
        if (p >= text.size()) {
            return options;
        }
        const size_t next = afterValue ? p : SkipBlanks(text, p);
        if ((afterValue || text[p] != ',') && next < text.size() && IsSwitch(text[next])) {
            p = next;
            while (p < text.size() && IsSwitch(text[p])) {
                ++p;
            }
            continue;
        }
        // The path follows the one character that ended the options, or the blanks after a value.
        line->hasDatabasePath = true;
        line->databasePath = text.substr(afterValue ? p : p + 1);
        return options;
    }
}

// The log file, target folder and features from the values of L, D and P.
void ReadDeploymentValues(CommandLine* line) {
    const auto& values = line->values;
    if (values.count('L') != 0) {
        line->logPath = values.at('L');
    }
    if (values.count('D') != 0) {
        std::string error;
        if (!NormalizeTargetFolder(values.at('D'), &line->targetFolder, &error)) {
            SetError(line, error);
        }
    }
    if (values.count('P') != 0) {
        line->features = SplitFeatureNames(values.at('P'));
        if (line->features.empty()) {
            SetError(line, "The option \"P\" names no feature!");
        }
    }
    if ((values.count('D') != 0 || values.count('P') != 0) && line->mode != SM_NEW) {
        SetError(line, "The target folder and the features can be given only to an installation!");
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::string& text) {
    CommandLine line;
    std::string options = ReadOptions(text, &line);
    for (char& c : options) {
        const char upper = Upper(c);
        if (upper == '\0' || std::strchr("NCURFTASO2?LDP", upper) == nullptr) {
            SetError(&line, std::string("Unknown option \"") + c + "\" on the command line!");
            continue;
        }
        c = upper;
    }
    SetError(&line, line.valueError);
    auto has = [&](char letter) { return options.find(letter) != std::string::npos; };
    if (has('N')) line.mode = SM_NEW;
    if (has('C')) line.mode = SM_CHANGE;
    if (has('U')) line.mode = SM_REMOVE;
    if (has('R')) line.mode = SM_REPAIR;
    if (has('F')) line.force = true;
    if (has('T')) line.test = true;
    if (has('A')) line.mode = SM_ASK;
    if (has('S')) {
        line.uiType = 0;
        line.uiTypeGiven = true;
    }
    if (has('O')) {
        line.uiType = 1;
        line.uiTypeGiven = true;
    }
    if (has('2')) line.secondInstance = true;
    if (has('?')) line.help = true;
    // A path in quotes, as stored commands and deployment tools write a path with blanks, is the path
    // between them: no file name holds a quote.
    const std::string& path = line.databasePath;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        line.databasePath = path.substr(1, path.size() - 2);
    }
    if (line.hasDatabasePath && line.databasePath.empty()) {
        // A separator with nothing after it names no database.
        line.hasDatabasePath = false;
    }
    ReadDeploymentValues(&line);
    return line;
}

const char* CommandLineHelp() {
    return "Setup [options] [database path]\n"
           "\n"
           "Options are letters after \"-\" or \"/\", in either case:\n"
           "  S\tsilent: no window at all\n"
           "  O\tunattended: a progress window only\n"
           "  T\ttest mode: nothing is changed\n"
           "  N\tinstall (the default)\n"
           "  C\tchange the installed features\n"
           "  R\trepair the installation\n"
           "  U\tremove the product\n"
           "  A\tchoose between change, repair and remove\n"
           "  F\tignore the product's maintenance restrictions\n"
           "  2\tsecond copy of Setup running\n"
           "  ?\tshow this list\n"
           "  L file\twrite the log to this file\n"
           "  D folder\tinstall into this folder (a full path)\n"
           "  P names\tinstall these features (names separated by commas)\n"
           "\n"
           "A value with blanks goes in double quotes.\n"
           "Example: Setup -S -L C:\\setup.log -D \"C:\\Program Files\\App\" -P Main,Help";
}

bool FileRunsOnSystem(uint32_t osCode, uint32_t osMask) {
    uint32_t releases = osCode & ~0xFFu;  // without the service-pack number
    if ((releases & kOsLaterNT) != 0) {
        releases |= kOsWinXP;
    }
    return (releases & osMask) != 0;
}

uint32_t OsCode(uint32_t platformId, uint32_t major, uint32_t minor, const std::string& servicePack) {
    if (platformId == kPlatformNT) {
        uint32_t code;
        if (major == 5) {
            code = minor == 0 ? kOsWin2000 : minor == 1 ? kOsWinXP : kOsLaterNT;
        } else if (major == 4) {
            code = kOsNT4;
        } else if (major < 4) {
            code = kOsNTBefore4;
        } else {
            code = kOsLaterNT;
        }
        size_t digit = 0;
        while (digit < servicePack.size() && !std::isdigit(static_cast<unsigned char>(servicePack[digit]))) {
            ++digit;
        }
        uint32_t pack = 0;
        for (; digit < servicePack.size() && std::isdigit(static_cast<unsigned char>(servicePack[digit])); ++digit) {
            pack = pack * 10 + static_cast<uint32_t>(servicePack[digit] - '0');
            if (pack > 0xFF) {
                pack = 0xFF;  // a service pack fits in the low byte; a longer number is nonsense
            }
        }
        return code + pack;
    }
    if (platformId == kPlatformWindows) {
        if (major != 4) {
            return 0;
        }
        return minor < 10 ? kOsWin95 : minor < 90 ? kOsWin98 : kOsWinME;
    }
    return kOsOtherWin32;
}

OsCheckResult CheckOperatingSystem(uint32_t code, uint32_t min95, uint32_t minNT, const std::string& productName) {
    OsCheckResult result;
    if ((code & (kOsOtherWin32 | kOsNTBefore4)) != 0) {
        result.message =
            "This setup program runs only on the following Operating Systems:\nWindows 9X, Windows ME, or newer.\n"
            "Windows NT 4.00, Windows 2000, or newer.";
        return result;
    }
    const bool pass95 = (code & kOsWin95Family) == 0 || min95 <= code;
    const bool passNT = (code & kOsNTFamily) == 0 || minNT <= code;
    if (pass95 && passNT) {
        result.pass = true;
        result.clearInstallForAll = (code & kOsWin95Family) != 0;
        return result;
    }
    std::string message = productName + " runs only on the following Operating Systems:\n";
    if (min95 <= 0x400) {
        message += "Windows 98,\n";
    } else if (min95 <= 0x800) {
        message += "Windows ME,\n";
    }
    const uint32_t ntRelease = minNT & ~0xFFu;
    const char* ntName = ntRelease <= 0x2000 ? "Windows NT4"
                         : ntRelease <= 0x4000 ? "Windows 2000"
                         : ntRelease <= 0x8000 ? "Windows XP"
                                               : nullptr;
    if (ntName != nullptr) {
        message += ntName;
        const uint32_t pack = minNT & 0xFF;
        if (pack != 0) {
            char ending[40];
            platform::FormatTo(ending, sizeof ending, "Service Pack %u\n", pack);
            message += ending;
        } else {
            message += ",\n";
        }
    }
    message += "or a newer OS.";
    result.message = message;
    return result;
}

ModeDecision DecideMode(int32_t mode, int32_t uiType, bool force, bool noModify, bool noRemove, bool noRepair,
                        const std::string& productName) {
    ModeDecision d;
    d.mode = mode;
    d.uiType = uiType;
    if (mode == SM_CHANGE || mode == SM_ASK) {
        if (uiType == 0) {
            d.exit = true;
            return d;
        }
        d.uiType = 2;
    }
    if (mode != SM_NEW && !force) {
        if (noModify && noRemove && noRepair) {
            if (d.uiType == 2) {
                d.message = "Can't modify, remove, or repair \"" + productName + "\"!";
                d.exit = true;
            }
        } else if (noModify) {
            if (mode == SM_CHANGE) {
                d.mode = noRepair ? SM_REMOVE : SM_REPAIR;
            }
        } else if (noRemove) {
            if (mode == SM_REMOVE) {
                d.mode = SM_CHANGE;
            }
        } else if (noRepair) {
            if (mode == SM_REPAIR) {
                d.mode = SM_CHANGE;
            }
        }
    }
    return d;
}

std::string FormatSize(int64_t bytes) {
    const int64_t k = bytes / 1024;
    char text[64];
    if (k > 1048576) {
        platform::FormatTo(text, sizeof text, "%.1f GB", static_cast<double>(k) / 1048576.0);
    } else if (k > 1024) {
        platform::FormatTo(text, sizeof text, "%.1f MB", static_cast<double>(k) / 1024.0);
    } else if (k != 0) {
        platform::FormatTo(text, sizeof text, "%.1f KB", static_cast<double>(k));
    } else {
        platform::FormatTo(text, sizeof text, "%d bytes", static_cast<int>(bytes));
    }
    return text;
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
    return nocase::EndsWith(text, ending);
}
