#include "setup/engine/SetupEngine.h"

#include "model/FileItem.h"
#include "model/Folder.h"
#include "platform/NoCase.h"

SetupEngine* SetupEngine::instance_ = nullptr;

namespace {

std::string Lower(const std::string& text) {
    return nocase::Lower(text);
}

std::string BeforeLastBackslash(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

}  // namespace

std::string SetupEngine::ShellFolderOf(const char* name, bool allUsersAllowed) {
    if (allUsersAllowed && installForAll && (osCode & kOsNTFamily) != 0) {
        return folders_.ShellFolder(std::string("Common ") + name, true);
    }
    return folders_.ShellFolder(name, false);
}

std::string SetupEngine::ResolveVariable(const std::string& rawName) {
    const std::string name = Lower(rawName);
    if (name == "target folder") return project.target;
    if (name == "source folder") return sourceFolder;
    if (name == "temp folder" || name == "tstemp folder") return tstempFolder;
    if (name == "tsdb folder") return databasePath;
    if (name == "program files") return BeforeLastBackslash(folders_.WindowsFolder()) + "\\Program Files";
    if (name == "windows folder") return folders_.WindowsFolder();
    if (name == "windows system folder") return folders_.SystemFolder();
    if (name == "fonts folder") return folders_.ShellFolder("Fonts", false);
    if (name == "my documents") {
        const std::string personal = folders_.ShellFolder("Personal", false);
        return !personal.empty() ? personal : BeforeLastBackslash(folders_.WindowsFolder()) + "\\My Documents";
    }
    if (name == "user name") return userName;
    if (name == "company name") return companyName;
    if (name == "user email") return userEmail;
    if (name == "author") return project.author;
    if (name == "manufacturer") return project.manufacturer;
    if (name == "product name") return project.productName;
    if (name == "product version") return project.productVersion;
    if (name == "install menu shortcuts") return TrueFalse(menuShortcuts);
    if (name == "install desktop shortcuts") return TrueFalse(desktopShortcuts);
    if (name == "install for all") return TrueFalse(installForAll);
    if (name.compare(0, 11, "hard coded ") == 0) return name.substr(11);
    if (name == "setup mode") return SetupModeName(mode);
    if (name == "test") return TrueFalse(test);
    if (name == "toolbar") {
        return BeforeLastBackslash(folders_.ShellFolder("Desktop", false)) +
               "\\Application Data\\Microsoft\\Internet Explorer\\Quick Launch";
    }
    if (name == "start menu") return ShellFolderOf("Start Menu", true);
    if (name == "programs") return ShellFolderOf("Programs", true);
    if (name == "desktop") return ShellFolderOf("Desktop", true);
    if (name == "startup") return ShellFolderOf("Startup", true);
    return std::string();
}

std::string SetupEngine::ExpandVariables(const std::string& text) {
    std::string result = text;
    size_t p = 0;
    for (;;) {
        const size_t open = result.find('<', p);
        if (open == std::string::npos) {
            break;
        }
        const size_t close = result.find('>', open);
        if (close == std::string::npos) {
            break;
        }
        const std::string value = ResolveVariable(result.substr(open + 1, close - open - 1));
        result.replace(open, close - open + 1, value);
        p = open + value.size();
    }
    return result;
}

std::string SetupEngine::FolderPath(const CFolder& folder) { return folder.TargetPath(); }

std::string SetupEngine::FilePath(const CFileItem& file) const {
    if (file.folder == nullptr) {
        return std::string();
    }
    const std::string path = FolderPath(*file.folder) + "\\" + file.title;
    if (project.mediaType == 2) {
        const std::string first = path.substr(0, path.find('\\'));
        if (Lower(first) == "<source folder>") {
            return "<Temp Folder>\\" + file.title;
        }
    }
    return path;
}
