#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CFileItem;

// The decisions of file installation that need no system: whether an existing file is replaced, where the
// next cabinet of a set is looked for and what the user is told, the rename list that replaces files at
// the next start of Windows, and what becomes of a shared file at removal.

// What was found at a file's destination before it is written.
struct ExistingFile {
    bool exists = false;
    bool readable = false;  // it could be opened for reading (shared read)
    uint64_t creationTime = 0;
    uint64_t lastWriteTime = 0;
    bool hasVersion = false;  // it has a version resource
    uint32_t versionMS = 0;
    uint32_t versionLS = 0;
};

// Whether the file's OverwriteMethod lets it replace the existing file, and what decided it, for the log
// ("no file there", "newer version", "the user changed the configuration file", ...).
struct OverwriteDecision {
    bool replace = false;
    const char* reason = "";
};
OverwriteDecision DecideOverwrite(const CFileItem& file, const ExistingFile& existing);
bool ShouldOverwrite(const CFileItem& file, const ExistingFile& existing);

// What to do when the cabinet engine asks for the next cabinet of a set.
struct NextCabinetPlan {
    enum Reaction { kContinue, kAskForCabinet, kFail } reaction = kContinue;
    std::string candidate;  // kAskForCabinet: the full path at which the cabinet is looked for first
    std::string message;    // the prompt (kAskForCabinet) or the error (kFail; empty for unknown numbers)
};
// folder: where the engine looked, with its trailing backslash. A missing cabinet is first looked for in a
// sibling folder named like its disk (CD1 beside CD2); its prompt is shown only when it is not there either.
NextCabinetPlan PlanNextCabinet(const std::string& folder, const std::string& cabinetName,
                                const std::string& diskName, int error);
// The folder of a path, up to and including its last backslash.
std::string FolderWithBackslash(const std::string& path);

// The data of PendingFileRenameOperations (REG_MULTI_SZ, pairs of source and destination, an empty
// destination for a deletion) with one more pair after the existing ones. Paths get the "\??\" prefix, a
// destination "!\??\", which asks the system to replace the file there.
std::vector<char> AppendRenameOperation(const std::vector<char>& existing, const std::string& source,
                                        const std::string& destination);
// The pairs of such data, for reading it back: an empty source ends the list.
std::vector<std::pair<std::string, std::string>> RenameOperations(const std::vector<char>& data);

// What becomes of a shared file at removal, from its count after the decrease, whether it was on the machine
// before the installation, and the answer given for all shared files (0 none yet, 1 keep all, 2 remove all).
enum class SharedRemoval { kKeep, kRemove, kAsk };
SharedRemoval DecideSharedRemoval(int32_t count, bool wasThere, int32_t sharedFileAnswer);

// The shared-file answers of the four-button question.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
constexpr int kAnswerYesToAll = 10;
constexpr int kAnswerNoToAll = 11;
