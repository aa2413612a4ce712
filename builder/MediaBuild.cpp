#include "builder/MediaBuild.h"

#include <zlib.h>

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "builder/BuildOutput.h"
#include "builder/MediaPlacement.h"
#include "builder/ProjectCheck.h"
#include "cabinet/Cabinet.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/FindFiles.h"
#include "platform/FileInfo.h"
#include "platform/IconFile.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TSException.h"
#include "setup/engine/SingleFileImage.h"

namespace {

constexpr int32_t kSingleFile = 2;
constexpr int32_t kFloppy = 1;
constexpr int64_t kFirstCabinetRoom = 32768;
constexpr int64_t kFolderEntryBytes = 100;
constexpr size_t kCopyChunk = 1 << 20;
// Below the output folder while a build runs; removed when it ends.
constexpr const char* kStageName = "\\~Tessaro.build";
constexpr const char* kBackupName = "\\~Tessaro.previous";

// A build that was asked to stop fails here, through the path that removes what it made.
void StopIfInterrupted() {
    if (platform::Interrupted()) {
        throw CTSException("The build was stopped!");
    }
}

uint64_t SizeOf(const std::string& path) {
    platform::FileInfo info;
    return platform::GetFileInfo(path, &info) ? info.size : 0;
}

[[noreturn]] void CannotCreateFolder(const std::string& folder) {
    throw CTSException("Cannot create the folder \"%s\"!", folder);
}

// Copies a file over any file at the destination, keeping its last-write time; false when the source
// cannot be read or the destination written. An unfinished destination never replaces an older one.
bool CopyWholeFile(const std::string& from, const std::string& to) {
    platform::File in;
    platform::File out;
    if (!in.Open(from, platform::File::Mode::Read) || !out.Open(to, platform::File::Mode::Replace)) {
        return false;
    }
    try {
        std::vector<uint8_t> chunk;
        for (uint64_t left = in.Size(); left > 0;) {
            const size_t piece = left < kCopyChunk ? static_cast<size_t>(left) : kCopyChunk;
            chunk.resize(piece);
            in.Read(chunk.data(), piece);
            out.Write(chunk.data(), piece);
            left -= piece;
        }
        out.Close();
    } catch (const CTSException&) {
        out.Abandon();
        return false;
    }
    platform::FileInfo info;
    if (platform::GetFileInfo(from, &info)) {
        platform::SetFileTimes(to, platform::ToFileTime(info.lastWriteTime));
    }
    return true;
}

// SOURCE_DATE_EPOCH (seconds since 1970, UTC) as a FILETIME; 0 when it is not set. Throws when it is set
// to anything but such a number.
uint64_t SourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0') {
        return 0;
    }
    constexpr uint64_t kTicksPerSecond = 10000000;
    constexpr uint64_t kSecondsTo1970 = 11644473600;
    uint64_t seconds = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || seconds > 253402300799) {  // beyond the year 9999
            throw CTSException("SOURCE_DATE_EPOCH is not a number of seconds since 1970: \"%s\"!", std::string(text));
        }
        seconds = seconds * 10 + static_cast<uint64_t>(*c - '0');
    }
    return (seconds + kSecondsTo1970) * kTicksPerSecond;
}

// Gives the project's files times no later than a limit (0: none) for as long as it lives.
class LatestTimes {
public:
    LatestTimes(CProject& project, uint64_t latest) : project_(project) {
        for (CFileItem* file : project.files) {
            kept_.push_back(file->time);
            if (latest != 0 && file->time > latest) {
                file->time = latest;
            }
        }
    }
    ~LatestTimes() {
        size_t index = 0;
        for (CFileItem* file : project_.files) {
            file->time = kept_[index++];
        }
    }
    LatestTimes(const LatestTimes&) = delete;
    LatestTimes& operator=(const LatestTimes&) = delete;

private:
    CProject& project_;
    std::vector<uint64_t> kept_;
};

void PutU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

MediaLayout LayoutOf(int32_t mediaType, int32_t mediaSize) {
    switch (mediaType) {
        case 1:
            return {"\\Floppy", "\\Floppy\\Disk01", "Disk%02d", "TSData%d.cab", 1440000};
        case 2:
            return {"", "", "", "TSData.cab", 0};
        case 3:
            return {"\\Custom", "\\Custom\\Disk1", "Disk%d", "TSData%d.cab", mediaSize};
        default:
            return {"\\CD", "\\CD\\CD1", "CD%d", "TSData%d.cab", 650000000};
    }
}

