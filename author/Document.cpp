#include "author/Document.h"

#include "model/ProjectFile.h"
#include "platform/Paths.h"
#include "platform/TSException.h"

void CDocument::New() {
    project.Reset();
    untitled = true;
    modified = false;
    mediaBuilt = false;
}

void CDocument::Load(const std::string& path) {
    // The path comes first: it names the document even when the load fails, and it is the base of the
    // file's relative paths.
    project.projectPath = path;
    project.displayName = platform::FileTitle(path);
    untitled = false;
    modified = false;
    if (!platform::FileExists(path)) {
        throw CTSException("Cannot open the file \"%s\"!", path);
    }
    if (!LoadProjectFile(project, path)) {
        throw CTSException("The file \"%s\" is not a Tessaro project!", path);
    }
}

void CDocument::Store(const std::string& path) {
    SaveProjectFile(project, path);
    untitled = false;
    modified = false;
}

void CDocument::Changed(UpdateHint hint, const void* object) {
    modified = true;
    mediaBuilt = false;
    if (listener_) {
        listener_(hint, object);
    }
}
