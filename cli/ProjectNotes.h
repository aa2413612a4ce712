#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What the dump knows of a project's keys. It follows the walk of a project file or setup database in
// storage order, learns the names of folders, files and registry items as they go by, and so can show each
// later reference (a file's position, a folder's or registry item's index path) with what it points at.
// It also knows which leaves hold texts, so that a one-letter name is not shown as a number.
class ProjectNotes {
public:
    ProjectNotes();

    // The walk enters and leaves an object.
    void Enter(const std::string& name);
    void Leave();

    // Whether the leaf of that key, in the current object, holds a text.
    bool IsText(const std::string& key) const;

    // Takes note of a leaf (its first bytes and full size) and returns what to show after its value: what
    // a reference points at ("-> <Target Folder>\Bin"), or a file time as a date in brackets; empty for
    // any other leaf.
    std::string Note(const std::string& key, const std::vector<uint8_t>& bytes, uint32_t size);

private:
    enum class Kind {
        kOther,
        kTop,
        kProject,
        kFolderList,
        kFolder,
        kFileList,
        kFile,
        kRegList,
        kReg,
        kShortcutList,
        kShortcut,
        kDocTypeList,
        kDocType,
        kVerbList,
        kVerb,
        kActionList,
        kAction,
        kFeatureList,
        kFeature,
        kSettings,
        kPageBanners,
    };
    struct Frame {
        Kind kind;
        int number;  // the element's number in its list; -1 for other objects
        std::string
            indexPath;  // folders and registry items: the index path of the item (of a list: its owner's)
        std::string shownPath;  // folders and registry items: the display path of the item (or list owner)
    };
    enum class Reference { kNone, kFile, kFolder, kRegItem };

    static Kind KindInside(const Frame& parent, const std::string& name);
    Reference ReferenceKind(const std::string& key) const;
    std::string FileNote(const std::vector<uint8_t>& bytes, uint32_t size) const;
    static std::string PathNote(const std::map<std::string, std::string>& names, const std::string& text);
    void Learn(const std::string& key, const std::string& text);

    std::vector<Frame> frames_;
    std::map<std::string, std::string> folders_;   // by index path: "<Target Folder>\Bin"
    std::map<std::string, std::string> regItems_;  // by index path: "HKEY_LOCAL_MACHINE\Software"
    std::map<int32_t, std::string> fileTitles_;    // by position in the Files list
    std::map<int32_t, std::string> fileFolders_;   // by position: the index path of the file's folder
};

// A Win32 FILETIME as "YYYY-MM-DD hh:mm:ss UTC"; empty for 0.
std::string FileTimeText(uint64_t fileTime);
