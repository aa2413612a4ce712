#include "cli/ProjectNotes.h"

#include <cstdio>
#include <cstring>

#include "platform/Paths.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The number of an array element's key ("Arr12" is 12), or -1 for any other key.
int ElementNumber(const std::string& name) {
    if (!StartsWith(name, "Arr") || name.size() == 3 || name.size() > 12) {
        return -1;
    }
    long number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return -1;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number <= 0x7FFFFFFF ? static_cast<int>(number) : -1;
}

// Keys whose leaves hold texts wherever they appear.
const char* const kTextKeys[] = {
    "Name",       "Description", "Arguments",      "Function",     "Extension",  "Value",
    "AppPath",    "FileTitle",   "DynamicPath",    "WildCards",    "XWildCards", "Author",
    "Comments",   "ProductName", "ProductVersion", "Manufacturer", "ProductURL", "SupportPhone",
    "CDIconFile", "Destination", "SplashFile",     "BannerForAll", "Folder",     "WkDir"};
// Prefixes of the numbered keys that hold texts: licence paths and the index paths of features.
const char* const kTextKeyPrefixes[] = {"LicenseFiles[", "FileFolders[", "Folders[",
                                        "RegValueKeys[", "RegKeys[",     "RegValues["};

// Days since 1970-01-01 as a civil date (proleptic Gregorian calendar).
void CivilDate(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    *month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    *year = static_cast<int64_t>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

std::string FileTimeText(uint64_t fileTime) {
    if (fileTime == 0) {
        return std::string();
    }
    // FILETIME counts 100-nanosecond steps from 1601-01-01, 134774 days before 1970-01-01.
    const int64_t seconds = static_cast<int64_t>(fileTime / 10000000) - 134774LL * 86400;
    const int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int64_t secondOfDay = seconds - days * 86400;
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilDate(days, &year, &month, &day);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02u:%02u:%02u UTC", static_cast<long long>(year),
                  month, day, static_cast<unsigned>(secondOfDay / 3600),
                  static_cast<unsigned>(secondOfDay / 60 % 60), static_cast<unsigned>(secondOfDay % 60));
    return text;
}

ProjectNotes::ProjectNotes() {
    frames_.push_back(Frame{Kind::kTop, -1, "", ""});
}

ProjectNotes::Kind ProjectNotes::KindInside(const Frame& parent, const std::string& name) {
    // The objects of a project by their parent and key; a step without key takes any element "Arr%d".
    struct Step {
        Kind parent;
        const char* key;
        Kind kind;
    };
    static const Step kSteps[] = {
        {Kind::kTop, "TSDatabase", Kind::kProject},
        {Kind::kProject, "RootFolders", Kind::kFolderList},
        {Kind::kProject, "Files", Kind::kFileList},
        {Kind::kProject, "RootRegs", Kind::kRegList},
        {Kind::kProject, "Shortcuts", Kind::kShortcutList},
        {Kind::kProject, "DocTypes", Kind::kDocTypeList},
        {Kind::kProject, "Actions", Kind::kActionList},
        {Kind::kProject, "RootFeature", Kind::kFeature},
        {Kind::kProject, "UserInterface", Kind::kSettings},
        {Kind::kFolderList, nullptr, Kind::kFolder},
        {Kind::kFolder, "Children", Kind::kFolderList},
        {Kind::kRegList, nullptr, Kind::kReg},
        {Kind::kReg, "Children", Kind::kRegList},
        {Kind::kFileList, nullptr, Kind::kFile},
        {Kind::kShortcutList, nullptr, Kind::kShortcut},
        {Kind::kDocTypeList, nullptr, Kind::kDocType},
        {Kind::kDocType, "Verbs", Kind::kVerbList},
        {Kind::kVerbList, nullptr, Kind::kVerb},
        {Kind::kActionList, nullptr, Kind::kAction},
        {Kind::kFeature, "Children", Kind::kFeatureList},
        {Kind::kFeatureList, nullptr, Kind::kFeature},
        {Kind::kSettings, "PageBanner", Kind::kPageBanners},
    };
    const bool element = ElementNumber(name) >= 0;
    for (const Step& step : kSteps) {
        if (step.parent == parent.kind && (step.key != nullptr ? name == step.key : element)) {
            return step.kind;
        }
    }
    return Kind::kOther;
}

void ProjectNotes::Enter(const std::string& name) {
    const Frame& parent = frames_.back();
    Frame frame{KindInside(parent, name), ElementNumber(name), parent.indexPath, parent.shownPath};
    if (frame.kind == Kind::kFolder || frame.kind == Kind::kReg) {
        frame.indexPath += std::to_string(frame.number) + ",";
    }
    frames_.push_back(frame);
}

void ProjectNotes::Leave() {
    if (frames_.size() > 1) {
        frames_.pop_back();
    }
}

