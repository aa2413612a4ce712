#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CFolder;
class CProject;
class CTreeArchive;

// Bits of the operating-system code, one per Windows release.
enum OsBits : uint32_t {
    kOsOtherWin32 = 0x100,
    kOsWin95 = 0x200,
    kOsWin98 = 0x400,
    kOsWinME = 0x800,
    kOsNTBefore4 = 0x1000,
    kOsNT4 = 0x2000,
    kOsWin2000 = 0x4000,
    kOsWinXP = 0x8000,
    kOsLaterNT = 0x10000,
};
// Every release, named or not.
constexpr uint32_t kOsMaskAll = 0x1FF00;
// The releases that the authoring program names.
constexpr uint32_t kOsMaskNamed = 0xEE00;

// One file of the project: where it comes from on the authoring machine, where it goes (its folder) and
// how the setup program installs it. All files lie in the project's flat Files list.
class CFileItem {
public:
    CFileItem() = default;

    int position = -1;
    std::string sourcePath;  // on the authoring machine
    std::string title;       // the name it gets on the target machine
    bool compressed = true;  // goes into the data cabinets (false: copied to the media as it is)
    uint32_t size = 0;
    uint64_t time = 0;  // last-write time as a Win32 FILETIME
    bool registerFile = false;
    bool shared = false;
    bool addAppPath = false;
    std::string appPath;
    uint32_t versionMS = 0;
    uint32_t versionLS = 0;
    uint8_t overwriteMethod = 3;
    bool isConfigFile = false;
    bool permanent = false;
    bool wasThere = false;  // setup program: the file existed on the target before the installation
    uint32_t osMask = kOsMaskAll;
    CFolder* folder = nullptr;
    bool generated = false;  // found by the dynamic expansion
    // Setup program, for one run: to be present afterwards, present before, found in use, and the file's
    // path on the target with the path variables expanded.
    bool isSelected = false;
    bool isInstalled = false;
    bool inUse = false;
    std::string resolvedPath;

    // A file for a source path: its title, size, time and version from the source file, and the
    // overwrite method that suits it (by version when it has one, else by date).
    static std::unique_ptr<CFileItem> FromPath(const std::string& path);

    void Serialize(const std::string& key, CTreeArchive& ar, CProject& project);

    // Takes size, time and version from the source file. A file that cannot be read gets size 0 and keeps
    // its time; a file without version resource keeps its version.
    void Refresh();

    // The folder's display path, a backslash and the title.
    std::string TargetPath() const;
    // The source path up to its last backslash.
    std::string SourceFolder() const;

    // The file's folder is the given one or, if recursive, lies below it.
    bool LiesIn(const CFolder* inFolder, bool recursive) const;
};
