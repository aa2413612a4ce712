// The file steps of the install sequence: remove files, remove folders, make folders, copy files.
#include <cstdio>
#include <cstring>
#include <functional>

#include "cabinet/Cabinet.h"
#include "model/FileItem.h"
#include "model/Folder.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/TSSException.h"
#include "setup/install/DiskPrompt.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"
#include "setup/wizard/QuestionBox.h"
#include "win/SystemError.h"

namespace {

constexpr unsigned kSharedQuestionStyle = 0x13;  // Yes, No, Yes to all, No to all; No is the default
constexpr char kSharedQuestion[] =
    "The system indicates that the shared file:\n\n%s\n\nis no longer used by any program. If any programs "
    "are "
    "still using this file and it is removed, those programs may not function properly. Are you sure you "
    "want to "
    "remove the shared file?\n\nLeaving the file on your system will not cause any harm. If you are unsure, "
    "choose No.";
constexpr char kFirstDiskPrompt[] =
    "Setup needs the following file to continue. Please insert the installation disk or browse to a folder "
    "containing the specified file.";
constexpr int kUserAbort = 11;
constexpr int kStopExtraction = -1;
constexpr uint32_t kNamedAtOnce = 1024 * 1024;
constexpr char kDamagedMedia[] =
    "The installation media do not match the setup database: the cabinets do not hold \"%s\" as the "
    "database records it.";

void ForEachFolderPreOrder(const CItemArray<CFolder>& folders, const std::function<void(CFolder&)>& visit) {
    for (CFolder* folder : folders) {
        visit(*folder);
        ForEachFolderPreOrder(folder->children, visit);
    }
}

void ForEachFolderPostOrder(const CItemArray<CFolder>& folders, const std::function<void(CFolder&)>& visit) {
    for (CFolder* folder : folders) {
        ForEachFolderPostOrder(folder->children, visit);
        visit(*folder);
    }
}

int32_t CountFolders(const CItemArray<CFolder>& folders) {
    int32_t count = 0;
    ForEachFolderPreOrder(folders, [&](CFolder&) { ++count; });
    return count;
}

bool RunsOnThisSystem(const SetupEngine& engine, const CFileItem& file) {
    return FileRunsOnSystem(engine.osCode, file.osMask);
}

// The overwrite rule and what decided it, as the log gives them.
std::string RuleText(const CFileItem& file, const OverwriteDecision& decision) {
    return std::string("(") + OverwriteMethodName(file.overwriteMethod) + ": " + decision.reason + ")";
}

void ShowDetail(const InstallRun& run, const std::string& text) {
    if (run.sink != nullptr) {
        run.sink->SetDetailText(text.c_str(), 0, nullptr);
    }
}

// A disk prompt needs a person at the wizard or the progress window; a silent run cannot go on without the
// disk and ends as if the prompt had been cancelled.
bool CanPromptForDisk(const InstallRun& run) {
    return run.engine.UIType() != kSilentSetup;
}
// Questions, like messages, are asked in the full user interface only; other runs keep the shared file, the
// answer that does no harm.
bool CanAskQuestions(const InstallRun& run) {
    return run.engine.UIType() == kFullWizard;
}

// A read-only file can neither be replaced nor deleted; the installation's own files are written and
// removed whatever attributes the database gave them.
void ClearReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

// Whether a shared file whose count has dropped to zero goes: by the answer given for all, or by asking.
bool RemoveUnusedSharedFile(InstallRun& run, const CFileItem& file) {
    if (!CanAskQuestions(run)) {
        return false;
    }
    std::vector<char> message(sizeof kSharedQuestion + file.resolvedPath.size());
    platform::FormatTo(message.data(), message.size(), kSharedQuestion, file.resolvedPath.c_str());
    switch (CQuestionBox::Ask(run.window, message.data(), kSharedQuestionStyle)) {
        case kAnswerYes:
            return true;
        case kAnswerYesToAll:
            run.engine.sharedFileAnswer = 2;
            return true;
        case kAnswerNoToAll:
            run.engine.sharedFileAnswer = 1;
            return false;
        default:
            return false;
    }
}

// Whether the file may go: its count, whether it was there before, the answers about shared files.
bool MayRemove(InstallRun& run, CFileItem& file) {
    SetupEngine& engine = run.engine;
    if (!file.shared) {
        return !file.wasThere;
    }
    const int32_t count =
        engine.test ? AdjustSharedCount(engine, file, 0) - 1 : AdjustSharedCount(engine, file, -1);
    switch (DecideSharedRemoval(count, file.wasThere, engine.sharedFileAnswer)) {
        case SharedRemoval::kRemove:
            return true;
        case SharedRemoval::kAsk:
            return RemoveUnusedSharedFile(run, file);
        default:
            return false;
    }
}

}  // namespace

