#include "builder/ProjectCheck.h"

#include <cctype>
#include <unordered_map>
#include <vector>

#include "builder/BuildOutput.h"
#include "builder/MediaBuild.h"
#include "model/Project.h"
#include "model/Text.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"

namespace {

bool LiesInSpecial(const CFileItem* file, const CFolder* special) {
    return special != nullptr && file->LiesIn(special, true);
}

// A file name in one case, for comparing names without regard to case.
std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

bool FolderHasShortcut(const CProject& project, const CFolder* folder) {
    for (const CShortcut* shortcut : project.shortcuts) {
        if (shortcut->folder == folder) {
            return true;
        }
    }
    return false;
}

// A folder without subfolders: files of one name must be meant for different releases, and the folder
// should hold something.
void CheckLeafFolder(const CProject& project, const CFolder* folder, BuildOutput& output) {
    std::vector<const CFileItem*> own;
    for (const CFileItem* file : project.files) {
        if (file->folder == folder) {
            own.push_back(file);
        }
    }
    // Only files of one name can clash: each file is compared with the later files of its name alone, so a
    // folder of many thousand files is checked in one pass.
    std::unordered_map<std::string, std::vector<size_t>> byName;
    for (size_t i = 0; i < own.size(); ++i) {
        byName[FoldedName(own[i]->title)].push_back(i);
    }
    for (size_t i = 0; i < own.size(); ++i) {
        const std::vector<size_t>& sameName = byName[FoldedName(own[i]->title)];
        for (size_t j : sameName) {
            if (j > i && (own[i]->osMask & own[j]->osMask) != 0) {
                output.Error("OS Version mismatch for the file \"%s\" in folder \"%s\"!", own[i]->title,
                             folder->name);
                break;
            }
        }
    }
    if (own.empty() && !FolderHasShortcut(project, folder)) {
        output.Warning("No object is defined in the folder \"%s\"!", TreePath(folder));
    }
}

void CheckFolder(const CProject& project, const CFolder* folder, BuildOutput& output) {
    if (folder->children.empty()) {
        CheckLeafFolder(project, folder, output);
        return;
    }
    for (const CFolder* child : folder->children) {
        CheckFolder(project, child, output);
    }
}

void CheckRegItem(const CProject& project, const CRegItem* item, BuildOutput& output) {
    if (item->parent != nullptr) {
        if (item->IsKey() && item->children.empty()) {
            output.Warning("No object is defined in the registry key \"%s\"!", item->FullPath());
        }
        if (project.rootFeature.RegItemState(item, true) == kNotIncluded) {
            output.Warning("The registry key \"%s\" is not included in any feature!", item->FullPath());
            return;
        }
    }
    for (const CRegItem* child : item->children) {
        CheckRegItem(project, child, output);
    }
}

bool RootFeatureIsEmpty(const CFeature& feature) {
    return feature.fileFolders.empty() && feature.folders.empty() && feature.files.empty() &&
           feature.regValueKeys.empty() && feature.regKeys.empty() && feature.regValues.empty() &&
           feature.children.empty();
}

void CheckCustomActions(const CProject& project, BuildOutput& output) {
    for (const CCustomAction* action : project.actions) {
        const CFileItem* target = action->target;
        if (target == nullptr) {
            output.Error("No Target file is specified for the Custom action \"%s\"!", action->name);
            continue;
        }
        if (LiesInSpecial(target, project.tempFolder)) {
            continue;
        }
        if (LiesInSpecial(target, project.sourceFolder) &&
            (project.mediaType == 2 || action->invokeAfter < kAfterProgress)) {
            continue;
        }
        output.Warning("The file \"%s\" may not be available at installation time to perform custom action!",
                       TreePath(target));
    }
}

void CheckUISettings(const CProject& project, BuildOutput& output) {
    const CUISettings& ui = project.ui;
    if (ui.showSplash) {
        CheckFileExists(output, ui.splashFile, "Splash");
    }
    if (!ui.bannerForAll.empty()) {
        CheckFileExists(output, ui.bannerForAll);
    }
    for (int page = 0; page < CUISettings::kPageSlots; ++page) {
        if (ui.showPage[page] && !ui.pageBanner[page].empty()) {
            CheckFileExists(output, ui.pageBanner[page]);
        }
    }
    if (ui.showPage[kLicensePage]) {
        bool any = false;
        for (const std::string& license : ui.licenseFiles) {
            if (license.empty()) {
                continue;
            }
            any = true;
            const std::string extension = ExtensionOf(license);
            if (!text::EqualNoCase(extension, ".rtf") && !text::EqualNoCase(extension, ".txt")) {
                output.Error("Invalid License file type \"%s\"!", license);
            }
            CheckFileExists(output, license);
        }
        if (!any) {
            output.Error("No License File was specified!");
        }
    }
    if (ui.showPage[kFinishPage]) {
        if (ui.readmeOption != kDoNotOffer) {
            if (ui.readmeFile != nullptr) {
                CheckFileExists(output, ui.readmeFile->sourcePath);
            } else {
                output.Error("No Readme File was specified!");
            }
        }
        if (ui.runOption != kDoNotOffer) {
            if (ui.runApplication != nullptr) {
                CheckFileExists(output, ui.runApplication->sourcePath);
            } else {
                output.Error("No application was specified to run!");
            }
        }
    }
}

// A cabinet lists at most kCabinetFileLimit files. The support cabinet and the data cabinet of media
// without a disk size are single cabinets; a disk set may spread its files over several cabinets, but not
// when they all fit on the first disk.
void CheckCabinetCapacity(const CProject& project, BuildOutput& output) {
    const MediaLayout layout = LayoutOf(project.mediaType, project.mediaSize);
    const bool singleFile = project.mediaType == 2;
    size_t dataFiles = 0;
    uint64_t dataBytes = 0;
    size_t supportFiles = 0;
    for (const CFileItem* file : project.files) {
        const bool inSource = LiesInSpecial(file, project.sourceFolder);
        if (LiesInSpecial(file, project.tempFolder) || (singleFile && inSource)) {
            ++supportFiles;
        }
        if (!inSource) {
            ++dataFiles;
            dataBytes += file->size;
        }
    }
    const auto report = [&output](const char* cabinet, size_t files) {
        output.Error("The cabinet \"%s\" cannot hold %s files (65535 at most)!", cabinet,
                     std::to_string(files));
    };
    if (dataFiles > kCabinetFileLimit && (layout.diskSize <= 0 || dataBytes <= uint64_t(layout.diskSize))) {
        report(layout.diskSize <= 0 && singleFile ? "TSData.cab" : "TSData1.cab", dataFiles);
    }
    if (supportFiles > kCabinetFileLimit) {
        report("TSFiles.cab", supportFiles);
    }
}

}  // namespace

