#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/FileItem.h"
#include "setup/engine/FileRules.h"

namespace {

constexpr uint64_t kEarlier = 0x01D0000000000000ull;
constexpr uint64_t kLater = 0x01D0000100000000ull;  // later by the high half only

CFileItem NewFile(uint8_t method, uint32_t ms, uint32_t ls, uint64_t time) {
    CFileItem file;
    file.overwriteMethod = method;
    file.versionMS = ms;
    file.versionLS = ls;
    file.time = time;
    return file;
}

ExistingFile Existing(bool hasVersion, uint32_t ms, uint32_t ls, uint64_t written) {
    ExistingFile existing;
    existing.exists = true;
    existing.readable = true;
    existing.creationTime = written;
    existing.lastWriteTime = written;
    existing.hasVersion = hasVersion;
    existing.versionMS = ms;
    existing.versionLS = ls;
    return existing;
}

TEST(ShouldOverwrite, MissingFileIsAlwaysWrittenAndUnreadableOneKept) {
    ExistingFile none;
    EXPECT_TRUE(ShouldOverwrite(NewFile(0, 0, 0, 0), none));
    ExistingFile locked = Existing(false, 0, 0, kEarlier);
    locked.readable = false;
    EXPECT_FALSE(ShouldOverwrite(NewFile(4, 0, 0, kLater), locked));
    EXPECT_TRUE(ShouldOverwrite(NewFile(5, 0, 0, kEarlier), locked));
}

TEST(ShouldOverwrite, VersionsDecideThenTimesUnderMethodThree) {
    const ExistingFile old = Existing(true, 0x00010000, 0x00000001, kLater);          // 1.0.0.1
    EXPECT_TRUE(ShouldOverwrite(NewFile(3, 0x00010000, 0x00000002, kEarlier), old));  // 1.0.0.2
    EXPECT_FALSE(
        ShouldOverwrite(NewFile(3, 0x00010000, 0x00000000, kLater + 1), old));          // 1.0.0.0: no version
    EXPECT_FALSE(ShouldOverwrite(NewFile(3, 0x00010000, 0x00000001, kEarlier), old));   // equal, older time
    EXPECT_TRUE(ShouldOverwrite(NewFile(3, 0x00010000, 0x00000001, kLater + 1), old));  // equal, newer time
    EXPECT_FALSE(ShouldOverwrite(NewFile(3, 0x00000009, 0x00090009, kLater + 1), old));  // lower high half
    // Unsigned comparison: a high half with the top bit set is a higher version.
    EXPECT_TRUE(ShouldOverwrite(NewFile(3, 0x80000000, 0x00000001, kEarlier), old));
}

TEST(ShouldOverwrite, ExistingFileWithoutVersion) {
    const ExistingFile plain = Existing(false, 0, 0, kLater);
    EXPECT_TRUE(ShouldOverwrite(NewFile(1, 0x00010000, 0x00000001, kEarlier), plain));
    EXPECT_FALSE(ShouldOverwrite(NewFile(1, 0, 0, kLater + 1), plain));
    EXPECT_TRUE(ShouldOverwrite(NewFile(2, 0, 0, kEarlier), plain));
    EXPECT_FALSE(ShouldOverwrite(NewFile(3, 0, 0, kLater), plain));
    EXPECT_TRUE(ShouldOverwrite(NewFile(3, 0, 0, kLater + 1), plain));
}

TEST(ShouldOverwrite, MethodsOneAndTwoOnVersions) {
    const ExistingFile v2 = Existing(true, 0x00020000, 0x00000001, kEarlier);
    EXPECT_FALSE(ShouldOverwrite(NewFile(1, 0x00020000, 0x00000001, kLater), v2));  // equal: kept
    EXPECT_TRUE(ShouldOverwrite(NewFile(1, 0x00020000, 0x00000002, kEarlier), v2));
    EXPECT_TRUE(ShouldOverwrite(NewFile(2, 0x00020000, 0x00000001, kEarlier), v2));  // equal: replaced
    EXPECT_FALSE(ShouldOverwrite(NewFile(2, 0x00010000, 0x00000009, kLater), v2));   // lower: kept
    EXPECT_FALSE(ShouldOverwrite(NewFile(2, 0, 0, kLater), v2));  // no new version against a versioned file
}

TEST(ShouldOverwrite, DateMethodKeepsEqualTimeStamps) {
    const ExistingFile existing = Existing(true, 0x00090000, 1, kLater);
    EXPECT_FALSE(ShouldOverwrite(NewFile(4, 0x00010000, 1, kLater), existing));
    EXPECT_TRUE(ShouldOverwrite(NewFile(4, 0x00010000, 1, kLater + 1), existing));  // versions are not read
    EXPECT_FALSE(ShouldOverwrite(NewFile(4, 0, 0, kEarlier), existing));
}

// The log names the rule and what decided it; each reason goes with the answer it explains.
TEST(DecideOverwrite, ReasonsForTheLog) {
    const ExistingFile none;
    const ExistingFile v1 = Existing(true, 0x00010000, 0x00000001, kLater);
    const ExistingFile plain = Existing(false, 0, 0, kLater);
    ExistingFile locked = plain;
    locked.readable = false;
    ExistingFile edited = plain;
    edited.creationTime = kEarlier;
    CFileItem config = NewFile(3, 0x00010000, 0x00000002, kLater + 1);
    config.isConfigFile = true;
    const struct {
        CFileItem file;
        ExistingFile existing;
        bool replace;
        const char* reason;
    } cases[] = {
        {NewFile(0, 0, 0, 0), none, true, "no file there"},
        {NewFile(5, 0, 0, kEarlier), locked, true, "always replaced"},
        {NewFile(4, 0, 0, kLater + 1), locked, false, "the existing file cannot be read"},
        {config, edited, false, "the user changed the configuration file"},
        {NewFile(0, 0x00020000, 1, kLater + 1), v1, false, "a file is there"},
        {NewFile(3, 0x00010000, 0x00000000, kLater + 1), v1, false,
         "the new file has no version, the existing one has"},
        {NewFile(1, 0x00010000, 0x00000001, kEarlier), plain, true, "the existing file has no version"},
        {NewFile(3, 0x00010000, 0x00000002, kEarlier), v1, true, "newer version"},
        {NewFile(2, 0x00010000, 0x00000000 + 1, kLater + 1), Existing(true, 0x00020000, 1, kLater), false,
         "older version"},
        {NewFile(1, 0x00010000, 0x00000001, kLater + 1), v1, false, "no newer version"},
        {NewFile(2, 0x00010000, 0x00000001, kEarlier), v1, true, "no older version"},
        {NewFile(3, 0x00010000, 0x00000001, kLater + 1), v1, true, "more recent date"},
        {NewFile(4, 0, 0, kLater), plain, false, "no more recent date"},
    };
    for (const auto& c : cases) {
        const OverwriteDecision decision = DecideOverwrite(c.file, c.existing);
        EXPECT_EQ(decision.replace, c.replace) << c.reason;
        EXPECT_STREQ(decision.reason, c.reason);
        EXPECT_EQ(ShouldOverwrite(c.file, c.existing), c.replace) << c.reason;
    }
}

TEST(ShouldOverwrite, NeverAndAlways) {
    const ExistingFile existing = Existing(false, 0, 0, kEarlier);
    EXPECT_FALSE(ShouldOverwrite(NewFile(0, 0x00050000, 1, kLater), existing));
    EXPECT_TRUE(ShouldOverwrite(NewFile(5, 0, 0, 0), existing));
    EXPECT_TRUE(ShouldOverwrite(NewFile(9, 0, 0, 0), existing));  // an unknown method replaces
}

TEST(ShouldOverwrite, EditedConfigurationFileStaysExceptUnderAlwaysOverwrite) {
    ExistingFile edited = Existing(false, 0, 0, kLater);
    edited.creationTime = kEarlier;
    for (uint8_t method = 0; method <= 4; ++method) {
        CFileItem file = NewFile(method, 0x00090000, 1, kLater + 5);
        file.isConfigFile = true;
        EXPECT_FALSE(ShouldOverwrite(file, edited)) << int(method);
        file.isConfigFile = false;
        EXPECT_EQ(ShouldOverwrite(file, edited), method != 0) << int(method);
    }
    CFileItem always = NewFile(5, 0, 0, 0);
    always.isConfigFile = true;
    EXPECT_TRUE(ShouldOverwrite(always, edited));
}

TEST(NextCabinet, MissingCabinetIsLookedForInTheSiblingDiskFolder) {
    NextCabinetPlan plan = PlanNextCabinet("E:\\media\\CD1\\", "TSData2.cab", "CD2", 1);
    EXPECT_EQ(plan.reaction, NextCabinetPlan::kAskForCabinet);
    EXPECT_EQ(plan.candidate, "E:\\media\\CD2\\TSData2.cab");
    EXPECT_EQ(plan.message,
              "Please insert the following disk:\n\n    CD2\n\nor browse to a folder containing the "
              "specified file.");
    EXPECT_EQ(PlanNextCabinet("C:\\Floppy\\Disk01\\", "TSData2.cab", "Disk02", 1).candidate,
              "C:\\Floppy\\Disk02\\TSData2.cab");
    // A disk in the root of a drive has no sibling folder: the cabinet is looked for beside it.
    EXPECT_EQ(PlanNextCabinet("A:\\", "TSData2.cab", "Disk02", 1).candidate, "A:\\TSData2.cab");
    EXPECT_EQ(FolderWithBackslash("E:\\media\\CD2\\TSData2.cab"), "E:\\media\\CD2\\");
}

TEST(NextCabinet, BadCabinetsAreAskedForInTheSameFolder) {
    const NextCabinetPlan format = PlanNextCabinet("E:\\CD2\\", "TSData2.cab", "CD2", 2);
    EXPECT_EQ(format.candidate, "E:\\CD2\\TSData2.cab");
    EXPECT_EQ(format.message,
              "The specified cabinet file does not have the correct format.\nPlease insert \"CD2\" or "
              "browse to a folder containing the file.");
    EXPECT_EQ(PlanNextCabinet("E:\\", "c", "D", 3).message,
              "The specified cabinet file has an unknown version number.\nPlease insert \"D\" or browse to a "
              "folder "
              "containing the file.");
    EXPECT_EQ(PlanNextCabinet("E:\\", "c", "D", 4).message,
              "The specified cabinet file is corrupt.\nPlease insert \"D\" or browse to a folder containing "
              "the file.");
}

TEST(NextCabinet, EngineFailuresAbortWithTheirText) {
    EXPECT_EQ(PlanNextCabinet("E:\\", "c", "D", 0).reaction, NextCabinetPlan::kContinue);
    const NextCabinetPlan memory = PlanNextCabinet("E:\\", "c", "D", 5);
    EXPECT_EQ(memory.reaction, NextCabinetPlan::kFail);
    EXPECT_EQ(memory.message, "Could not allocate enough memory.");
    EXPECT_EQ(PlanNextCabinet("E:\\", "c", "D", 9).message,
              "Cabinets in a set do not have the same RESERVE sizes.");
    EXPECT_EQ(PlanNextCabinet("E:\\", "c", "D", 11).message, "FDI aborted.");
    const NextCabinetPlan unknown = PlanNextCabinet("E:\\", "c", "D", 42);
    EXPECT_EQ(unknown.reaction, NextCabinetPlan::kFail);
    EXPECT_TRUE(unknown.message.empty());
    // A disk name with a conversion in it is shown as it is.
    EXPECT_NE(PlanNextCabinet("E:\\x\\", "c", "%s%n", 1).message.find("%s%n"), std::string::npos);
}

std::vector<char> Chars(const std::string& text) {
    return std::vector<char>(text.begin(), text.end());
}

TEST(PendingRenames, PairsAreAppendedAfterTheExistingOnes) {
    // The destination of a replacement carries "!": the file in use is there, and only that flag lets the
    // system replace it.
    const std::vector<char> first = AppendRenameOperation({}, "C:\\App\\a.dll.cor", "C:\\App\\a.dll");
    EXPECT_EQ(first, Chars(std::string("\\??\\C:\\App\\a.dll.cor\0!\\??\\C:\\App\\a.dll\0\0", 40)));
    const std::vector<char> second = AppendRenameOperation(first, "C:\\old.tmp", "");
    const auto pairs = RenameOperations(second);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].first, "\\??\\C:\\App\\a.dll.cor");
    EXPECT_EQ(pairs[0].second, "!\\??\\C:\\App\\a.dll");
    EXPECT_EQ(pairs[1].first, "\\??\\C:\\old.tmp");
    EXPECT_EQ(pairs[1].second, "");
    EXPECT_EQ(second.back(), '\0');
    // A deletion written last keeps its empty destination when a third pair follows it.
    const auto third = RenameOperations(AppendRenameOperation(second, "x", "y"));
    ASSERT_EQ(third.size(), 3u);
    EXPECT_EQ(third[1].second, "");
    EXPECT_EQ(third[2].first, "\\??\\x");
}

TEST(PendingRenames, DataWithoutItsClosingZerosIsRead) {
    const auto pairs = RenameOperations(Chars(std::string("\\??\\a\0\\??\\b", 11)));
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].second, "\\??\\b");
    const auto dangling = RenameOperations(Chars(std::string("\\??\\a", 5)));
    ASSERT_EQ(dangling.size(), 1u);
    EXPECT_EQ(dangling[0].second, "");
}

TEST(SharedFiles, RemovalDependsOnCountOriginAndAnswer) {
    EXPECT_EQ(DecideSharedRemoval(1, false, 2), SharedRemoval::kKeep);  // another product still counts it
    EXPECT_EQ(DecideSharedRemoval(0, true, 2), SharedRemoval::kKeep);   // it was there before
    EXPECT_EQ(DecideSharedRemoval(0, false, 0), SharedRemoval::kAsk);
    EXPECT_EQ(DecideSharedRemoval(-1, false, 0), SharedRemoval::kAsk);  // the count cannot be read
    EXPECT_EQ(DecideSharedRemoval(0, false, 1), SharedRemoval::kKeep);
    EXPECT_EQ(DecideSharedRemoval(0, false, 2), SharedRemoval::kRemove);
}

}  // namespace
