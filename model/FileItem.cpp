#include "model/FileItem.h"

#include <limits>

#include "model/ArchiveRefs.h"
#include "model/Folder.h"
#include "model/Project.h"
#include "platform/FileInfo.h"
#include "platform/Paths.h"

namespace {

void ExchangeFileTime(CTreeArchive& ar, uint64_t* time) {
    uint8_t bytes[8];
    const uint8_t zero[8] = {};
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<uint8_t>(*time >> (8 * i));
    }
    ar.ExchangeValue("FileTime", sizeof bytes, bytes, zero);
    *time = 0;
    for (int i = 7; i >= 0; --i) {
        *time = *time << 8 | bytes[i];
    }
}

}  // namespace

std::unique_ptr<CFileItem> CFileItem::FromPath(const std::string& path) {
    auto file = std::make_unique<CFileItem>();
    file->sourcePath = path;
    file->title = platform::FileTitle(path);
    file->Refresh();
    file->overwriteMethod = file->versionMS == 0 && file->versionLS == 0 ? kOverwriteNewerDate
                                                                           : kOverwriteNewerVersionThenDate;
    return file;
}

void CFileItem::Refresh() {
    size = 0;
    platform::FileInfo info;
    if (platform::GetFileInfo(sourcePath, &info)) {
        // A file past 4 GB cannot be installed from a cabinet anyway; its size is kept at the largest value.
        size = info.size > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                 : static_cast<uint32_t>(info.size);
        time = info.lastWriteTime;
    }
    platform::GetFileVersion(sourcePath, &versionMS, &versionLS);
}

void CFileItem::Serialize(const std::string& key, CTreeArchive& ar, CProject& project) {
    if (!ar.BeginObject(key)) {
        return;
    }
    const bool setupProgram = !ar.IsProjectFile() && !ar.IsBuildingDatabase();
    if (ar.IsProjectFile()) {
        archive_refs::ExchangeRelativePath(ar, "Name", &sourcePath, project.projectPath);
    } else {
        if (ar.IsBuildingDatabase() && ar.IsStoring()) {
            compressed = !project.IsInSourceFolder(*this);
        }
        ar.ExchangeString("FileTitle", &title, platform::FileTitle(sourcePath));
        ar.ExchangeBool("Compressed", &compressed, true);
    }
    ar.ExchangeInt("FileSize", &size, 0u);
    ExchangeFileTime(ar, &time);
    ar.ExchangeBool("Register", &registerFile, false);
    ar.ExchangeBool("Shared", &shared, false);
    ar.ExchangeBool("AddAppPath", &addAppPath, false);
    ar.ExchangeString("AppPath", &appPath, std::string());
    ar.ExchangeInt("VersionMS", &versionMS, 0u);
    ar.ExchangeInt("VersionLS", &versionLS, 0u);
    if (!setupProgram) {
        int32_t sequence = 0;  // kept in the files for compatibility; it carries no meaning
        ar.ExchangeInt("Sequence", &sequence, 0);
    }
    const uint8_t methodByVersion =
        versionMS == 0 && versionLS == 0 ? kOverwriteNewerDate : kOverwriteNewerVersionThenDate;
    ar.ExchangeBool("OverwriteMethod", &overwriteMethod, methodByVersion);
    ar.ExchangeBool("IsConfigFile", &isConfigFile, false);
    ar.ExchangeBool("Permanent", &permanent, false);
    if (setupProgram) {
        ar.ExchangeBool("WasThere", &wasThere, false);
    }
    ar.ExchangeInt("OSMask", &osMask, kOsMaskAll);
    project.ExchangeFolderRef(ar, "Folder", &folder);
    ar.EndObject();

    if (!ar.IsStoring() && ar.IsProjectFile()) {
        title = platform::FileTitle(sourcePath);
        Refresh();
    }
}

std::string CFileItem::TargetPath() const {
    return (folder != nullptr ? folder->TargetPath() : std::string()) + "\\" + title;
}

std::string CFileItem::SourceFolder() const { return platform::FolderPart(sourcePath); }

bool CFileItem::LiesIn(const CFolder* inFolder, bool recursive) const {
    return folder != nullptr && (folder == inFolder || (recursive && folder->IsBelow(inFolder, true)));
}