std::string CMediaBuild::MediaRoot(const CProject& project, const std::string& outputFolder) {
    return outputFolder + LayoutOf(project.mediaType, project.mediaSize).rootFolder;
}

std::string SummaryLine(const BuildOutput& output) {
    char line[128];
    std::snprintf(line, sizeof line, "Finished %d Error%s, %d Warning%s.", output.Errors(),
                  output.Errors() > 1 ? "s" : "", output.Warnings(), output.Warnings() > 1 ? "s" : "");
    return line;
}

bool CMediaBuild::Check(CProject& project, BuildOutput& output, const std::string& outputFolder) {
    output.Clear();
    try {
        output.Information("Preparing to build media...");
        project.ExpandDynamicFolders();
        project.FindSpecialFolders(true);
        CheckProject(project, output);
        CheckDestination(outputFolder.empty() ? project.destination : outputFolder, output);
    } catch (const CTSException& e) {
        output.Error(e.Message().c_str());
    }
    project.RemoveGenerated();
    output.Information(SummaryLine(output).c_str());
    return output.Errors() == 0;
}

bool CMediaBuild::Build(CProject& project, BuildOutput& output, const BuildOptions& options) {
    output.Clear();
    mediaBuilt_ = false;
    outputFolder_ = options.outputFolder.empty() ? project.destination : options.outputFolder;
    while (outputFolder_.size() > 1 && outputFolder_.back() == '\\') {
        outputFolder_.pop_back();
    }
    rawSetup_ = options.rawSetup;
    sign_ = options.sign;
    image_.clear();
    stage_.clear();
    madeFolders_.clear();
    try {
        Run(project, output);
    } catch (const CTSException& e) {
        output.Error(e.Message().c_str());
    } catch (const std::exception& e) {
        output.Error(e.what());
    }
    if (output.Errors() != 0) {
        DiscardStage();
    }
    image_ = std::vector<uint8_t>();
    project.RemoveGenerated();
    output.Information(SummaryLine(output).c_str());
    mediaBuilt_ = output.Errors() == 0;
    return mediaBuilt_;
}

void CMediaBuild::Run(CProject& project, BuildOutput& output) {
    output.Information("Preparing to build media...");
    latestTime_ = SourceDateEpoch();
    project.ExpandDynamicFolders();
    project.FindSpecialFolders(true);
    CheckProject(project, output);
    // What a build needs besides the project is checked with it, before anything is written.
    const bool hasDestination = CheckDestination(outputFolder_, output);
    if (!LoadRawSetup(output) || !hasDestination || output.Errors() != 0) {
        return;
    }
    MakeFolders(project);
    MakeSupportCabinet(project, output);
    StopIfInterrupted();
    MakeDatabase(project, output);
    MakeAutorun(project, output);
    StopIfInterrupted();
    CopySourceFolder(project, output);
    StopIfInterrupted();
    MakeDataCabinets(project, output);
    StopIfInterrupted();
    MakeSetup(project, output);
    StopIfInterrupted();
    if (output.Errors() == 0) {
        ClampStagedTimes();
        PlaceMedia(project);
    }
}

bool CMediaBuild::LoadRawSetup(BuildOutput& output) {
    if (!CheckFileExists(output, rawSetup_, "Raw Setup")) {
        return false;
    }
    if (!platform::File::ReadAll(rawSetup_, &image_) || image_.empty() || image_.size() > UINT32_MAX) {
        output.Error("Cannot read the file \"%s\"!", rawSetup_);
        image_.clear();
        return false;
    }
    return true;
}

void CMediaBuild::MakeFolders(const CProject& project) {
    for (std::string folder = outputFolder_; !folder.empty() && !platform::FolderExists(folder);) {
        madeFolders_.push_back(folder);
        const size_t slash = folder.find_last_of('\\');
        folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    }
    if (!platform::CreateFolderPath(outputFolder_)) {
        CannotCreateFolder(outputFolder_);
    }
    const MediaLayout layout = LayoutOf(project.mediaType, project.mediaSize);
    mediaFolder_ = outputFolder_ + layout.firstDisk;
    // A staging folder left by a build that was killed is this program's own.
    stage_ = outputFolder_ + kStageName;
    platform::RemoveTree(stage_);
    if (!platform::CreateFolder(stage_)) {
        CannotCreateFolder(stage_);
    }
    stageMedia_ = stage_ + layout.firstDisk;
    if (project.mediaType == kSingleFile) {
        return;
    }
    if (!platform::CreateFolder(stage_ + layout.rootFolder)) {
        CannotCreateFolder(stage_ + layout.rootFolder);
    }
    if (!platform::CreateFolder(stageMedia_)) {
        CannotCreateFolder(stageMedia_);
    }
}

