#include "setup/engine/SetupRules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/NoCase.h"

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

// The option letters of the line, upper-cased and joined; sets the database path.
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
        options += text.substr(start, p - start);
        if (p >= text.size()) {
            return options;
        }
        size_t next = p;
        while (next < text.size() && IsBlank(text[next])) {
            ++next;
        }
        if (text[p] != ',' && next < text.size() && IsSwitch(text[next])) {
            p = next;
            while (p < text.size() && IsSwitch(text[p])) {
                ++p;
            }
            continue;
        }
        line->hasDatabasePath = true;
        line->databasePath = text.substr(p + 1);
        return options;
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::string& text) {
    CommandLine line;
    std::string options = ReadOptions(text, &line);
    for (char& c : options) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper == '\0' || std::strchr("NCURFTASO2?", upper) == nullptr) {
            if (line.error.empty()) {
                line.error = std::string("Unknown option \"") + c + "\" on the command line!";
            }
            continue;
        }
        c = upper;
    }
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
           "\n"
           "Example: Setup -S installs silently.";
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
            std::snprintf(ending, sizeof ending, "Service Pack %u\n", pack);
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
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(k) / 1048576.0);
    } else if (k > 1024) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(k) / 1024.0);
    } else if (k != 0) {
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(k));
    } else {
        std::snprintf(text, sizeof text, "%d bytes", static_cast<int>(bytes));
    }
    return text;
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
    return nocase::EndsWith(text, ending);
}