bool ProjectNotes::IsText(const std::string& key) const {
    const Kind kind = frames_.back().kind;
    if (kind == Kind::kOther || kind == Kind::kTop) {
        return false;
    }
    if (kind == Kind::kPageBanners || (kind == Kind::kProject && key == "Target")) {
        return true;
    }
    for (const char* textKey : kTextKeys) {
        if (key == textKey) {
            return true;
        }
    }
    for (const char* prefix : kTextKeyPrefixes) {
        if (StartsWith(key, prefix)) {
            return true;
        }
    }
    return false;
}

ProjectNotes::Reference ProjectNotes::ReferenceKind(const std::string& key) const {
    // The references of each kind of record; a key ending in "[" stands for the numbered keys of a
    // feature's index list.
    struct Use {
        Kind kind;
        const char* key;
        Reference reference;
    };
    static const Use kUses[] = {
        {Kind::kProject, "IconFile", Reference::kFile},
        {Kind::kFile, "Folder", Reference::kFolder},
        {Kind::kShortcut, "Folder", Reference::kFolder},
        {Kind::kShortcut, "Target", Reference::kFile},
        {Kind::kShortcut, "WkDir", Reference::kFolder},
        {Kind::kShortcut, "IconFile", Reference::kFile},
        {Kind::kDocType, "IconFile", Reference::kFile},
        {Kind::kVerb, "Target", Reference::kFile},
        {Kind::kAction, "Target", Reference::kFile},
        {Kind::kSettings, "RunApplication", Reference::kFile},
        {Kind::kSettings, "ReadmeFile", Reference::kFile},
        {Kind::kFeature, "FileFolders[", Reference::kFolder},
        {Kind::kFeature, "Folders[", Reference::kFolder},
        {Kind::kFeature, "Files[", Reference::kFile},
        {Kind::kFeature, "RegValueKeys[", Reference::kRegItem},
        {Kind::kFeature, "RegKeys[", Reference::kRegItem},
        {Kind::kFeature, "RegValues[", Reference::kRegItem},
    };
    const Kind kind = frames_.back().kind;
    for (const Use& use : kUses) {
        const bool numbered = use.key[std::strlen(use.key) - 1] == '[';
        if (use.kind == kind && (numbered ? StartsWith(key, use.key) : key == use.key)) {
            return use.reference;
        }
    }
    return Reference::kNone;
}

std::string ProjectNotes::FileNote(const std::vector<uint8_t>& bytes, uint32_t size) const {
    if (size != 4 || bytes.size() != 4) {
        return std::string();
    }
    const int32_t position = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                  static_cast<uint32_t>(bytes[3]) << 24);
    if (position == -1) {
        return "none";
    }
    const auto title = fileTitles_.find(position);
    if (title == fileTitles_.end()) {
        return "no such file";
    }
    const auto folder = fileFolders_.find(position);
    const auto shown = folder != fileFolders_.end() ? folders_.find(folder->second) : folders_.end();
    return (shown != folders_.end() ? shown->second : "(no folder)") + "\\" + title->second;
}

std::string ProjectNotes::PathNote(const std::map<std::string, std::string>& names, const std::string& text) {
    if (text.empty()) {
        return "none";
    }
    const auto found = names.find(text);
    return found != names.end() ? found->second : "does not resolve";
}

void ProjectNotes::Learn(const std::string& key, const std::string& text) {
    Frame& frame = frames_.back();
    if (key == "Name" && (frame.kind == Kind::kFolder || frame.kind == Kind::kReg)) {
        const bool folder = frame.kind == Kind::kFolder;
        const bool root = frame.indexPath.find(',') == frame.indexPath.size() - 1;
        frame.shownPath = root ? (folder ? "<" + text + ">" : text) : frame.shownPath + "\\" + text;
        (folder ? folders_ : regItems_)[frame.indexPath] = frame.shownPath;
    } else if (frame.kind == Kind::kFile && frame.number >= 0) {
        if (key == "Name" || key == "FileTitle") {
            fileTitles_[frame.number] = platform::FileTitle(text);
        } else if (key == "Folder") {
            fileFolders_[frame.number] = text;
        }
    }
}

std::string ProjectNotes::Note(const std::string& key, const std::vector<uint8_t>& bytes, uint32_t size) {
    const bool whole = bytes.size() == size;
    const std::string text(bytes.begin(), bytes.end());
    if (whole && IsText(key)) {
        Learn(key, text);
    }
    std::string target;
    switch (ReferenceKind(key)) {
        case Reference::kFile:
            target = FileNote(bytes, size);
            break;
        case Reference::kFolder:
            target = whole ? PathNote(folders_, text) : std::string();
            break;
        case Reference::kRegItem:
            target = whole ? PathNote(regItems_, text) : std::string();
            break;
        case Reference::kNone:
            break;
    }
    if (!target.empty()) {
        return "-> " + target;
    }
    if (key == "FileTime" && frames_.back().kind == Kind::kFile && size == 8 && whole) {
        uint64_t time = 0;
        for (int i = 7; i >= 0; --i) {
            time = time << 8 | bytes[static_cast<size_t>(i)];
        }
        return time != 0 ? "(" + FileTimeText(time) + ")" : std::string();
    }
    return std::string();
}
