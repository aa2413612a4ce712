#include "cli/NewProject.h"

#include "model/Project.h"
#include "model/ProjectFile.h"
#include "platform/FileInfo.h"
#include "platform/TSException.h"

platform::Guid WriteNewProject(const std::string& modelPath) {
    platform::FileInfo existing;
    if (platform::GetFileInfo(modelPath, &existing)) {
        throw CTSException("The file \"%s\" already exists!", modelPath);
    }
    CProject project;
    project.Reset();
    SaveProjectFile(project, modelPath);
    return project.productID;
}