void RemoveInstalledFile(InstallRun& run, CFileItem& file) {
    SetupEngine& engine = run.engine;
    if (!file.isInstalled || file.isSelected || file.permanent || !RunsOnThisSystem(engine, file)) {
        return;
    }
    if (!MayRemove(run, file)) {
        engine.Log("File kept", file.resolvedPath + (file.wasThere ? " (it was there before)" : " (shared)"));
        return;
    }
    ShowDetail(run, file.resolvedPath);
    if (engine.test) {
        engine.Log("File to remove (test mode)", file.resolvedPath);
        return;
    }
    UnregisterFile(file);
    ClearReadOnly(file.resolvedPath);
    if (!DeleteFileA(file.resolvedPath.c_str()) && PathExists(file.resolvedPath)) {
        TestInUse(engine, file);
        if (file.inUse && ScheduleReplaceAtReboot(engine, file.resolvedPath, std::string())) {
            engine.Log("File in use, removed at the restart", file.resolvedPath);
        } else {
            engine.Log("File not removed", file.resolvedPath);
        }
    } else {
        engine.Log("File removed", file.resolvedPath);
    }
    RemoveAppPath(file);
}

namespace {

bool CopyToBuffer(char* buffer, const std::string& text) {
    if (text.size() >= static_cast<size_t>(CCabinet::kPathBuffer)) {
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// One pass over the chain of data cabinets. The cabinets hold the project's compressed files in the order
// of the file list, so the hooks follow that list with one index.
class CopyPass {
public:
    explicit CopyPass(InstallRun& run) : run_(run), engine_(run.engine), files_(run.engine.project.files) {}

    void Run() {
        FindFirstCabinet();
        CCabinet cabinet(engine_.dataCabinetPath);
        cabinet.Open();
        try {
            cabinet.Extract(
                [this, &cabinet](int, const std::string& base, char* buffer) {
                    return CopyFile(base, buffer, cabinet.ExtractingSize());
                },
                [this](int, int attributes, const platform::FileTime*) { return CloseFile(attributes); },
                [this](const char* cabinetName, const char* diskName, char* folder, int error) {
                    return NextCabinet(cabinetName, diskName, folder, error);
                });
        } catch (const CTSSException&) {
            ThrowIfMismatched();
            throw;
        }
        cabinet.Close();
        // Every compressed file of the list must have come out of the cabinets, the last one included.
        if (const CFileItem* missing = NextCompressedFile()) {
            mismatched_ = missing->title;
        }
        ThrowIfMismatched();
        if (tooLong_ != nullptr) {
            throw CTSSException(win::SystemErrorText(ERROR_FILENAME_EXCED_RANGE) + tooLong_->resolvedPath);
        }
    }

private:
    void FindFirstCabinet() {
        while (!PathExists(engine_.dataCabinetPath)) {
            std::string path = engine_.dataCabinetPath;
            if (!CanPromptForDisk(run_)) {
                engine_.Log("Cabinet not found", engine_.dataCabinetPath);
                throw CTSSException("");
            }
            if (!AskForDisk(run_.window, engine_.project.productName, kFirstDiskPrompt, &path)) {
                engine_.Log("Disk prompt cancelled", engine_.dataCabinetPath);
                throw CTSSException("");
            }
            engine_.dataCabinetPath = path;
        }
    }

    // The next compressed file of the list is the one now in the cabinet; null past the end of the list.
    CFileItem* NextCompressedFile() {
        do {
            ++index_;
        } while (index_ < static_cast<int32_t>(files_.size()) &&
                 !files_[static_cast<size_t>(index_)]->compressed);
        return files_.At(index_);
    }

    void ThrowIfMismatched() const {
        if (!mismatched_.empty()) {
            throw CTSSException(kDamagedMedia, mismatched_);
        }
    }

    // The file in the cabinet is the one the list records: its name (when the database keeps the source's)
    // and its size. Media whose cabinets hold anything else are refused before the file is written.
    static bool MatchesRecord(const CFileItem& file, const char* nameInCabinet, uint32_t size) {
        if (size != file.size) {
            return false;
        }
        return file.sourcePath.empty() ||
               lstrcmpiA(platform::FileTitle(file.sourcePath).c_str(), nameInCabinet) == 0;
    }

    int CopyFile(const std::string& baseFolder, char* buffer, uint32_t size) {
        CFileItem* file = NextCompressedFile();
        if (file == nullptr || !MatchesRecord(*file, buffer, size)) {
            // A file the list does not have is named as the cabinet names it.
            mismatched_ = file != nullptr ? file->title : std::string(buffer);
            if (mismatched_.empty()) {
                mismatched_ = "?";
            }
            return kStopExtraction;
        }
        if (file->isInstalled || !file->isSelected) {
            return 0;
        }
        if (engine_.test) {
            engine_.Log("File to copy (test mode)", file->resolvedPath);
            ShowDetail(run_, baseFolder + "\\" + file->title);
            run_.Step(static_cast<int32_t>(file->size));
            return 0;
        }
        // Looked up once: a file that is not there is neither read-only nor in use.
        const bool exists = entries_.Exists(file->resolvedPath);
        if (exists) {
            file->wasThere = true;
        }
        if (!RunsOnThisSystem(engine_, *file)) {
            engine_.Log("File skipped", file->resolvedPath + " (not meant for this system)");
            return 0;
        }
        AdjustSharedCount(engine_, *file, +1);
        const OverwriteDecision decision = DecideOverwrite(*file, exists);
        if (!decision.replace) {
            engine_.Log("File skipped", file->resolvedPath + " " + RuleText(*file, decision));
            return 0;
        }
        rule_ = RuleText(*file, decision);
        // A path that does not fit the cabinet layer's buffer is found before the existing file is touched.
        if (file->resolvedPath.size() >= static_cast<size_t>(CCabinet::kPathBuffer)) {
            return TooLong(*file);
        }
        if (exists) {
            ClearReadOnly(file->resolvedPath);
            TestInUse(engine_, *file);
        } else {
            file->inUse = false;
        }
        if (!CopyToBuffer(buffer, file->inUse ? file->resolvedPath + ".cor" : file->resolvedPath)) {
            return TooLong(*file);
        }
        entries_.Add(buffer);
        ShowDetail(run_, file->resolvedPath);
        // A file that takes a while to write is named while it is written.
        if (file->size >= kNamedAtOnce) {
            run_.ShowNow();
        }
        return 1;
    }

    int TooLong(const CFileItem& file) {
        if (tooLong_ == nullptr) {
            tooLong_ = &file;
        }
        return 0;
    }

    int CloseFile(int attributes) {
        CFileItem* file = files_.At(index_);
        if (file == nullptr) {
            return 0;
        }
        run_.Step(static_cast<int32_t>(file->size));
        WriteAppPath(*file);
        RegisterFile(*file);
        engine_.Log(file->inUse ? "File in use, replaced at the restart" : "File copied",
                    file->resolvedPath + " " + rule_);
        if (!file->inUse) {
            if (!file->wasThere) {
                run_.madeFiles.push_back(file);
            }
            return 2;  // the cabinet layer sets the stored time and attributes
        }
        // The cabinet layer has given the twin its stored time already.
        const std::string twin = file->resolvedPath + ".cor";
        SetFileAttributesA(twin.c_str(),
                           attributes != 0 ? static_cast<DWORD>(attributes) : FILE_ATTRIBUTE_NORMAL);
        return ScheduleReplaceAtReboot(engine_, twin, file->resolvedPath) ? 1 : 0;
    }

    int NextCabinet(const char* cabinetName, const char* diskName, char* folder, int error) {
        const NextCabinetPlan plan = PlanNextCabinet(folder, cabinetName, diskName, error);
        if (plan.reaction == NextCabinetPlan::kContinue) {
            return 0;
        }
        if (plan.reaction == NextCabinetPlan::kFail) {
            engine_.Log("Cabinet error", plan.message.empty() ? std::to_string(error) : plan.message);
            if (engine_.UIType() == kFullWizard && !plan.message.empty()) {
                MessageBoxA(run_.window, plan.message.c_str(), "Error!", MB_ICONERROR);
            }
            return CCabinet::kFailWithEngineError;
        }
        std::string path = plan.candidate;
        bool ask = error != 1 || !PathExists(path);
        while (ask) {
            // Without a person to ask, the missing or unusable cabinet is the cause; with one, the answer.
            if (!CanPromptForDisk(run_)) {
                engine_.Log("Cabinet not found", path);
                return CCabinet::kFailWithEngineError;
            }
            if (!AskForDisk(run_.window, engine_.project.productName, plan.message, &path)) {
                engine_.Log("Disk prompt cancelled", path);
                return kUserAbort;
            }
            ask = !PathExists(path);
        }
        if (run_.window != nullptr) {
            RedrawWindow(run_.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        return CopyToBuffer(folder, FolderWithBackslash(path)) ? 0 : kUserAbort;
    }

    InstallRun& run_;
    SetupEngine& engine_;
    const CItemArray<CFileItem>& files_;
    int32_t index_ = -1;
    const CFileItem* tooLong_ = nullptr;  // a file whose path does not fit the cabinet layer's buffer
    std::string mismatched_;              // a file the cabinets do not hold as the list records it
    std::string rule_;                    // the overwrite rule that let the file being extracted in
    FolderEntries entries_;               // what lies in the target folders, each searched once
};

}  // namespace

void RemoveFiles(InstallRun& run) {
    SetupEngine& engine = run.engine;
    run.BeginStep("Removing Files...", static_cast<int32_t>(engine.project.files.size()));
    for (CFileItem* file : engine.project.files) {
        RemoveInstalledFile(run, *file);
        run.Step(1);
    }
    if (engine.mode == SM_REMOVE && !engine.test) {
        DeleteFileA((engine.project.target + "\\TSdb.dat").c_str());
    }
}

namespace {

void RemoveMadeFolder(InstallRun& run, const std::string& path) {
    RemoveDirectoryA(path.c_str());
    if (!FolderExists(path)) {
        run.engine.createdFolders.Forget(path);
    }
}

void LogFolderRemoval(const InstallRun& run, const std::string& path) {
    if (run.engine.test) {
        run.engine.Log("Folder to remove (test mode)", path);
    } else if (FolderExists(path)) {
        run.engine.Log("Folder kept", path + " (not empty, or there before)");
    } else {
        run.engine.Log("Folder removed", path);
    }
}

}  // namespace

void RemoveFolders(InstallRun& run) {
    SetupEngine& engine = run.engine;
    CreatedFolders& made = engine.createdFolders;
    run.BeginStep("Removing Folders...", CountFolders(engine.project.rootFolders));
    ForEachFolderPostOrder(engine.project.rootFolders, [&](CFolder& folder) {
        if (!(folder.isInstalled && !folder.isSelected) && engine.mode != SM_REMOVE) {
            return;
        }
        ShowDetail(run, folder.resolvedPath);
        // A folder that was there before the installation stays, empty or not.
        if (!engine.test && made.MayRemove(folder.resolvedPath)) {
            RemoveMadeFolder(run, folder.resolvedPath);
        }
        LogFolderRemoval(run, folder.resolvedPath);
        run.Step(1);
    });
    if (engine.test || !made.known || (engine.mode != SM_REMOVE && engine.mode != SM_CHANGE)) {
        return;
    }
    // The parents that the installation made for its folders (those of the target folder, for one), once
    // nothing that is still wanted lies in them.
    std::vector<std::string> wanted;
    if (engine.mode != SM_REMOVE) {
        wanted.push_back(engine.project.target);  // it keeps the saved database
        ForEachFolderPreOrder(engine.project.rootFolders, [&](CFolder& folder) {
            if (folder.isSelected) {
                wanted.push_back(folder.resolvedPath);
            }
        });
    }
    for (const std::string& path : made.UnwantedDeepestFirst(wanted)) {
        ShowDetail(run, path);
        RemoveMadeFolder(run, path);
        LogFolderRemoval(run, path);
    }
}

void UndoFailedInstallation(InstallRun& run) {
    SetupEngine& engine = run.engine;
    for (const std::string& link : run.madeShortcuts) {
        DeleteFileA(link.c_str());
    }
    for (auto file = run.madeFiles.rbegin(); file != run.madeFiles.rend(); ++file) {
        UnregisterFile(**file);
        ClearReadOnly((*file)->resolvedPath);
        DeleteFileA((*file)->resolvedPath.c_str());
        RemoveAppPath(**file);
        if ((*file)->shared) {
            AdjustSharedCount(engine, **file, -1);
        }
    }
    run.madeFiles.clear();
    run.madeShortcuts.clear();
    if (!engine.createdFolders.known) {
        return;
    }
    // Only folders this run made, and only once empty: a file of the user's keeps its folder.
    for (const std::string& path : engine.createdFolders.UnwantedDeepestFirst({})) {
        RemoveMadeFolder(run, path);
    }
}

void MakeFolders(InstallRun& run) {
    SetupEngine& engine = run.engine;
    if (engine.mode == SM_NEW) {
        // Nothing of the product is on the machine yet: the folders this run makes are all it made.
        engine.createdFolders.known = true;
    }
    run.BeginStep("Making Folders...", CountFolders(engine.project.rootFolders));
    ForEachFolderPreOrder(engine.project.rootFolders, [&](CFolder& folder) {
        if (folder.isSelected && !folder.isInstalled) {
            ShowDetail(run, folder.resolvedPath);
            if (engine.test) {
                engine.Log("Folder to make (test mode)", folder.resolvedPath);
            } else if (FolderExists(folder.resolvedPath)) {
                engine.Log("Folder already there", folder.resolvedPath);
            } else {
                MakeFolderPath(folder.resolvedPath, &engine.createdFolders);
                engine.Log("Folder made", folder.resolvedPath);
            }
        }
        run.Step(1);
    });
}

void CopyFiles(InstallRun& run) {
    bool anyToCopy = false;
    bool anyInCabinets = false;
    for (const CFileItem* file : run.engine.project.files) {
        if (file->isSelected && !file->isInstalled) {
            anyToCopy = true;
            anyInCabinets = anyInCabinets || file->compressed;
        }
    }
    if (!anyToCopy) {
        return;
    }
    run.BeginStep("Copying Files...", run.engine.totalBytes);
    // Files of the media's own folder are not in the cabinets, and media without compressed files have no
    // data cabinet to ask for.
    if (anyInCabinets) {
        CopyPass(run).Run();
    }
}
