#pragma once

#include <functional>
#include <string>

#include "model/Project.h"
#include "platform/TSException.h"

// What an edit changed, handed to every page so that a page showing the same objects refreshes. The object
// that goes with a hint is the one named (a folder, a file, a feature ...), or nullptr.
enum class UpdateHint {
    kSettingsChanged,   // a field of the project record or of the user-interface settings
    kFolderAdded,
    kFolderChanged,
    kFolderDeleted,
    kFileAdded,
    kFileChanged,
    kFileDeleted,
    kItemMovedOrCopied,  // folders, files, shortcuts, keys or features moved or copied
    kShortcutChanged,    // added, changed or deleted
    kRegistryChanged,
    kFeatureChanged,
    kDocTypeChanged,     // document types and their verbs
    kActionChanged,
};

// A project that could not be opened while the document stayed as it was: nothing of the open project
// was touched, and the message says why.
class COpenRefused : public CTSException {
public:
    using CTSException::CTSException;
};

// The open project and its document state: whether it was ever saved, whether it has unsaved changes,
// and whether its media were built since the last change.
class CDocument {
public:
    using Listener = std::function<void(UpdateHint hint, const void* object)>;

    CProject project;
    bool untitled = true;
    bool modified = false;
    bool mediaBuilt = false;  // the one flag: set by a build without errors, cleared by every change

    const std::string& Title() const { return project.displayName; }
    const std::string& Path() const { return project.projectPath; }

    // A new project: the next "Project%d", no path, nothing to save.
    void New();
    // Opens a project file, or the text form of a project when the path ends in ".toml". A project file
    // that cannot be opened or read throws CTSException; the project may then be partly loaded, and the
    // caller decides whether to reset it. A text that cannot be read throws COpenRefused with the fault
    // as a compiler reports it ("FILE:LINE:COL: error: ..."), and the document is the one open before.
    void Load(const std::string& path);
    // Saves to path, which becomes the document's path, in the form its extension names. Throws
    // CTSException on failure, leaving the file that was there untouched and the modified flag set.
    void Store(const std::string& path);

    // The only way an edit reaches the document: the changes need saving, the built media no longer
    // match, and every page hears what changed. Pages keep no model pointer across a call.
    void Changed(UpdateHint hint, const void* object = nullptr);
    void SetListener(Listener listener) { listener_ = std::move(listener); }

private:
    Listener listener_;
};
