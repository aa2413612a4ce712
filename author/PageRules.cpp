#include "author/PageRules.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/NoCase.h"

namespace page_rules {

namespace {
const uint32_t kMin95Codes[] = {0, 0x200, 0x400, 0x800};
const uint32_t kMinNTCodes[] = {0, 0x2000, 0x4000, 0x8000};

template <size_t N>
int ChoiceOf(const uint32_t (&codes)[N], uint32_t release) {
    for (size_t i = 0; i < N; ++i) {
        if (codes[i] == release) {
            return static_cast<int>(i);
        }
    }
    return 0;
}
}  // namespace

TargetParts SplitTarget(const std::string& target) {
    size_t slash = target.find('\\');
    if (slash == std::string::npos) {
        return {target, std::string()};
    }
    return {target.substr(0, slash), target.substr(slash + 1)};
}

std::string JoinTarget(const std::string& location, const std::string& subFolder) {
    if (subFolder.empty()) {
        return location;
    }
    if (location.empty()) {
        return subFolder;
    }
    return location + "\\" + subFolder;
}

std::string LocationOf(const std::string& specialFolder) { return "<" + specialFolder + ">"; }

const std::vector<std::string>& SpecialFolderNames() {
    static const std::vector<std::string> names = {
        "Target Folder", "Source Folder", "Temp Folder", "Program Files", "Windows Folder", "Windows System Folder",
        "Fonts Folder",  "Start Menu",    "Programs",    "Desktop",       "Startup",        "Toolbar",
        "My Documents",  "Hard Coded"};
    return names;
}

std::vector<std::string> OfferedSpecialFolders(const std::vector<std::string>& rootNames, bool withProjectFolders) {
    auto same = [](const std::string& a, const std::string& b) { return nocase::Equal(a, b); };
    std::vector<std::string> offered;
    const auto& names = SpecialFolderNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (i < 3 && !withProjectFolders) {
            continue;
        }
        bool taken = names[i] != "Hard Coded" &&
                     std::any_of(rootNames.begin(), rootNames.end(), [&](const std::string& r) { return same(r, names[i]); });
        if (!taken) {
            offered.push_back(names[i]);
        }
    }
    return offered;
}

const std::vector<std::string>& Min95Choices() {
    static const std::vector<std::string> choices = {"None", "Win 95", "Win 98", "Win ME"};
    return choices;
}

const std::vector<std::string>& MinNTChoices() {
    static const std::vector<std::string> choices = {"None", "NT 4", "2000", "XP"};
    return choices;
}

int Min95Choice(uint32_t osCode) { return ChoiceOf(kMin95Codes, osCode); }

uint32_t Min95Code(int choice) { return choice >= 0 && choice < 4 ? kMin95Codes[choice] : 0; }

int MinNTChoice(uint32_t osCode) { return ChoiceOf(kMinNTCodes, osCode & ~0xFFu); }

int ServicePack(uint32_t osCode) { return static_cast<int>(osCode & 0xFF); }

uint32_t MinNTCode(int choice, int servicePack) {
    if (choice <= 0 || choice >= 4) {
        return 0;
    }
    return kMinNTCodes[choice] | (static_cast<uint32_t>(servicePack) & 0xFF);
}

const std::vector<std::string>& MediaChoices() {
    static const std::vector<std::string> choices = {"CD ROM (650 MB)", "Floppy Disk (1.44 MB)",
                                                     "Single Executable file", "User defined size"};
    return choices;
}

bool MediaTakesAutorun(int mediaType) { return mediaType == 0 || mediaType == kUserDefinedMedia; }

bool ParseNumber(const std::string& text, long min, long max, long* value) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) {
        return false;
    }
    const std::string digits = text.substr(begin, end - begin + 1);
    char* stop = nullptr;
    errno = 0;
    long number = std::strtol(digits.c_str(), &stop, 10);
    if (errno != 0 || stop == digits.c_str() || *stop != '\0' || number < min || number > max) {
        return false;
    }
    *value = number;
    return true;
}

}  // namespace page_rules