void CMediaBuild::ClampStagedTimes() {
    if (latestTime_ == 0) {
        return;
    }
    for (const platform::FileBelow& file : platform::FilesBelow(stage_)) {
        platform::FileInfo info;
        if (platform::GetFileInfo(file.path, &info) && info.lastWriteTime > latestTime_) {
            platform::SetFileTimes(file.path, platform::ToFileTime(latestTime_));
        }
    }
}

void CMediaBuild::PlaceMedia(const CProject& project) {
    const MediaLayout layout = LayoutOf(project.mediaType, project.mediaSize);
    PlaceStagedMedia(stage_ + layout.rootFolder, outputFolder_ + layout.rootFolder, layout.diskPattern,
                     outputFolder_ + kBackupName);
    platform::RemoveTree(stage_);
    stage_.clear();
}

void CMediaBuild::DiscardStage() {
    if (!stage_.empty()) {
        platform::RemoveTree(stage_);
        stage_.clear();
    }
    for (const std::string& folder : madeFolders_) {
        if (!RemoveFolderIfEmpty(folder)) {
            break;
        }
    }
    madeFolders_.clear();
}

void CMediaBuild::MakeSupportCabinet(const CProject& project, BuildOutput& output) {
    output.Information("Making internal data...");
    CCabinet cabinet(stage_, "TSFiles", "TSFiles.cab", 0, 0);
    cabinet.SetLatestTime(latestTime_);
    cabinet.Open();
    const CUISettings& ui = project.ui;
    if (ui.showPage[kLicensePage]) {
        int added = 0;
        for (const std::string& license : ui.licenseFiles) {
            if (!license.empty()) {
                const std::string name = "License" + std::to_string(added++) + ExtensionOf(license);
                cabinet.AddFile(license, name.c_str());
            }
        }
    }
    for (int page = 0; page < CUISettings::kPageSlots; ++page) {
        if (ui.showPage[page] && !ui.pageBanner[page].empty()) {
            const std::string name = "Banner" + std::to_string(page) + ".bmp";
            cabinet.AddFile(ui.pageBanner[page], name.c_str());
        }
    }
    if (!ui.bannerForAll.empty()) {
        cabinet.AddFile(ui.bannerForAll, "BAll.bmp");
    }
    if (ui.showSplash && !ui.splashFile.empty()) {
        cabinet.AddFile(ui.splashFile, "Splash.bmp");
    }
    for (const CFileItem* file : project.files) {
        const std::string name = platform::FileTitle(file->sourcePath);
        if (project.tempFolder != nullptr && file->LiesIn(project.tempFolder, true)) {
            cabinet.AddFile(file->sourcePath, name.c_str());
        }
        if (project.mediaType == kSingleFile && project.IsInSourceFolder(*file)) {
            cabinet.AddFile(file->sourcePath, name.c_str());
        }
    }
    cabinet.Close();
}

void CMediaBuild::MakeDatabase(CProject& project, BuildOutput& output) {
    output.Information("Making Setup Database...");
    // The cabinet engine writes no cabinet without files: a project without support files embeds none.
    const std::string supportCabinet = stage_ + "\\TSFiles.cab";
    const std::string database = stageMedia_ + "\\tsdb.dat";
    {
        // The files' times that the database records are no later than SOURCE_DATE_EPOCH either; the
        // project keeps its own, whatever happens.
        LatestTimes clamped(project, latestTime_);
        CTreeArchive ar(kMainClass, kBuildDatabase);
        ar.OpenForSave(database);
        project.Serialize(kProjectKey, ar);
        if (platform::FileExists(supportCabinet)) {
            ar.ExchangeFile(supportCabinet);
        }
        ar.CloseAfterSave();
    }
    platform::RemoveFile(supportCabinet);
    firstDiskBytes_ =
        static_cast<int64_t>(image_.size()) + static_cast<int64_t>(SizeOf(database)) + project.reservedSpace;
}

