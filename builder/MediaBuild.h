#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class BuildOutput;
class CFolder;
class CProject;

// Where a kind of media goes below the output folder, and how its disks are cut.
struct MediaLayout {
    std::string rootFolder;      // the media root below the output folder ("\CD"); empty: the output folder
    std::string firstDisk;       // the first disk's folder below the output folder ("\CD\CD1")
    std::string diskPattern;     // the disk folders below the media root ("CD%d")
    std::string cabinetPattern;  // the data cabinets ("TSData%d.cab")
    int32_t diskSize = 0;        // bytes per disk; 0 or less: no limit
};

// The layout of MediaType 0 (CD), 1 (floppy), 2 (single executable file) or 3 (user defined size, with
// MediaSize bytes per disk). Unknown types are built as a CD.
MediaLayout LayoutOf(int32_t mediaType, int32_t mediaSize);

// What a build takes besides the project.
struct BuildOptions {
    std::string outputFolder;  // empty: the project's Destination
    std::string rawSetup;      // the setup program's image, copied to the media as Setup.exe ("Raw Setup")
    // Signs the program at a path in place; returns why it could not (empty: signed). Unset: media are
    // not signed. Single-file media have their program signed on its own first, then the whole image.
    std::function<std::string(const std::string& path)> sign;
};

// The media build: check the project and, when the check finds no error, write the media of its
// MediaType into the output folder. Progress, findings and failures go to the output list; a build never
// throws. The object keeps what the last build set, for Run, Test and Open Target Folder.
//
// The authoring program keeps one beside its document, calls Build with its output page, and calls
// ProjectChanged on every edit (Run and Test build again first when MediaBuilt is false).
class CMediaBuild {
public:
    // The whole build; returns MediaBuilt (true exactly when the build reported no error).
    bool Build(CProject& project, BuildOutput& output, const BuildOptions& options);

    // The check alone, as the build runs it (dynamic folders expanded, special folders found), with the
    // summary line; writes nothing. outputFolder is the folder a build would write to (empty: the project's
    // Destination). Returns true when it found no error.
    static bool Check(CProject& project, BuildOutput& output, const std::string& outputFolder = "");

    void ProjectChanged() { mediaBuilt_ = false; }
    bool MediaBuilt() const { return mediaBuilt_; }
    // The folder of the first disk of the last build, which holds Setup.exe.
    const std::string& MediaFolder() const { return mediaFolder_; }
    std::string SetupPath() const { return mediaFolder_ + "\\Setup.exe"; }
    // Bytes that the first disk needs besides its data cabinet, as the last build counted them.
    int64_t FirstDiskBytes() const { return firstDiskBytes_; }

    // The media root of a project's MediaType below an output folder (the output folder itself for a
    // single executable file): what Open Target Folder shows.
    static std::string MediaRoot(const CProject& project, const std::string& outputFolder);

private:
    void Run(CProject& project, BuildOutput& output);
    // Reads the raw setup image into memory; reports an error and returns false when it cannot.
    bool LoadRawSetup(BuildOutput& output);
    void MakeFolders(const CProject& project);
    // Puts the staged media in place of the previous ones.
    void PlaceMedia(const CProject& project);
    // After a failed build: removes the staging folder and the output folder when the build made it.
    void DiscardStage();
    void MakeSupportCabinet(const CProject& project, BuildOutput& output);
    void MakeDatabase(CProject& project, BuildOutput& output);
    void MakeAutorun(const CProject& project, BuildOutput& output);
    void CopySourceFolder(const CProject& project, BuildOutput& output);
    void CopySourceTree(const CProject& project, const CFolder* folder, const std::string& target);
    void MakeDataCabinets(const CProject& project, BuildOutput& output);
    void MakeSetup(const CProject& project, BuildOutput& output);
    // The program without payload, ended by its own trailer; signed when the build signs single-file
    // media, its checksum and security entry then cleared and given in *kept. False after an error.
    bool MakeProgram(const CProject& project, BuildOutput& output, std::vector<uint8_t>* program,
                     std::vector<uint8_t>* kept);
    bool Sign(const std::string& path, BuildOutput& output);

    std::string outputFolder_;
    std::string rawSetup_;
    std::function<std::string(const std::string& path)> sign_;
    std::vector<uint8_t> image_;  // the raw setup image, read before anything is written
    // The build writes below a staging folder in the output folder (the same layout as the output folder
    // itself) and moves the finished media into place at the end.
    std::string stage_;
    std::string stageMedia_;                // the first disk's folder below the stage
    std::vector<std::string> madeFolders_;  // the output folder and the missing folders above it
    std::string mediaFolder_;
    int64_t firstDiskBytes_ = 0;
    int dataFiles_ = 0;  // files put into the data cabinets
    // SOURCE_DATE_EPOCH as a FILETIME (0: not set): no time in the media is later.
    uint64_t latestTime_ = 0;
    void ClampStagedTimes();
    bool mediaBuilt_ = false;
};

// The summary line of a check or build: "Finished %d Error%s, %d Warning%s." with the counts of the list.
std::string SummaryLine(const BuildOutput& output);
