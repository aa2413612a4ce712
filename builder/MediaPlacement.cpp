#include "builder/MediaPlacement.h"

#include <cctype>
#include <vector>

#include "model/Text.h"
#include "platform/NoCase.h"
#include "platform/FindFiles.h"
#include "platform/Paths.h"
#include "platform/RawFile.h"
#include "platform/TSException.h"

namespace {

// The staged tree: its folders (a parent before its children) and its files, as paths below the root.
struct StagedTree {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

void Walk(const std::string& root, const std::string& below, StagedTree* tree) {
    const std::string folder = below.empty() ? root : root + "\\" + below;
    for (const platform::FoundEntry& entry : platform::FindFiles(folder + "\\*")) {
        const std::string name = below.empty() ? entry.name : below + "\\" + entry.name;
        if (entry.isFolder) {
            tree->folders.push_back(name);
            Walk(root, name, tree);
        } else {
            tree->files.push_back(name);
        }
    }
}

// Every move and every folder made on the way, so that a failure can take them all back.
class Journal {
public:
    void Move(const std::string& from, const std::string& to) {
        std::string error;
        if (!platform::raw::Replace(from, to, &error)) {
            throw CTSException("Cannot replace the file \"%s\"!", to);
        }
        moves_.push_back({from, to});
    }

    // Makes the folders of a path below root that are missing, parents first.
    void MakeFolders(const std::string& root, const std::string& below) {
        for (size_t slash = below.find('\\'); slash != std::string::npos;
             slash = below.find('\\', slash + 1)) {
            MakeFolder(root + "\\" + below.substr(0, slash));
        }
    }

    void MakeFolder(const std::string& folder) {
        if (platform::FolderExists(folder)) {
            return;
        }
        if (!platform::CreateFolder(folder)) {
            throw CTSException("Cannot create the folder \"%s\"!", folder);
        }
        made_.push_back(folder);
    }

    void Undo() {
        std::string error;
        for (auto move = moves_.rbegin(); move != moves_.rend(); ++move) {
            platform::raw::Replace(move->to, move->from, &error);
        }
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
            RemoveFolderIfEmpty(*folder);
        }
        moves_.clear();
        made_.clear();
    }

private:
    struct Moved {
        std::string from;
        std::string to;
    };
    std::vector<Moved> moves_;
    std::vector<std::string> made_;
};

}  // namespace

bool IsMediaFileName(const std::string& name) {
    for (const char* own : {"Setup.exe", "tsdb.dat", "autorun.inf", "CDIcon.ico"}) {
        if (text::EqualNoCase(name, own)) {
            return true;
        }
    }
    return platform::WildcardMatch("TSData*.cab", name);
}

bool IsDiskFolderName(const std::string& diskPattern, const std::string& name) {
    const size_t percent = diskPattern.find('%');
    if (percent == std::string::npos) {
        return false;
    }
    const size_t conversion = diskPattern.find('d', percent);
    if (conversion == std::string::npos) {
        return false;
    }
    const std::string prefix = diskPattern.substr(0, percent);
    const std::string suffix = diskPattern.substr(conversion + 1);
    if (name.size() <= prefix.size() + suffix.size() ||
        !nocase::StartsWith(name, prefix) || !nocase::EndsWith(name, suffix)) {
        return false;
    }
    for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

bool RemoveFolderIfEmpty(const std::string& folder) {
    if (!platform::FolderExists(folder)) {
        return true;
    }
    if (!platform::FindFiles(folder + "\\*").empty()) {
        return false;
    }
    platform::RemoveTree(folder);
    return !platform::FolderExists(folder);
}

void PlaceStagedMedia(const std::string& stagedRoot, const std::string& finalRoot,
                      const std::string& diskPattern, const std::string& backupFolder) {
    StagedTree staged;
    Walk(stagedRoot, "", &staged);

    // What goes: the previous media's own files in its disk folders, and any file a staged one replaces.
    std::vector<std::string> previous;
    std::vector<std::string> diskFolders;
    for (const platform::FoundEntry& disk : platform::FindFiles(finalRoot + "\\*")) {
        if (!disk.isFolder || !IsDiskFolderName(diskPattern, disk.name)) {
            continue;
        }
        diskFolders.push_back(finalRoot + "\\" + disk.name);
        for (const platform::FoundEntry& entry : platform::FindFiles(finalRoot + "\\" + disk.name + "\\*")) {
            if (!entry.isFolder && IsMediaFileName(entry.name)) {
                previous.push_back(disk.name + "\\" + entry.name);
            }
        }
    }
    for (const std::string& file : staged.files) {
        if (platform::FileExists(finalRoot + "\\" + file)) {
            bool listed = false;
            for (const std::string& p : previous) {
                listed = listed || text::EqualNoCase(p, file);
            }
            if (!listed) {
                previous.push_back(file);
            }
        }
    }

    platform::RemoveTree(backupFolder);
    Journal journal;
    try {
        journal.MakeFolder(backupFolder);
        for (const std::string& file : previous) {
            journal.MakeFolders(backupFolder, file);
            journal.Move(finalRoot + "\\" + file, backupFolder + "\\" + file);
        }
        journal.MakeFolder(finalRoot);
        for (const std::string& folder : staged.folders) {
            journal.MakeFolder(finalRoot + "\\" + folder);
        }
        for (const std::string& file : staged.files) {
            journal.Move(stagedRoot + "\\" + file, finalRoot + "\\" + file);
        }
    } catch (const CTSException&) {
        journal.Undo();
        platform::RemoveTree(backupFolder);
        throw;
    }
    platform::RemoveTree(backupFolder);
    for (const std::string& disk : diskFolders) {
        RemoveFolderIfEmpty(disk);
    }
}
