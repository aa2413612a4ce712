#include "text/TextNames.h"

#include <cstdint>

#include "model/Project.h"
#include "platform/NoCase.h"
#include "platform/Paths.h"

namespace project_text {

namespace {

const char* const kOverwriteNames[] = {
    "never", "newer-version", "keep-newer-version", "newer-version-then-date", "newer-date", "always"};

bool IsAbsolute(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

std::vector<std::string> SplitBackslash(const std::string& path) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (true) {
        const size_t slash = path.find('\\', at);
        parts.push_back(path.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
        if (slash == std::string::npos) {
            return parts;
        }
        at = slash + 1;
    }
}

}  // namespace

std::string ToUtf8(const std::string& ansi) {
    std::string utf8;
    utf8.reserve(ansi.size());
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

bool FromUtf8(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            *ansi += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            *ansi += static_cast<char>((c & 0x03) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

std::string RelativeSourcePath(const std::string& path, const std::string& textPath) {
    if (path.empty() || !IsAbsolute(path)) {
        return path;
    }
    const std::vector<std::string> from = SplitBackslash(platform::FolderPart(textPath));
    const std::vector<std::string> to = SplitBackslash(path);
    size_t same = 0;
    while (same < from.size() && same + 1 < to.size() && nocase::Equal(from[same], to[same])) {
        ++same;
    }
    if (same <= 1) {
        return path;  // another drive, or nothing shared below the drive's root
    }
    std::string relative;
    for (size_t i = same; i < from.size(); ++i) {
        relative += "../";
    }
    for (size_t i = same; i < to.size(); ++i) {
        relative += to[i] + (i + 1 < to.size() ? "/" : "");
    }
    return relative;
}

std::string AbsoluteSourcePath(const std::string& written, const std::string& textPath) {
    if (written.empty()) {
        return written;
    }
    std::string path = written;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (IsAbsolute(path)) {
        return path;
    }
    std::vector<std::string> parts = SplitBackslash(platform::FolderPart(textPath));
    for (const std::string& part : SplitBackslash(path)) {
        if (part == "..") {
            if (parts.size() > 1) {
                parts.pop_back();
            }
        } else if (part != "." && !part.empty()) {
            parts.push_back(part);
        }
    }
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        joined += (i ? "\\" : "") + parts[i];
    }
    return joined;
}

const char* OverwriteName(int method) {
    return method >= 0 && method < 6 ? kOverwriteNames[method] : nullptr;
}

int OverwriteFromName(const std::string& name) {
    for (int i = 0; i < 6; ++i) {
        if (name == kOverwriteNames[i]) {
            return i;
        }
    }
    return -1;
}

const char* RegTypeName(uint32_t type) {
    switch (type) {
        case platform::kRegString:
            return "string";
        case platform::kRegBinary:
            return "binary";
        case platform::kRegDword:
            return "dword";
        default:
            return nullptr;
    }
}

int RegTypeFromName(const std::string& name) {
    for (uint32_t type : {platform::kRegString, platform::kRegBinary, platform::kRegDword}) {
        if (name == RegTypeName(type)) {
            return static_cast<int>(type);
        }
    }
    return -1;
}

std::string FeaturePath(const CFeature& feature) {
    if (feature.parent == nullptr || feature.parent->parent == nullptr) {
        return feature.name;
    }
    return FeaturePath(*feature.parent) + "\\" + feature.name;
}

std::string RegKeyPath(const CRegItem& key) {
    return key.FullPath();
}

FileNames::FileNames(const CProject& project) {
    std::map<std::string, int> seen;
    for (const CFileItem* file : project.files) {
        if (file->generated) {
            continue;
        }
        const std::string path = file->TargetPath();
        const int number = ++seen[LookupKey(path)];
        names_[file] = number == 1 ? path : path + "#" + std::to_string(number);
    }
}

std::string FileNames::NameOf(const CFileItem* file) const {
    const auto found = names_.find(file);
    return found == names_.end() ? std::string() : found->second;
}

std::string LookupKey(const std::string& name) {
    return nocase::Upper(name);
}

}  // namespace project_text