void CMediaBuild::MakeAutorun(const CProject& project, BuildOutput& output) {
    if (project.mediaType == kFloppy || project.mediaType == kSingleFile || !project.makeAutorun) {
        return;
    }
    output.Information("Making autorun file...");
    const std::string path = stageMedia_ + "\\autorun.inf";
    std::string text = "[autorun]\r\nopen=Setup.exe\r\n";
    if (!project.cdIconFile.empty()) {
        std::vector<uint8_t> icon;
        const std::string iconPath = stageMedia_ + "\\CDIcon.ico";
        if (platform::ReadIconImage(project.cdIconFile, project.cdIconIndex, &icon)) {
            platform::File file;
            if (!file.Open(iconPath, platform::File::Mode::Replace)) {
                throw CTSException("Cannot create the file \"%s\"!", iconPath);
            }
            file.Write(icon.data(), icon.size());
            file.Close();
            // CDIcon.ico holds the one chosen image, so the entry names its first icon.
            text += "icon=CDIcon.ico,0\r\n";
            firstDiskBytes_ += static_cast<int64_t>(icon.size());
        } else {
            output.Warning("No icon can be taken from the file \"%s\"!", project.cdIconFile);
        }
    }
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Replace)) {
        throw CTSException("Cannot create the file \"%s\"!", path);
    }
    file.Write(text.data(), text.size());
    file.Close();
    firstDiskBytes_ += static_cast<int64_t>(text.size());
}

void CMediaBuild::CopySourceFolder(const CProject& project, BuildOutput& output) {
    if (project.sourceFolder == nullptr || project.mediaType == kSingleFile) {
        return;
    }
    output.Information("Copying the Files to the source folder...");
    CopySourceTree(project, project.sourceFolder, stageMedia_);
}

void CMediaBuild::CopySourceTree(const CProject& project, const CFolder* folder, const std::string& target) {
    for (const CFileItem* file : project.files) {
        if (file->folder != folder) {
            continue;
        }
        const std::string destination = target + "\\" + file->title;
        if (!CopyWholeFile(file->sourcePath, destination)) {
            throw CTSException("Cannot copy to \"%s\"!", destination);
        }
        firstDiskBytes_ += file->size;
    }
    for (const CFolder* child : folder->children) {
        const std::string childTarget = target + "\\" + child->name;
        if (!platform::CreateFolder(childTarget) && !platform::FolderExists(childTarget)) {
            CannotCreateFolder(childTarget);
        }
        firstDiskBytes_ += kFolderEntryBytes;
        CopySourceTree(project, child, childTarget);
    }
}

void CMediaBuild::MakeDataCabinets(const CProject& project, BuildOutput& output) {
    const MediaLayout layout = LayoutOf(project.mediaType, project.mediaSize);
    std::string base = stage_ + layout.rootFolder;
    std::string cabinetPattern = layout.cabinetPattern;
    if (layout.diskSize > 0) {
        if (layout.diskSize < firstDiskBytes_ + kFirstCabinetRoom) {
            throw CTSException("Not enough space on first disk. Minimum required space:" +
                               std::to_string(firstDiskBytes_ + kFirstCabinetRoom) + " bytes.");
        }
    } else if (project.mediaType != kSingleFile) {
        // Without a disk size there is one cabinet, the first of a set, where the setup program looks for it.
        base = stageMedia_;
        cabinetPattern = FormatNumberPattern(layout.cabinetPattern, 1);
    }
    const int32_t reserve = firstDiskBytes_ > INT32_MAX ? INT32_MAX : static_cast<int32_t>(firstDiskBytes_);
    dataFiles_ = 0;
    CCabinet cabinet(base, layout.diskPattern, cabinetPattern, layout.diskSize > 0 ? layout.diskSize : 0, reserve);
    cabinet.SetLatestTime(latestTime_);
    cabinet.Open();
    for (const CFileItem* file : project.files) {
        if (project.IsInSourceFolder(*file)) {
            continue;
        }
        StopIfInterrupted();
        output.Information("Compressing \"%s\"...", file->sourcePath);
        const std::string name = platform::FileTitle(file->sourcePath);
        cabinet.AddFile(file->sourcePath, name.c_str());
        ++dataFiles_;
    }
    cabinet.Close();
}

bool CMediaBuild::Sign(const std::string& path, BuildOutput& output) {
    output.Information("Signing \"%s\"...", path);
    const std::string failure = sign_(path);
    if (!failure.empty()) {
        output.Error("%s", failure);
        return false;
    }
    return true;
}

