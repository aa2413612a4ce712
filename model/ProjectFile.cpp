#include "model/ProjectFile.h"

#include "model/Project.h"
#include "model/TreeArchive.h"
#include "platform/Paths.h"

const char kMainClass[] = "TSFile";
const char kProjectKey[] = "TSDatabase";

bool LoadProjectFile(CProject& project, const std::string& path) {
    CTreeArchive ar(kMainClass, kLoadProject);
    if (!ar.OpenForLoad(path)) {
        return false;
    }
    project.projectPath = path;
    project.displayName = platform::FileTitle(path);
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterLoad();
    return true;
}

void SaveProjectFile(CProject& project, const std::string& path) {
    CTreeArchive ar(kMainClass, kSaveProject);
    project.projectPath = path;
    project.displayName = platform::FileTitle(path);
    ar.OpenForSave(path);
    project.Serialize(kProjectKey, ar);
    ar.CloseAfterSave();
}
