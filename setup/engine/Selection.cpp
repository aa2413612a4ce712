#include "setup/engine/Selection.h"

#include <climits>
#include <functional>

#include "model/DocType.h"
#include "model/Feature.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "model/RegItem.h"
#include "model/Shortcut.h"
#include "platform/NoCase.h"

namespace {

// Which of the two marks a walk over the features gives: selected (to be present afterwards) or installed
// (present before).
struct Mark {
    bool CFolder::*folder;
    bool CFileItem::*file;
    bool CRegItem::*regItem;
};
constexpr Mark kSelectedMark{&CFolder::isSelected, &CFileItem::isSelected, &CRegItem::isSelected};
constexpr Mark kInstalledMark{&CFolder::isInstalled, &CFileItem::isInstalled, &CRegItem::isInstalled};

void ForEachFolder(const CItemArray<CFolder>& folders, const std::function<void(CFolder&)>& visit) {
    for (CFolder* folder : folders) {
        visit(*folder);
        ForEachFolder(folder->children, visit);
    }
}

void ForEachRegItem(const CItemArray<CRegItem>& items, const std::function<void(CRegItem&)>& visit) {
    for (CRegItem* item : items) {
        visit(*item);
        ForEachRegItem(item->children, visit);
    }
}

void MarkWithAncestors(CFolder* folder, const Mark& mark) {
    for (; folder != nullptr; folder = folder->parent) {
        folder->*mark.folder = true;
    }
}

void MarkWithAncestors(CRegItem* item, const Mark& mark) {
    for (; item != nullptr; item = item->parent) {
        item->*mark.regItem = true;
    }
}

void MarkFilesIn(const CProject& project, const CFolder* folder, bool recursive, const Mark& mark) {
    for (CFileItem* file : project.files) {
        if (file->LiesIn(folder, recursive)) {
            file->*mark.file = true;
        }
    }
}

// What one feature below the root contributes, by the list that names the item.
void MarkFeatureItems(const CProject& project, const CFeature& feature, const Mark& mark) {
    for (CFolder* folder : feature.folders) {
        MarkWithAncestors(folder, mark);
        ForEachFolder(folder->children, [&](CFolder& below) { below.*mark.folder = true; });
        MarkFilesIn(project, folder, true, mark);
    }
    for (CFolder* folder : feature.fileFolders) {
        MarkWithAncestors(folder, mark);
        MarkFilesIn(project, folder, false, mark);
    }
    for (CFileItem* file : feature.files) {
        file->*mark.file = true;
        MarkWithAncestors(file->folder, mark);
    }
    for (CRegItem* key : feature.regKeys) {
        MarkWithAncestors(key, mark);
        ForEachRegItem(key->children, [&](CRegItem& below) { below.*mark.regItem = true; });
    }
    for (CRegItem* key : feature.regValueKeys) {
        MarkWithAncestors(key, mark);
        for (CRegItem* child : key->children) {
            if (!child->IsKey()) {
                child->*mark.regItem = true;
            }
        }
    }
    for (CRegItem* item : feature.regValues) {
        MarkWithAncestors(item, mark);
    }
}

// Every feature below the root for which the test holds gives its items the mark; the root feature's own
// lists are never installed.
void MarkFeatures(CProject& project, const Mark& mark, bool (*takes)(const CFeature&)) {
    project.rootFeature.ForEach([&](CFeature& feature) {
        if (&feature != &project.rootFeature && takes(feature)) {
            MarkFeatureItems(project, feature, mark);
        }
    });
}

void ClearMark(CProject& project, const Mark& mark) {
    ForEachFolder(project.rootFolders, [&](CFolder& folder) { folder.*mark.folder = false; });
    for (CFileItem* file : project.files) {
        file->*mark.file = false;
    }
    ForEachRegItem(project.rootRegs, [&](CRegItem& item) { item.*mark.regItem = false; });
}

bool EqualsNoCase(const std::string& a, const char* b) {
    return nocase::Equal(a, b);
}

// A root folder in which no shortcuts are made because the user declined them.
bool SuppressedRoot(const SetupEngine& engine, const CFolder& root) {
    if (EqualsNoCase(root.name, "desktop")) {
        return !engine.desktopShortcuts;
    }
    if (EqualsNoCase(root.name, "start menu") || EqualsNoCase(root.name, "programs") ||
        EqualsNoCase(root.name, "startup")) {
        return !engine.menuShortcuts;
    }
    return false;
}

void Expand(SetupEngine& engine, std::string& text) {
    text = engine.ExpandVariables(text);
}

// A string value's data is its text with the terminating zero; the expanded text replaces it, and the
// stored size follows.
void ExpandStringData(SetupEngine& engine, CRegItem& item) {
    size_t length = 0;
    while (length < item.data.size() && item.data[length] != 0) {
        ++length;
    }
    const std::string expanded = engine.ExpandVariables(
        std::string(item.data.begin(), item.data.begin() + static_cast<std::ptrdiff_t>(length)));
    item.data.assign(expanded.begin(), expanded.end());
    item.data.push_back(0);
}

}  // namespace