bool CMediaBuild::MakeProgram(const CProject& project, BuildOutput& output, std::vector<uint8_t>* program,
                              std::vector<uint8_t>* kept) {
    *program = image_;
    program->insert(program->end(), std::begin(kImageTag), std::end(kImageTag));
    PutU32(*program, static_cast<uint32_t>(image_.size()));
    if (project.mediaType != kSingleFile || !sign_) {
        return true;
    }
    // The copy that later maintains the product is this program: it is signed on its own.
    const std::string alone = stage_ + "\\TSSetup.exe";
    {
        platform::File file;
        if (!file.Open(alone, platform::File::Mode::Replace)) {
            output.Error("Cannot create the file \"%s\"!", alone);
            return false;
        }
        file.Write(program->data(), program->size());
        file.Close();
    }
    SignatureFields fields;
    if (!Sign(alone, output)) {
        return false;
    }
    if (!platform::File::ReadAll(alone, program) || !ReadSignatureFields(alone, &fields) ||
        fields.securitySize == 0 || fields.securityAt + 8 > program->size()) {
        output.Error("The signed file \"%s\" holds no signature!", alone);
        return false;
    }
    platform::RemoveFile(alone);
    for (uint32_t value : {fields.checksum, fields.securityOffset, fields.securitySize}) {
        PutU32(*kept, value);
    }
    for (const uint64_t at : {fields.checksumAt, fields.securityAt, fields.securityAt + 4}) {
        std::fill_n(program->begin() + static_cast<std::ptrdiff_t>(at), 4, 0);
    }
    return true;
}

void CMediaBuild::MakeSetup(const CProject& project, BuildOutput& output) {
    output.Information("Making \"%s\"...", SetupPath());
    const std::string setupPath = stageMedia_ + "\\Setup.exe";
    std::vector<uint8_t> program;
    std::vector<uint8_t> kept;
    if (!MakeProgram(project, output, &program, &kept)) {
        return;
    }
    platform::File setup;
    if (!setup.Open(setupPath, platform::File::Mode::Replace)) {
        output.Error("Cannot create the file \"%s\"!", setupPath);
        return;
    }
    if (project.mediaType != kSingleFile) {
        setup.Write(program.data(), program.size());
        setup.Close();
        if (sign_) {
            Sign(setupPath, output);
        }
        return;
    }
    // The program alone is replaced by the program with the database (and its length) and the data
    // cabinet absorbed, followed by their checksum, which the setup program checks before it unpacks
    // anything.
    // Unsigned, the program goes in without its trailer; signed, whole with its own trailer and signature.
    const uint64_t programLength = kept.empty() ? image_.size() : program.size();
    setup.Write(program.data(), static_cast<size_t>(programLength));
    uLong crc = crc32(0L, Z_NULL, 0);
    const std::string database = stageMedia_ + "\\tsdb.dat";
    const std::string dataCabinet = stageMedia_ + "\\TSData.cab";
    for (const std::string& part : {database, dataCabinet}) {
        if (part == dataCabinet && dataFiles_ == 0) {
            break;  // no file to compress: no data cabinet, the payload ends with the database
        }
        std::vector<uint8_t> bytes;
        if (!platform::FileExists(part) || !platform::File::ReadAll(part, &bytes) || bytes.size() > UINT32_MAX) {
            output.Error("Cannot find the file \"%s\"!", part);
            setup.Abandon();
            return;
        }
        if (part == database) {
            std::vector<uint8_t> length;
            PutU32(length, static_cast<uint32_t>(bytes.size()));
            setup.Write(length.data(), length.size());
            crc = crc32(crc, length.data(), static_cast<uInt>(length.size()));
        }
        setup.Write(bytes.data(), bytes.size());
        crc = crc32(crc, bytes.data(), static_cast<uInt>(bytes.size()));
    }
    std::vector<uint8_t> trailer = kept;
    if (!kept.empty()) {
        crc = crc32(crc, kept.data(), static_cast<uInt>(kept.size()));  // no buffer would start it again
    }
    PutU32(trailer, static_cast<uint32_t>(crc));
    const char* tag = kept.empty() ? kCheckedImageTag : kSignedProgramImageTag;
    trailer.insert(trailer.end(), tag, tag + 4);
    PutU32(trailer, static_cast<uint32_t>(programLength));
    setup.Write(trailer.data(), trailer.size());
    setup.Close();
    platform::RemoveFile(database);
    platform::RemoveFile(dataCabinet);
    if (sign_) {
        Sign(setupPath, output);
    }
}
