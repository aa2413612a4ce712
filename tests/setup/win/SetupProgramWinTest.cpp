// The setup program run as a person's system would run it: media laid out by the test, TSS.dat started as
// Setup.exe with a private temporary path, and what it did read back from the files it leaves and from the
// probe action that it calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cabinet/Cabinet.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/Paths.h"
#include "tests/TestSupport.h"
#include "tests/setup/win/SavedVariable.h"
#include "tests/setup/win/WinTestSupport.h"

namespace {

using testing_support::TempFolder;
using win_test_support::BuiltPath;
using win_test_support::RunAndWait;

std::vector<uint8_t> Read(const std::string& path) {
    std::vector<uint8_t> bytes;
    platform::File::ReadAll(path, &bytes);
    return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    platform::File file;
    ASSERT_TRUE(file.Open(path, platform::File::Mode::Replace));
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

void PutU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A single-file Setup.exe: the setup image, the database's length and bytes, the data cabinet's bytes (none
// when the media have no data files) and the trailer naming the image's length.
std::vector<uint8_t> SingleFileImage(const std::vector<uint8_t>& image, const std::vector<uint8_t>& database,
                                     const std::vector<uint8_t>& dataCabinet) {
    std::vector<uint8_t> file = image;
    PutU32(file, static_cast<uint32_t>(database.size()));
    file.insert(file.end(), database.begin(), database.end());
    file.insert(file.end(), dataCabinet.begin(), dataCabinet.end());
    file.insert(file.end(), {'K', 'Z', 'V', 0});
    PutU32(file, static_cast<uint32_t>(image.size()));
    return file;
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = Read(path);
    return std::string(bytes.begin(), bytes.end());
}

struct ActionSpec {
    std::string title;     // a file of the Source Folder
    std::string function;  // library actions
    std::string arguments;
    int32_t invokeAfter = kBeforeWelcome;
    int32_t waitTime = 0;
    bool ignoreReturnValue = false;
};

class SetupProgram : public ::testing::Test {
protected:
    SetupProgram() {
        media = temp / "media";
        tmp = temp / "tmp";
        platform::CreateFolder(media);
        platform::CreateFolder(tmp);
        probeOut = temp / "probe.txt";
        SetEnvironmentVariableA("TMP", (tmp + "\\").c_str());
        SetEnvironmentVariableA("TEMP", (tmp + "\\").c_str());
        SetEnvironmentVariableA("TESSARO_PROBE_OUT", probeOut.c_str());
        SetEnvironmentVariableA("TESSARO_PROBE_SLEEP", nullptr);
    }

    // The support cabinet TSFiles.cab, holding support.txt and the extra files given.
    std::string MakeSupportCabinet(const std::vector<std::string>& extra = {}) {
        const std::string folder = temp / "support";
        platform::CreateFolder(folder);
        Write(folder + "\\support.txt", {'s', 'u', 'p'});
        CCabinet cabinet(folder, "TSFiles", "TSFiles.cab", 0, 0);
        cabinet.Open();
        cabinet.AddFile(folder + "\\support.txt");
        for (const std::string& path : extra) cabinet.AddFile(path);
        cabinet.Close();
        return folder + "\\TSFiles.cab";
    }

    // A setup database at path with the actions, each targeting a file of the Source Folder.
    void MakeDatabase(const std::string& path, const std::vector<ActionSpec>& actions, int32_t mediaType,
                      const std::string& supportCabinet) {
        CProject project;
        project.Reset();
        project.productName = "Probe Product";
        project.noARP = !registered;  // unregistered runs leave no record, copy or saved database behind
        project.mediaType = mediaType;
        CFolder* source = project.rootFolders.Add(std::make_unique<CFolder>("Source Folder"));
        for (const ActionSpec& wanted : actions) {
            auto file = std::make_unique<CFileItem>();
            file->title = wanted.title;
            file->sourcePath = media + "\\" + wanted.title;
            file->folder = source;
            CFileItem* item = project.files.Add(std::move(file));
            auto action = std::make_unique<CCustomAction>();
            action->name = wanted.title;
            action->target = item;
            action->function = wanted.function;
            action->arguments = wanted.arguments;
            action->invokeAfter = wanted.invokeAfter;
            action->waitTime = wanted.waitTime;
            action->ignoreReturnValue = wanted.ignoreReturnValue;
            project.actions.Add(std::move(action));
        }
        CTreeArchive archive(kMainClass, kBuildDatabase);
        ASSERT_TRUE(archive.OpenForSave(path));
        project.Serialize(kProjectKey, archive);
        if (!supportCabinet.empty()) archive.ExchangeFile(supportCabinet);
        archive.CloseAfterSave();
    }

    void CopyInto(const char* builtPath, const std::string& target) {
        ASSERT_TRUE(CopyFileA(BuiltPath(builtPath).c_str(), target.c_str(), FALSE));
    }

    // No private folder of a run ("ts" and a number) is left in the temporary folder.
    // No private folder of a run is left (the log a failed run keeps, TSSetup.log, is a file).
    bool TempFolderGone() const {
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((tmp + "\\ts*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return true;
        }
        bool gone = true;
        do {
            gone = gone && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return gone;
    }

    SavedVariable savedTmp{"TMP"};
    SavedVariable savedTemp{"TEMP"};
    TempFolder temp;
    bool registered = false;  // the product of MakeDatabase has an installed-product record
    std::string media;
    std::string tmp;
    std::string probeOut;
    const ActionSpec probe{"probe.dll", "ProbeAction", ""};
};

TEST_F(SetupProgram, PlainProgramTakesDatabaseBesideItAndLeavesSetupImgUntilExit) {
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    MakeDatabase(media + "\\tsdb.dat", {probe}, 0, MakeSupportCabinet());
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=0\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, DatabaseWithoutSupportCabinetRuns) {
    // A project without licence, banner or splash files is built without a support cabinet.
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    MakeDatabase(media + "\\tsdb.dat", {probe}, 0, "");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=1 support=0 tsdb=0 tssetup=0 datacab=0 window=0\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, ImageWithoutPayloadTakesMediaFiles) {
    std::vector<uint8_t> image = Read(BuiltPath(TSS_PATH));
    const uint32_t n = static_cast<uint32_t>(image.size());
    image.insert(image.end(), {'K', 'Z', 'V', 0});
    PutU32(image, n);
    Write(media + "\\Setup.exe", image);
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    MakeDatabase(media + "\\tsdb.dat", {probe}, 0, MakeSupportCabinet());
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=0 support=1 tsdb=0 tssetup=0 datacab=0 window=0\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, SingleFileImageFindsItsPayload) {
    // The probe library travels in the support cabinet, as a Source Folder file does on single-file media.
    CopyInto(PROBE_DLL_PATH, temp / "probe.dll");
    const std::string database = temp / "tsdb.dat";
    MakeDatabase(database, {probe}, 2, MakeSupportCabinet({temp / "probe.dll"}));
    const std::vector<uint8_t> db = Read(database);
    ASSERT_FALSE(db.empty());
    Write(media + "\\Setup.exe", SingleFileImage(Read(BuiltPath(TSS_PATH)), db, {'M', 'S', 'C', 'F', 0, 0, 0, 0}));
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=0 support=1 tsdb=1 tssetup=1 datacab=1 window=0\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, UnknownSwitchEndsAsUsageErrorHavingDoneNothing) {
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    MakeDatabase(media + "\\tsdb.dat", {probe}, 0, MakeSupportCabinet());
    // S among the letters keeps the run silent, so no message box waits for a person.
    for (const char* line : {"/SILENT", "-S -q", "-S /x", "-S?"}) {
        EXPECT_EQ(RunAndWait(media + "\\Setup.exe", line), 2) << line;
        EXPECT_FALSE(platform::FileExists(probeOut)) << line << ": the run went on";
        EXPECT_TRUE(TempFolderGone()) << line;
    }
    // Switches after a slash and in lower case are understood.
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "/s"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=0\n");
}

TEST_F(SetupProgram, SingleFileImageWithoutDataCabinetStarts) {
    // Media whose files all lie in the Source Folder: the payload ends with the database.
    CopyInto(PROBE_DLL_PATH, temp / "probe.dll");
    const std::string database = temp / "tsdb.dat";
    MakeDatabase(database, {probe}, 2, MakeSupportCabinet({temp / "probe.dll"}));
    const std::vector<uint8_t> db = Read(database);
    ASSERT_FALSE(db.empty());
    Write(media + "\\Setup.exe", SingleFileImage(Read(BuiltPath(TSS_PATH)), db, {}));
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_EQ(ReadText(probeOut), "hwnd=null img=0 support=1 tsdb=1 tssetup=1 datacab=0 window=0\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, UnattendedRunShowsProgressWindowAndRunsEveryPoint) {
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    ActionSpec before = probe;  // before the window exists
    ActionSpec during = probe;
    during.invokeAfter = kAfterConfirmation;
    ActionSpec after = probe;  // the window is hidden, not yet destroyed
    after.invokeAfter = kAfterFinish;
    ActionSpec failing{"probe.dll", "ProbeFail", ""};
    failing.invokeAfter = kAfterWelcome;
    MakeDatabase(media + "\\tsdb.dat", {before, failing, during, after}, 0, MakeSupportCabinet());
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-O"), 0);
    // The failing action ends its own range (points 0 to 6) early; the later points still run.
    EXPECT_EQ(ReadText(probeOut),
              "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=0\n"
              "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=1\n"
              "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=1\n");
    EXPECT_TRUE(TempFolderGone());
}

TEST_F(SetupProgram, ProgramActionsWaitByWaitTimeWithExactCommandLine) {
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(RECORD_ARGS_PATH, media + "\\record.exe");
    ActionSpec waiting{"record.exe", "", "<setup mode> \"<test>\"", kBeforeWelcome, -1};
    MakeDatabase(media + "\\tsdb.dat", {waiting}, 0, MakeSupportCabinet());
    SetEnvironmentVariableA("TESSARO_PROBE_SLEEP", "1000");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-ST"), 0);
    EXPECT_EQ(ReadText(probeOut + ".args"), media + "\\record.exe SM_NEW \"TRUE\"");

    // Without waiting, setup ends while the program still sleeps.
    DeleteFileA((probeOut + ".args").c_str());
    MakeDatabase(media + "\\tsdb.dat", {{"record.exe", "", "x", kBeforeWelcome, 0}}, 0, MakeSupportCabinet());
    SetEnvironmentVariableA("TESSARO_PROBE_SLEEP", "4000");
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 0);
    EXPECT_FALSE(platform::FileExists(probeOut + ".args"));
    for (int i = 0; i < 100 && !platform::FileExists(probeOut + ".args"); ++i) Sleep(100);
    EXPECT_EQ(ReadText(probeOut + ".args"), media + "\\record.exe x");
}

// System libraries that are not among the system's known DLLs, some loaded by the system's own libraries: a
// program that imported them, or loaded them before confining its library search, would take these copies.
TEST_F(SetupProgram, LibrariesPlantedBesideSetupAreNeverLoaded) {
    const char* const planted[] = {"shcore.dll",   "compstui.dll", "comctl32.dll", "comdlg32.dll",
                                   "oleaut32.dll", "version.dll",  "winspool.drv", "uxtheme.dll",
                                   "riched20.dll", "msftedit.dll", "imm32.dll",    "dwmapi.dll"};
    // The planted library does leave its marker when it is loaded.
    const std::string control = temp / "control";
    platform::CreateFolder(control);
    CopyInto(PLANTED_LIBRARY_PATH, control + "\\planted.dll");
    HMODULE loaded = LoadLibraryA((control + "\\planted.dll").c_str());
    ASSERT_NE(loaded, nullptr);
    FreeLibrary(loaded);
    ASSERT_TRUE(platform::FileExists(control + "\\planted.dll.loaded"));

    CopyInto(TSS_PATH, media + "\\Setup.exe");
    CopyInto(PROBE_DLL_PATH, media + "\\probe.dll");
    for (const char* name : planted) CopyInto(PLANTED_LIBRARY_PATH, media + "\\" + name);
    MakeDatabase(media + "\\tsdb.dat", {probe}, 0, MakeSupportCabinet());
    // A silent run, and an unattended one with its progress window.
    for (const char* line : {"-S", "-O"}) {
        DeleteFileA(probeOut.c_str());
        EXPECT_EQ(RunAndWait(media + "\\Setup.exe", line), 0) << line;
        EXPECT_EQ(ReadText(probeOut), "hwnd=null img=1 support=1 tsdb=0 tssetup=0 datacab=0 window=0\n") << line;
        for (const char* name : planted) {
            EXPECT_FALSE(platform::FileExists(media + "\\" + name + ".loaded")) << line << ": " << name << " was loaded";
        }
    }
}

TEST_F(SetupProgram, EarlyEndsLeaveNoTemporaryFolder) {
    CopyInto(TSS_PATH, media + "\\Setup.exe");
    // No database beside the program. The run's log is kept with the reason and the exit code.
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 1);
    EXPECT_TRUE(TempFolderGone());
    const std::string kept = ReadText(tmp + "\\TSSetup.log");
    EXPECT_NE(kept.find("  Failed: Can't open database file!\r\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("  Exit code: 1 (ended before anything on the machine changed)\r\n"), std::string::npos)
        << kept;
    // A maintenance run without a database path.
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-SU"), 1);
    EXPECT_TRUE(TempFolderGone());
    // A change run of a product that is not installed (a registered one: an unregistered product always
    // runs as a first installation).
    registered = true;
    MakeDatabase(media + "\\tsdb.dat", {}, 0, MakeSupportCabinet());
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-SC " + media + "\\tsdb.dat"), 1);
    EXPECT_TRUE(TempFolderGone());
    // A truncated database.
    std::vector<uint8_t> db = Read(media + "\\tsdb.dat");
    db.resize(db.size() / 2);
    Write(media + "\\tsdb.dat", db);
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 1);
    EXPECT_TRUE(TempFolderGone());
    // A hostile trailer: a program length far past the file.
    std::vector<uint8_t> image = Read(BuiltPath(TSS_PATH));
    image.insert(image.end(), {'K', 'Z', 'V', 0, 0xFF, 0xFF, 0xFF, 0x7F});
    Write(media + "\\Setup.exe", image);
    DeleteFileA((media + "\\tsdb.dat").c_str());
    EXPECT_EQ(RunAndWait(media + "\\Setup.exe", "-S"), 1);
    EXPECT_TRUE(TempFolderGone());
}

}  // namespace
