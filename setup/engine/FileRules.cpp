#include "setup/engine/FileRules.h"

#include "model/FileItem.h"
#include "model/Folder.h"
#include "platform/Format.h"

namespace {

enum class Comparison { kLower, kEqual, kHigher };

Comparison Compare(uint64_t a, uint64_t b) {
    return a < b ? Comparison::kLower : a > b ? Comparison::kHigher : Comparison::kEqual;
}

uint64_t Version(uint32_t ms, uint32_t ls) {
    return (static_cast<uint64_t>(ms) << 32) | ls;
}

std::string Format(const char* format, const std::string& text) {
    char buffer[600];
    platform::FormatTo(buffer, sizeof buffer, format, text.c_str());
    return buffer;
}

const char* const kFailureTexts[] = {
    "Could not allocate enough memory.",                      // 5
    "Unknown compression type in a cabinet folder.",          // 6
    "Failure decompressing data from a cabinet file.",        // 7
    "Failure writing to target file.",                        // 8
    "Cabinets in a set do not have the same RESERVE sizes.",  // 9
    "Cabinet returned on fdintNEXT_CABINET is incorrect.",    // 10
    "FDI aborted.",                                           // 11
};

const char kPrefix[] = "\\?\?\\";
// Before a destination: replace the file there (which a file in use always is); without it the system
// leaves an existing destination alone and drops the new file.
const char kReplacePrefix[] = "!\\?\?\\";

}  // namespace

OverwriteDecision DecideOverwrite(const CFileItem& file, const ExistingFile& existing) {
    const uint8_t method = file.overwriteMethod;
    if (!existing.exists) {
        return {true, "no file there"};
    }
    if (method == kAlwaysOverwrite) {
        return {true, "always replaced"};
    }
    if (!existing.readable) {
        return {false, "the existing file cannot be read"};
    }
    // A configuration file that the user has changed since it was made stays.
    if (file.isConfigFile && existing.creationTime < existing.lastWriteTime) {
        return {false, "the user changed the configuration file"};
    }
    if (method == kNeverOverwrite) {
        return {false, "a file is there"};
    }
    if (method == kOverwriteNewerVersion || method == kKeepNewerVersion ||
        method == kOverwriteNewerVersionThenDate) {
        const bool newHasVersion = file.versionMS != 0 && file.versionLS != 0;
        if (existing.hasVersion || newHasVersion) {
            if (!newHasVersion) {
                return {false, "the new file has no version, the existing one has"};
            }
            if (!existing.hasVersion) {
                return {true, "the existing file has no version"};
            }
            const Comparison versions = Compare(Version(file.versionMS, file.versionLS),
                                                Version(existing.versionMS, existing.versionLS));
            if (versions == Comparison::kHigher) {
                return {true, "newer version"};
            }
            if (versions == Comparison::kLower) {
                return {false, "older version"};
            }
        }
    }
    switch (method) {
        case kOverwriteNewerVersion:
            return {false, "no newer version"};
        case kKeepNewerVersion:
            return {true, "no older version"};
        case kOverwriteNewerVersionThenDate:
        case kOverwriteNewerDate:
            return Compare(file.time, existing.lastWriteTime) == Comparison::kHigher
                       ? OverwriteDecision{true, "more recent date"}
                       : OverwriteDecision{false, "no more recent date"};
        default:
            return {true, "unknown method: replaced"};
    }
}

bool ShouldOverwrite(const CFileItem& file, const ExistingFile& existing) {
    return DecideOverwrite(file, existing).replace;
}

std::string FolderWithBackslash(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

NextCabinetPlan PlanNextCabinet(const std::string& folder, const std::string& cabinetName,
                                const std::string& diskName, int error) {
    NextCabinetPlan plan;
    if (error == 0) {
        return plan;
    }
    if (error >= 1 && error <= 4) {
        plan.reaction = NextCabinetPlan::kAskForCabinet;
        if (error == 1) {
            std::string shortened = folder;
            if (!shortened.empty() && shortened.back() == '\\') {
                shortened.pop_back();
            }
            const size_t slash = shortened.find_last_of('\\');
            plan.candidate = slash == std::string::npos
                                 ? shortened + "\\" + cabinetName
                                 : shortened.substr(0, slash + 1) + diskName + "\\" + cabinetName;
            plan.message = Format(
                "Please insert the following disk:\n\n    %s\n\nor browse to a folder containing the "
                "specified file.",
                diskName);
            return plan;
        }
        plan.candidate = folder + cabinetName;
        const char* problem = error == 2   ? "does not have the correct format"
                              : error == 3 ? "has an unknown version number"
                                           : "is corrupt";
        plan.message = Format((std::string("The specified cabinet file ") + problem +
                               ".\nPlease insert \"%s\" or browse to a folder containing the file.")
                                  .c_str(),
                              diskName);
        return plan;
    }
    plan.reaction = NextCabinetPlan::kFail;
    if (error >= 5 && error <= 11) {
        plan.message = kFailureTexts[error - 5];
    }
    return plan;
}

std::vector<std::pair<std::string, std::string>> RenameOperations(const std::vector<char>& data) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t p = 0;
    auto next = [&](std::string* text) {
        size_t end = p;
        while (end < data.size() && data[end] != '\0') {
            ++end;
        }
        text->assign(data.begin() + static_cast<std::ptrdiff_t>(p),
                     data.begin() + static_cast<std::ptrdiff_t>(end));
        p = end < data.size() ? end + 1 : end;
    };
    while (p < data.size()) {
        std::string source, destination;
        next(&source);
        if (source.empty()) {
            break;
        }
        next(&destination);
        pairs.emplace_back(source, destination);
    }
    return pairs;
}

std::vector<char> AppendRenameOperation(const std::vector<char>& existing, const std::string& source,
                                        const std::string& destination) {
    auto pairs = RenameOperations(existing);
    pairs.emplace_back(kPrefix + source, destination.empty() ? std::string() : kReplacePrefix + destination);
    std::vector<char> data;
    for (const auto& pair : pairs) {
        data.insert(data.end(), pair.first.begin(), pair.first.end());
        data.push_back('\0');
        data.insert(data.end(), pair.second.begin(), pair.second.end());
        data.push_back('\0');
    }
    data.push_back('\0');
    return data;
}

SharedRemoval DecideSharedRemoval(int32_t count, bool wasThere, int32_t sharedFileAnswer) {
    if (count > 0 || wasThere || sharedFileAnswer == 1) {
        return SharedRemoval::kKeep;
    }
    return sharedFileAnswer == 2 ? SharedRemoval::kRemove : SharedRemoval::kAsk;
}
