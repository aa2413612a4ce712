#include "setup/engine/Deployment.h"

#include <cctype>
#include <set>

#include "model/Feature.h"
#include "platform/NoCase.h"

namespace {

bool IsDriveRoot(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\';
}

// \\server\share: two backslashes, a server name, a backslash and a share name.
bool IsNetworkPath(const std::string& path) {
    if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') {
        return false;
    }
    const size_t share = path.find('\\', 2);
    return share != std::string::npos && share > 2 && share + 1 < path.size() && path[share + 1] != '\\';
}

bool HoldsForbiddenCharacter(const std::string& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || std::string("<>\"|?*").find(static_cast<char>(c)) != std::string::npos ||
            (c == ':' && i != 1)) {
            return true;
        }
    }
    return false;
}

bool IsBelowNamed(const CFeature& feature, const std::set<const CFeature*>& named) {
    for (const CFeature* f = &feature; f != nullptr; f = f->parent) {
        if (named.count(f) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool NormalizeTargetFolder(const std::string& text, std::string* folder, std::string* error) {
    std::string path = text;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (path.empty()) {
        *error = "The target folder is empty!";
        return false;
    }
    if (!IsDriveRoot(path) && !IsNetworkPath(path)) {
        *error = "The target folder \"" + text + "\" is not a full path!";
        return false;
    }
    if (HoldsForbiddenCharacter(path)) {
        *error = "The target folder \"" + text + "\" holds a character that no folder name can hold!";
        return false;
    }
    while (path.size() > 2 && path.back() == '\\') {
        path.pop_back();
    }
    *folder = path;
    return true;
}

std::vector<std::string> SplitFeatureNames(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        size_t first = start;
        size_t last = end;
        while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
        while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
        if (last > first) {
            names.push_back(text.substr(first, last - first));
        }
        start = end + 1;
    }
    return names;
}

bool SelectNamedFeatures(CFeature& root, const std::vector<std::string>& names, std::string* unknown) {
    std::set<const CFeature*> named;
    for (const std::string& name : names) {
        const CFeature* found = nullptr;
        root.ForEach([&](CFeature& feature) {
            if (found == nullptr && &feature != &root && nocase::Equal(feature.name, name)) {
                found = &feature;
            }
        });
        if (found == nullptr) {
            *unknown = name;
            return false;
        }
        named.insert(found);
    }
    root.ForEach([&](CFeature& feature) {
        if (&feature != &root) {
            feature.selected = feature.required || IsBelowNamed(feature, named);
        }
    });
    // A feature above a named one is selected with it.
    for (const CFeature* feature : named) {
        for (CFeature* above = feature->parent; above != nullptr; above = above->parent) {
            above->selected = true;
        }
    }
    return true;
}