bool CheckDestination(const std::string& outputFolder, BuildOutput& output) {
    if (outputFolder.find_first_not_of(" \t") == std::string::npos) {
        output.Error("No Destination Directory has been defined!");
        return false;
    }
    return true;
}

std::string TreePath(const CFolder* folder) {
    std::string path;
    for (const CFolder* f = folder; f != nullptr; f = f->parent) {
        path = path.empty() ? f->name : f->name + "\\" + path;
    }
    return path;
}

std::string TreePath(const CFileItem* file) {
    return TreePath(file->folder) + "\\" + file->title;
}

std::string ExtensionOf(const std::string& path) {
    const std::string title = platform::FileTitle(path);
    const size_t dot = title.find_last_of('.');
    return dot == std::string::npos ? std::string() : title.substr(dot);
}

bool CheckFileExists(BuildOutput& output, const std::string& path, const std::string& displayName) {
    // A plain name is looked up directly; only a pattern needs a search of its folder.
    const bool pattern = platform::FileTitle(path).find_first_of("*?") != std::string::npos;
    if (!path.empty() && (pattern ? !platform::FindFiles(path).empty()
                                  : platform::FileExists(path) || platform::FolderExists(path))) {
        return true;
    }
    if (!path.empty() && !pattern && platform::IsSpecialEntry(path)) {
        output.Error("The file \"%s\" is not a regular file!", path);
    } else if (path.empty() && !displayName.empty()) {
        output.Error("Cannot find the \"%s\" file!", displayName);
    } else {
        output.Error("Cannot find the file \"%s\"!", path);
    }
    return false;
}

void CheckProject(CProject& project, BuildOutput& output) {
    output.Information("Checking the Database...");

    if (RootFeatureIsEmpty(project.rootFeature)) {
        output.Error("No data is defined in the feature \"%s\"!", project.rootFeature.name);
    }

    for (const CFolder* root : project.rootFolders) {
        CheckFolder(project, root, output);
    }

    for (CFileItem* file : project.files) {
        file->Refresh();
        CheckFileExists(output, file->sourcePath);
        if (!LiesInSpecial(file, project.sourceFolder) && !LiesInSpecial(file, project.tempFolder) &&
            project.rootFeature.ContainsFile(file, true) == kNotIncluded) {
            output.Warning("The file \"%s\" is not included in any feature!", TreePath(file));
        }
    }

    CheckCabinetCapacity(project, output);

    for (const CRegItem* root : project.rootRegs) {
        CheckRegItem(project, root, output);
    }

    for (const CShortcut* shortcut : project.shortcuts) {
        if (shortcut->target == nullptr && shortcut->workingFolder == nullptr) {
            output.Error("No Target specified for the shortcut \"%s\" in folder \"%s\"!", shortcut->name,
                         shortcut->folder != nullptr ? shortcut->folder->name : std::string());
        }
    }

    for (const CDocType* docType : project.docTypes) {
        if (docType->verbs.empty()) {
            output.Warning("No verb is defined for the document type \"%s\"!", docType->name);
        }
    }

    CheckCustomActions(project, output);

    if (project.productID.IsNull()) {
        output.Error("No Product GUID has been defined!");
    }
    if (project.productName.empty()) {
        output.Error("No Product Name has been defined!");
    }
    if (project.productVersion.empty()) {
        output.Error("No Product Version has been defined!");
    }

    CheckUISettings(project, output);

    if (project.makeAutorun && (project.mediaType == 0 || project.mediaType == 3) &&
        !project.cdIconFile.empty()) {
        CheckFileExists(output, project.cdIconFile);
    }
}
