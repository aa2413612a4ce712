#pragma once

#include <string>

#include "model/Project.h"

// The open project and its document state: whether it was ever saved, whether it has unsaved changes,
// and whether its media were built since the last change.
class CDocument {
public:
    CProject project;
    bool untitled = true;
    bool modified = false;
    bool mediaBuilt = false;

    const std::string& Title() const { return project.displayName; }
    const std::string& Path() const { return project.projectPath; }

    // A new project: the next "Project%d", no path, nothing to save.
    void New();
    // Opens a project file. Throws CTSException when it cannot be opened or read; the project may then be
    // partly loaded, and the caller decides whether to reset it.
    void Load(const std::string& path);
    // Saves to path, which becomes the document's path. Throws CTSException on failure, leaving the file
    // that was there untouched and the modified flag set.
    void Store(const std::string& path);
    // Every edit: the changes need saving and the built media no longer match.
    void SetModified() {
        modified = true;
        mediaBuilt = false;
    }
};