void PrepareSelection(SetupEngine& engine) {
    CProject& project = engine.project;
    engine.totalBytes = 0;
    if (engine.mode == SM_REMOVE) {
        project.rootFeature.ForEach([](CFeature& feature) { feature.selected = false; });
    }
    ClearMark(project, kSelectedMark);
    MarkFeatures(project, kSelectedMark, [](const CFeature& feature) { return feature.selected; });
    if (engine.mode == SM_REPAIR) {
        project.rootFeature.ForEach([](CFeature& feature) { feature.installed = false; });
        ClearMark(project, kInstalledMark);
    }
    // The count is 32 bits wide; a product of more than 2 GB keeps the largest count rather than wrapping
    // round to a negative range.
    int64_t total = 0;
    engine.selectedBytes = 0;
    for (const CFileItem* file : project.files) {
        if (file->isSelected && !file->isInstalled) {
            total += file->size;
        }
        if (file->isSelected) {
            engine.selectedBytes += file->size;
        }
    }
    engine.totalBytes = static_cast<int32_t>(total > INT32_MAX ? INT32_MAX : total);
}

void ResolvePaths(SetupEngine& engine) {
    CProject& project = engine.project;
    for (std::string* text :
         {&project.author, &project.comments, &project.productName, &project.productVersion,
          &project.manufacturer, &project.productURL, &project.supportPhone}) {
        Expand(engine, *text);
    }
    ForEachFolder(project.rootFolders, [&](CFolder& folder) {
        folder.resolvedPath = engine.ResolvedFolderPath(folder);
        folder.suppressed =
            folder.parent != nullptr ? folder.parent->suppressed : SuppressedRoot(engine, folder);
    });
    for (CFileItem* file : project.files) {
        file->resolvedPath = engine.ResolvedFilePath(*file);
        Expand(engine, file->appPath);
    }
    ForEachRegItem(project.rootRegs, [&](CRegItem& item) {
        Expand(engine, item.name);
        if (item.type == platform::kRegString) {
            ExpandStringData(engine, item);
        }
    });
    for (CShortcut* shortcut : project.shortcuts) {
        Expand(engine, shortcut->name);
        Expand(engine, shortcut->arguments);
        Expand(engine, shortcut->description);
    }
    for (CDocType* docType : project.docTypes) {
        Expand(engine, docType->name);
        Expand(engine, docType->description);
        for (CVerb* verb : docType->verbs) {
            Expand(engine, verb->name);
            Expand(engine, verb->description);
            Expand(engine, verb->arguments);
        }
    }
}

void MarkInstalledItems(SetupEngine& engine) {
    MarkFeatures(engine.project, kInstalledMark, [](const CFeature& feature) { return feature.installed; });
}
