#include "model/Folder.h"

#include "model/ArchiveRefs.h"
#include "model/FileItem.h"
#include "model/Project.h"
#include "model/Text.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"

const char* OverwriteMethodName(int method) {
    static const char* const names[] = {"Never Overwrite",
                                        "Overwrite file only with newer version",
                                        "Don't overwrite the file with older version",
                                        "Overwrite file with newer version, then more recent date",
                                        "Overwrite file with more recent date",
                                        "Always overwrite"};
    return method >= 0 && method <= kAlwaysOverwrite ? names[method] : "";
}

void CFolder::Serialize(const std::string& key, CTreeArchive& ar, const std::string& basePath) {
    if (!ar.BeginObject(key)) {
        return;
    }
    ar.ExchangeString("Name", &name, std::string());
    if (ar.IsProjectFile()) {
        const uint8_t noViews[kExpandedViews] = {};
        archive_refs::ExchangeRelativePath(ar, "DynamicPath", &dynamicPath, basePath);
        ar.ExchangeValue("Expanded", sizeof expanded, expanded, noViews);
        ar.ExchangeBool("IsDynamic", &isDynamic, false);
        ar.ExchangeString("WildCards", &wildCards, "*.*");
        ar.ExchangeString("XWildCards", &xWildCards, std::string());
        ar.ExchangeBool("IncludeSF", &includeSF, true);
        ar.ExchangeBool("OverwriteMethod", &overwriteMethod, kOverwriteNewerVersionThenDate);
    }
    children.Exchange(
        ar, "Children",
        [&](CFolder& child, const std::string& childKey) {
            child.Serialize(childKey, ar, basePath);
            child.parent = this;
        },
        [&](const CFolder& child) { return child.generated && ar.IsProjectFile(); });
    ar.EndObject();
}

CFolder* CFolder::AddChild(std::unique_ptr<CFolder> child) {
    CFolder* added = children.Add(std::move(child));
    if (added != nullptr) {
        added->parent = this;
    }
    return added;
}

std::string CFolder::TargetPath() const {
    return parent == nullptr ? "<" + name + ">" : parent->TargetPath() + "\\" + name;
}

CFolder* CFolder::FindChild(const std::string& childName) const {
    for (CFolder* child : children) {
        if (text::EqualNoCase(child->name, childName)) {
            return child;
        }
    }
    return nullptr;
}

CFileItem* CFolder::FindFile(const CItemArray<CFileItem>& files, const std::string& title) const {
    for (CFileItem* file : files) {
        if (file->folder == this && text::EqualNoCase(file->title, title)) {
            return file;
        }
    }
    return nullptr;
}

bool CFolder::IsBelow(const CFolder* ancestor, bool recursive) const {
    for (const CFolder* up = parent; up != nullptr; up = up->parent) {
        if (up == ancestor) {
            return true;
        }
        if (!recursive) {
            break;
        }
    }
    return false;
}

bool CFolder::IsEmpty(const CItemArray<CFileItem>& files) const {
    for (const CFileItem* file : files) {
        if (file->LiesIn(this, true)) {
            return false;
        }
    }
    for (const CFolder* child : children) {
        if (child->isDynamic) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitPatterns(const std::string& list) {
    std::vector<std::string> patterns;
    std::string current;
    for (char c : list + ";") {
        if (c == ',' || c == ';') {
            if (!current.empty()) {
                patterns.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    return patterns;
}

bool IsExcluded(const std::string& filePath, const std::string& exclusions) {
    const std::string name = platform::FileTitle(filePath);
    for (const std::string& pattern : SplitPatterns(exclusions)) {
        // A pattern without a dot excludes nothing; any other is matched against the file's name.
        if (pattern.find('.') != std::string::npos && platform::WildcardMatch(pattern, name)) {
            return true;
        }
    }
    return false;
}

void CFolder::ExpandDynamic(CProject& project) {
    // A dynamic folder that names no folder of the authoring machine mirrors nothing.
    if (isDynamic && !dynamicPath.empty()) {
        if (includeSF) {
            for (const platform::FoundEntry& entry : platform::FindFiles(dynamicPath + "\\*.*")) {
                if (!entry.isFolder) {
                    continue;
                }
                auto child = std::make_unique<CFolder>(entry.name);
                child->isDynamic = true;
                child->includeSF = true;
                child->generated = true;
                child->wildCards = wildCards;
                child->xWildCards = xWildCards;
                child->overwriteMethod = overwriteMethod;
                child->dynamicPath = dynamicPath + "\\" + entry.name;
                AddChild(std::move(child));
            }
        }
        for (const std::string& pattern : SplitPatterns(wildCards)) {
            for (const platform::FoundEntry& entry : platform::FindFiles(dynamicPath + "\\" + pattern)) {
                const std::string path = dynamicPath + "\\" + entry.name;
                if (entry.isFolder || IsExcluded(path, xWildCards)) {
                    continue;
                }
                if (CFileItem* file = project.AddFile(path, this)) {
                    file->generated = true;
                    file->overwriteMethod = overwriteMethod;
                }
            }
        }
    }
    for (CFolder* child : children) {
        child->ExpandDynamic(project);
    }
}
