#pragma once

// The authoring program's rules that need no window: its command line, its recent-file list and the two
// forms a project is kept in.
#include <string>
#include <vector>

namespace author_rules {

struct CommandLine {
    std::string projectPath;  // empty when the line names no project
    std::string options;
    bool BuildAndExit() const { return options.find('B') != std::string::npos; }
};

// The project path and the options of the program's command line. A path in double quotes is taken whole,
// spaces included, and the options follow it; a bare path ends at the first space, comma or hyphen.
CommandLine ParseCommandLine(const std::string& line);

// A path shortened to at most maxLength characters for a menu: the drive or first folder, "...", and as
// many of the last parts as fit.
std::string ShortenPath(const std::string& path, size_t maxLength = 30);

// The most recently used project files, most recent first, at most kMaxEntries, each path once (compared
// without regard to case).
class RecentFiles {
public:
    static constexpr size_t kMaxEntries = 8;

    const std::vector<std::string>& Entries() const { return entries_; }
    void Add(const std::string& path);
    void Remove(const std::string& path);
    // Replaces the list with stored entries, dropping empty ones, duplicates and those past the limit.
    void Assign(const std::vector<std::string>& stored);

private:
    std::vector<std::string> entries_;
};

// A project is kept as a project file (.tsp) or as its text form (.toml); the extension tells which.
enum class ProjectForm { kFile, kText };

// The form a path names: ".toml" in any case is the text form, everything else a project file.
ProjectForm FormOfPath(const std::string& path);

// The file types of the Save As dialog, in the order of its filter (the dialog counts from 1), and the
// type that shows a document of the given form.
enum SaveType { kSaveTypeFile = 1, kSaveTypeText = 2 };
int SaveTypeOf(ProjectForm form);

// The form and the path of Save As: the file type chosen decides the form, and the name gets that form's
// extension (in place of the other form's, or added to any other), so that the file opens again in the
// form it was written in.
struct SaveChoice {
    ProjectForm form;
    std::string path;
};
SaveChoice ChooseSaveForm(int saveType, const std::string& chosenPath);

// ---- the main window's size and place ----

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The main window's place at start from the one saved at the last exit: no smaller than minWidth x
// minHeight, no larger than the work area of the screen nearest to it, and moved wholly onto that work
// area (a screen that was removed or a resolution that shrank leaves no window out of reach). False when
// nothing usable was saved: the window then keeps its first place.
bool PlaceOnScreen(const Rect& saved, const Rect& workArea, int minWidth, int minHeight, Rect* placed);

// The page list and the page area in a main window's client area of width x height pixels, below a
// toolbar of toolbarHeight pixels (a few pixels below it, or where designed when that is lower): both
// reach down to the bottom margin, the list keeps its designed
// width, the page area takes the rest of the width up to the right margin. The margins and the gap are
// those of the designed layout (designedList and designedArea, designed in a client of designedWidth x
// designedHeight); a window smaller than designed keeps the designed sizes.
struct FrameBoxes {
    Rect list, area;
};
FrameBoxes FrameLayout(int width, int height, int toolbarHeight, const Rect& designedList,
                       const Rect& designedArea, int designedWidth, int designedHeight);

}  // namespace author_rules
