// The file steps of the install sequence on a real file system: a project made in memory, data cabinets
// made with CCabinet from files the test writes, and the steps called in the sequence's order for each mode.
// Registry values that the steps write (SharedDLLs counts, App Paths, pending renames) are put back as they
// were after each test.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cabinet/Cabinet.h"
#include "model/Project.h"
#include "platform/TSSException.h"
#include "platform/Threads.h"
#include "setup/engine/Selection.h"
#include "setup/install/FileInstall.h"
#include "setup/install/Steps.h"
#include "setup/main/SetupRes.h"
#include "setup/wizard/SharedDialogsRes.h"
#include "tests/TestSupport.h"
#include "tests/setup/win/WinTestSupport.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

class TestFolders : public SystemFolders {
public:
    std::string WindowsFolder() override { return "C:\\windows"; }
    std::string SystemFolder() override { return "C:\\windows\\system32"; }
    std::string ShellFolder(const std::string&, bool) override { return std::string(); }
};

// What the steps report: one record per action text, with the range, the position reached and the detail
// lines shown.
class RecordingSink : public ProgressSink {
public:
    struct StepRecord {
        std::string action;
        int32_t range = 0;
        int32_t position = 0;
        std::vector<std::string> details;
    };

    void SetActionText(const char* format, const char*, int32_t) override {
        steps.emplace_back();
        steps.back().action = format;
    }
    void SetDetailText(const char* format, int32_t, const char*) override {
        if (!steps.empty() && format[0] != '\0')
            steps.back().details.push_back(format);
    }
    void SetPosition(int32_t position) override {
        if (!steps.empty())
            steps.back().position = position;
    }
    void Step(int32_t delta) override {
        if (!steps.empty())
            steps.back().position += delta;
    }
    void SetRange(int32_t max) override {
        if (!steps.empty())
            steps.back().range = max;
    }

    const StepRecord* Find(const std::string& action) const {
        for (const StepRecord& step : steps) {
            if (step.action == action)
                return &step;
        }
        return nullptr;
    }

    std::vector<StepRecord> steps;
};

FILETIME StampOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME system{};
    system.wYear = year;
    system.wMonth = month;
    system.wDay = day;
    system.wHour = hour;
    system.wMinute = minute;
    system.wSecond = second;
    FILETIME stamp{};
    SystemTimeToFileTime(&system, &stamp);
    return stamp;
}

uint64_t Ticks(const FILETIME& stamp) {
    return (static_cast<uint64_t>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime;
}

uint64_t LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return Ticks(data.ftLastWriteTime);
}

void SetLastWriteTime(const std::string& path, const FILETIME& stamp) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    SetFileTime(file, &stamp, nullptr, &stamp);
    CloseHandle(file);
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

std::vector<uint8_t> Text(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
}

// Clears the read-only bit of everything below a folder, so that the folder can be removed.
void MakeWritable(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            MakeWritable(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// A registry value of HKEY_LOCAL_MACHINE as it was before a test, put back afterwards.
class SavedValue {
public:
    SavedValue(const char* key, std::string name) : key_(key), name_(std::move(name)) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_, 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        if (RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            data_.resize(size);
            had_ = RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, data_.data(), &size) ==
                   ERROR_SUCCESS;
        }
        RegCloseKey(handle);
    }
    ~SavedValue() {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
            return;
        if (had_) {
            RegSetValueExA(handle, name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
        } else {
            RegDeleteValueA(handle, name_.c_str());
        }
        RegCloseKey(handle);
    }

private:
    const char* key_;
    std::string name_;
    bool had_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

bool ReadDword(const char* key, const std::string& name, DWORD* value) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *value;
    DWORD type = 0;
    const bool found = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                                        &size) == ERROR_SUCCESS &&
                       type == REG_DWORD;
    RegCloseKey(handle);
    return found;
}

void WriteDword(const char* key, const std::string& name, DWORD value) {
    HKEY handle;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(handle);
}

std::vector<char> ReadMultiString(const char* key, const char* name) {
    std::vector<char> data;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return data;
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        data.resize(size);
        RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
    }
    RegCloseKey(handle);
    return data;
}

// Answers the dialogs with a given title, as a person would, from a second thread while the steps wait for
// them: each one found within the time allowed is handed to answer, which reads it and presses a button.
class DialogAnswerer {
public:
    DialogAnswerer(std::string title, int times, std::function<void(HWND)> answer)
        : title_(std::move(title)), thread_([this, times, answer] {
              for (int i = 0; i < times; ++i) {
                  HWND dialog = Wait();
                  if (dialog == nullptr)
                      return;
                  answer(dialog);
                  ++answered_;
                  while (IsWindow(dialog)) Sleep(20);
              }
          }) {}
    ~DialogAnswerer() { thread_.Join(); }
    int Answered() const { return answered_; }

    static std::string ItemText(HWND dialog, int id) {
        char text[1024] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    static void Press(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    struct Search {
        const std::string* title;
        HWND found;
    };

    static BOOL CALLBACK Visit(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && *search->title == text) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    // A visible window of this process with the title; other programs on the display are not looked at.
    HWND Find() const {
        Search search{&title_, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND Wait() const {
        for (int waited = 0; waited < 20000; waited += 50) {
            if (HWND dialog = Find())
                return dialog;
            Sleep(50);
        }
        return nullptr;
    }

    std::string title_;
    int answered_ = 0;
    platform::Thread thread_;
};

// One file of the test project: where it goes, what it holds and how it is installed.
struct PlannedFile {
    std::string folder;  // below the target folder; empty for the target folder itself
    std::string title;
    std::vector<uint8_t> content;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    std::string feature = "Main";
    uint8_t overwriteMethod = 3;
    bool permanent = false;
    bool shared = false;
    bool addAppPath = false;
    uint32_t osMask = kOsMaskAll;
};

class FileSteps : public ::testing::Test {
protected:
    FileSteps() {
        media = temp / "media";
        sources = temp / "sources";
        target = temp / "target";
        CreateDirectoryA(media.c_str(), nullptr);
        CreateDirectoryA(sources.c_str(), nullptr);
    }
    ~FileSteps() override { MakeWritable(temp.Path()); }

    // A fresh engine for one run with the project of the planned files: one feature per name, every file in its
    // feature's FileFolders list through its folder, or by itself when it shares its folder with another
    // feature's files.
    std::unique_ptr<SetupEngine> MakeEngine() {
        auto engine = std::make_unique<SetupEngine>(systemFolders);
        CProject& project = engine->project;
        project.productName = "File Steps";
        project.target = target;
        project.ui.uiType = kSilentSetup;
        project.rootFeature.name = "Features";
        CFolder* root = project.rootFolders.Add(std::make_unique<CFolder>("Target Folder"));
        for (const PlannedFile& plan : planned) {
            CFolder* folder = root;
            size_t start = 0;
            while (start < plan.folder.size()) {
                size_t end = plan.folder.find('\\', start);
                if (end == std::string::npos)
                    end = plan.folder.size();
                const std::string name = plan.folder.substr(start, end - start);
                CFolder* child = folder->FindChild(name);
                folder = child != nullptr ? child : folder->AddChild(std::make_unique<CFolder>(name));
                start = end + 1;
            }
            auto file = std::make_unique<CFileItem>();
            file->title = plan.title;
            file->folder = folder;
            file->size = static_cast<uint32_t>(plan.content.size());
            file->time = Ticks(stamp);
            file->overwriteMethod = plan.overwriteMethod;
            file->permanent = plan.permanent;
            file->shared = plan.shared;
            file->addAppPath = plan.addAppPath;
            file->appPath = plan.addAppPath ? "<target folder>" : "";
            file->osMask = plan.osMask;
            CFileItem* item = project.files.Add(std::move(file));
            CFeature* feature = project.rootFeature.FindChild(plan.feature);
            if (feature == nullptr) {
                feature = project.rootFeature.AddChild(std::make_unique<CFeature>(plan.feature, ""));
            }
            feature->files.Add(item);
        }
        engine->osCode = kOsWin2000;
        engine->dataCabinetPath = cabinetPath;
        return engine;
    }

    // The data cabinets of the planned, in the order of the file list; disk size 0 makes one cabinet.
    void MakeCabinets(int32_t diskSize = 0) {
        for (const PlannedFile& plan : planned) {
            const std::string path = sources + "\\" + plan.title;
            WriteBytes(path, plan.content);
            SetLastWriteTime(path, stamp);
            SetFileAttributesA(path.c_str(), plan.attributes);
        }
        {
            CCabinet cabinet(media, "CD%d", diskSize > 0 ? "TSData%d.cab" : "TSData.cab", diskSize, 0);
            cabinet.Open();
            for (const PlannedFile& plan : planned) cabinet.AddFile(sources + "\\" + plan.title);
            cabinet.Close();
        }
        MakeWritable(sources);
        cabinetPath = diskSize > 0 ? media + "\\CD1\\TSData1.cab" : media + "\\TSData.cab";
    }

    // The file steps of the sequence, in its order, for the engine's mode.
    void RunFileSteps(SetupEngine& engine, RecordingSink& sink) {
        InstallRun run{engine, &sink, nullptr};
        const int32_t mode = engine.mode;
        PrepareSelection(engine);
        ResolvePaths(engine);
        if (mode != SM_REPAIR)
            RemoveFiles(run);
        if (mode != SM_NEW)
            RemoveFolders(run);
        if (mode != SM_REMOVE) {
            MakeFolders(run);
            CopyFiles(run);
        }
    }

    // A later run of the installed product: the features selected at the end of the last run are the ones
    // recorded as installed, and their items get the installed mark.
    static void StartMaintenance(SetupEngine& engine, int32_t mode) {
        engine.mode = mode;
        engine.project.rootFeature.ForEach([](CFeature& feature) { feature.installed = feature.selected; });
        for (CFileItem* file : engine.project.files) file->isInstalled = false;
        MarkInstalledItems(engine);
    }

    static void Select(SetupEngine& engine, const char* featureName, bool selected) {
        engine.project.rootFeature.FindChild(featureName)->selected = selected;
    }

    std::string At(const std::string& relative) const { return target + "\\" + relative; }

    TestFolders systemFolders;
    TempFolder temp;
    std::string media;
    std::string sources;
    std::string target;
    std::string cabinetPath;
    std::vector<PlannedFile> planned;
    const FILETIME stamp = StampOf(2021, 3, 14, 9, 26, 52);
};

TEST_F(FileSteps, FirstInstallPutsFilesWithTimesAndAttributesIntoTheirFolders) {
    planned = {
        {"", "readme.txt", Text("read me")},
        {"Bin", "tool.dat", Text("tool bytes"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
        {"Bin\\Deep\\Er", "data.bin", RandomBytes(70000, 1), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"Bin", "only95.dll", Text("for the 95 family"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, false,
         false, kOsWin95Family}};
    MakeCabinets();
    auto engine = MakeEngine();
    RecordingSink sink;
    RunFileSteps(*engine, sink);

    EXPECT_EQ(ReadBytes(At("readme.txt")), planned[0].content);
    EXPECT_EQ(ReadBytes(At("Bin\\tool.dat")), planned[1].content);
    EXPECT_EQ(ReadBytes(At("Bin\\Deep\\Er\\data.bin")), planned[2].content);
    EXPECT_EQ(Attributes(At("Bin\\tool.dat")) & 0x27,
              DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    // Wine shows a file without recorded attributes as archive, so the archive bit is not compared here.
    EXPECT_EQ(Attributes(At("Bin\\Deep\\Er\\data.bin")) & 0x07,
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(LastWriteTime(At("readme.txt")), Ticks(stamp));
    EXPECT_EQ(LastWriteTime(At("Bin\\Deep\\Er\\data.bin")), Ticks(stamp));
    EXPECT_FALSE(PathExists(At("Bin\\only95.dll")));  // its mask lacks the running system's bit
    EXPECT_FALSE(engine->restartNeeded);
    EXPECT_FALSE(engine->project.files[0]->wasThere);

    EXPECT_EQ(engine->project.files[2]->resolvedPath, At("Bin\\Deep\\Er\\data.bin"));
    const auto* removing = sink.Find("Removing Files...");
    ASSERT_NE(removing, nullptr);
    EXPECT_EQ(removing->range, 4);
    EXPECT_EQ(removing->position, 4);
    EXPECT_TRUE(removing->details.empty());
    EXPECT_EQ(sink.Find("Removing Folders..."), nullptr);
    const auto* making = sink.Find("Making Folders...");
    ASSERT_NE(making, nullptr);
    EXPECT_EQ(making->range, 4);
    EXPECT_EQ(making->position, 4);
    EXPECT_EQ(making->details,
              std::vector<std::string>({target, At("Bin"), At("Bin\\Deep"), At("Bin\\Deep\\Er")}));
    const auto* copying = sink.Find("Copying Files...");
    ASSERT_NE(copying, nullptr);
    const int32_t installedBytes = 7 + 10 + 70000;
    EXPECT_EQ(copying->range, installedBytes + 17);  // the 95-family file counts, but is never copied
    EXPECT_EQ(copying->position, installedBytes);
    EXPECT_EQ(copying->details, std::vector<std::string>(
                                    {At("readme.txt"), At("Bin\\tool.dat"), At("Bin\\Deep\\Er\\data.bin")}));
}

TEST_F(FileSteps, ChangeRunRemovesDeselectedItemsAndAddsNewOnes) {
    planned = {{"Core", "core.dll", Text("core"), FILE_ATTRIBUTE_ARCHIVE, "Main"},
             {"Docs", "manual.txt", Text("manual"), FILE_ATTRIBUTE_READONLY, "Docs"},
             {"Samples", "sample.txt", Text("sample"), FILE_ATTRIBUTE_ARCHIVE, "Samples"}};
    MakeCabinets();
    auto engine = MakeEngine();
    Select(*engine, "Samples", false);
    RecordingSink first;
    RunFileSteps(*engine, first);
    ASSERT_TRUE(PathExists(At("Docs\\manual.txt")));
    ASSERT_FALSE(FolderExists(At("Samples")));

    StartMaintenance(*engine, SM_CHANGE);
    Select(*engine, "Docs", false);
    Select(*engine, "Samples", true);
    SetLastWriteTime(At("Core\\core.dll"),
                     StampOf(2022, 1, 1, 0, 0, 0));  // left alone: installed and selected
    RecordingSink change;
    RunFileSteps(*engine, change);

    EXPECT_FALSE(PathExists(At("Docs\\manual.txt")));  // read-only, removed all the same
    EXPECT_FALSE(FolderExists(At("Docs")));
    EXPECT_EQ(ReadBytes(At("Samples\\sample.txt")), planned[2].content);
    EXPECT_EQ(LastWriteTime(At("Core\\core.dll")), Ticks(StampOf(2022, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(FolderExists(target));
    EXPECT_EQ(change.Find("Removing Files...")->details, std::vector<std::string>({At("Docs\\manual.txt")}));
    EXPECT_EQ(change.Find("Removing Folders...")->details, std::vector<std::string>({At("Docs")}));
    EXPECT_EQ(change.Find("Making Folders...")->details, std::vector<std::string>({At("Samples")}));
    EXPECT_EQ(change.Find("Copying Files...")->range, 6);
    EXPECT_EQ(change.Find("Copying Files...")->position, 6);
}

TEST_F(FileSteps, RepairRestoresFilesAsTheirOverwriteMethodAllows) {
    planned = {{"", "deleted.txt", Text("restore me")},
             {"", "newer.txt", Text("original"), FILE_ATTRIBUTE_ARCHIVE, "Main", 4},
             {"", "never.txt", Text("original"), FILE_ATTRIBUTE_ARCHIVE, "Main", 0},
             {"", "always.txt", Text("original"), FILE_ATTRIBUTE_ARCHIVE, "Main", 5}};
    MakeCabinets();
    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);

    ASSERT_TRUE(DeleteFileA(At("deleted.txt").c_str()));
    for (const char* name : {"newer.txt", "never.txt", "always.txt"}) {
        WriteBytes(At(name), Text("edited by the user"));
        SetLastWriteTime(At(name), StampOf(2023, 6, 1, 12, 0, 0));
    }
    StartMaintenance(*engine, SM_REPAIR);
    RecordingSink repair;
    RunFileSteps(*engine, repair);

    EXPECT_EQ(ReadBytes(At("deleted.txt")), planned[0].content);
    EXPECT_EQ(ReadBytes(At("newer.txt")),
              Text("edited by the user"));  // its time is later than the stored one
    EXPECT_EQ(ReadBytes(At("never.txt")), Text("edited by the user"));
    EXPECT_EQ(ReadBytes(At("always.txt")), planned[3].content);
    EXPECT_EQ(repair.Find("Removing Files..."), nullptr);  // a repair removes nothing
    EXPECT_NE(repair.Find("Removing Folders..."), nullptr);
    EXPECT_TRUE(repair.Find("Removing Folders...")->details.empty());
}

TEST_F(FileSteps, RemovalLeavesPermanentFilesFilesThatWereThereAndFilesStillCounted) {
    planned = {
        {"", "plain.txt", Text("plain")},
        {"", "keep.txt", Text("permanent"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, true},
        {"", "before.txt", Text("installed copy"), FILE_ATTRIBUTE_ARCHIVE, "Main", 5},
        {"Shared", "counted.dll", Text("counted elsewhere"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, false},
        {"Shared", "ours.dll", Text("only ours"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true},
        {"Bin", "tool.exe", Text("not a real program"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, false,
         true}};
    MakeCabinets();
    CreateDirectoryA(target.c_str(), nullptr);
    WriteBytes(At("before.txt"), Text("was here first"));
    WriteBytes(At("TSdb.dat"), Text("saved database"));
    const std::string counted = At("Shared\\counted.dll");
    const std::string ours = At("Shared\\ours.dll");
    SavedValue countedValue(kSharedDllsKey, counted);
    SavedValue oursValue(kSharedDllsKey, ours);
    WriteDword(kSharedDllsKey, counted, 1);  // another product counts it already

    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);
    DWORD count = 0;
    ASSERT_TRUE(ReadDword(kSharedDllsKey, counted, &count));
    EXPECT_EQ(count, 2u);
    EXPECT_TRUE(engine->project.files[3]->shared);  // counted by another product: shared from now on
    ASSERT_TRUE(ReadDword(kSharedDllsKey, ours, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(engine->project.files[2]->wasThere);
    EXPECT_EQ(ReadBytes(At("before.txt")), planned[2].content);
    // The program's App Paths entry (removed at the end by the registry steps' tree deletion).
    const std::string appPathKey = std::string(kAppPathsKey) + "\\tool.exe";
    HKEY appPath;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPathKey.c_str(), 0, KEY_READ, &appPath), ERROR_SUCCESS);
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(appPath, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(value), At("Bin\\tool.exe"));
    size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(appPath, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(value), target);
    RegCloseKey(appPath);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathKey.c_str());

    StartMaintenance(*engine, SM_REMOVE);
    engine->sharedFileAnswer = 2;  // as for "Yes to all"
    RecordingSink removal;
    RunFileSteps(*engine, removal);

    EXPECT_FALSE(PathExists(At("plain.txt")));
    EXPECT_FALSE(PathExists(At("Bin\\tool.exe")));
    EXPECT_FALSE(FolderExists(At("Bin")));
    EXPECT_EQ(ReadBytes(At("keep.txt")), planned[1].content);
    EXPECT_TRUE(PathExists(At("before.txt")));
    EXPECT_EQ(ReadBytes(counted), planned[3].content);
    ASSERT_TRUE(ReadDword(kSharedDllsKey, counted, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_FALSE(PathExists(ours));
    EXPECT_FALSE(ReadDword(kSharedDllsKey, ours, &count));  // the count reached zero: the value is gone
    EXPECT_FALSE(PathExists(At("TSdb.dat")));
    EXPECT_TRUE(FolderExists(At("Shared")));  // not empty
    EXPECT_EQ(removal.Find("Removing Folders...")->range, 3);
    EXPECT_EQ(removal.Find("Removing Folders...")->position, 3);  // every folder is tried
    EXPECT_EQ(removal.Find("Making Folders..."), nullptr);
}

TEST_F(FileSteps, SharedFileStillCountedKeepsItsCountInTestMode) {
    planned = {{"", "lib.dll", Text("library"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true}};
    MakeCabinets();
    const std::string path = At("lib.dll");
    SavedValue saved(kSharedDllsKey, path);
    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);
    DWORD count = 0;
    ASSERT_TRUE(ReadDword(kSharedDllsKey, path, &count));
    ASSERT_EQ(count, 1u);

    StartMaintenance(*engine, SM_REMOVE);
    engine->test = true;
    engine->sharedFileAnswer = 2;
    RecordingSink removal;
    RunFileSteps(*engine, removal);
    EXPECT_TRUE(PathExists(path));
    ASSERT_TRUE(ReadDword(kSharedDllsKey, path, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(removal.Find("Removing Files...")->details, std::vector<std::string>({path}));
}

TEST_F(FileSteps, FileInUseIsWrittenBesideItAndReplacedAtRestart) {
    planned = {
        {"", "busy.dll", Text("new version"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, "Main", 5}};
    MakeCabinets();
    CreateDirectoryA(target.c_str(), nullptr);
    const std::string busy = At("busy.dll");
    WriteBytes(busy, Text("old version"));
    SavedValue pending(kSessionManagerKey, kPendingRenamesValue);
    const size_t pairsBefore =
        RenameOperations(ReadMultiString(kSessionManagerKey, kPendingRenamesValue)).size();

    HANDLE held =
        CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto engine = MakeEngine();
    RecordingSink sink;
    RunFileSteps(*engine, sink);
    CloseHandle(held);

    EXPECT_TRUE(engine->restartNeeded);
    EXPECT_TRUE(engine->project.files[0]->inUse);
    EXPECT_TRUE(engine->project.files[0]->wasThere);
    EXPECT_EQ(ReadBytes(busy), Text("old version"));
    EXPECT_EQ(ReadBytes(busy + ".cor"), planned[0].content);
    EXPECT_EQ(LastWriteTime(busy + ".cor"), Ticks(stamp));
    EXPECT_EQ(Attributes(busy + ".cor") & 0x27, DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    const auto pairs = RenameOperations(ReadMultiString(kSessionManagerKey, kPendingRenamesValue));
    ASSERT_EQ(pairs.size(), pairsBefore + 1);
    EXPECT_EQ(pairs.back().first, "\\??\\" + busy + ".cor");
    EXPECT_EQ(pairs.back().second, "!\\??\\" + busy);
    EXPECT_EQ(sink.Find("Copying Files...")->details, std::vector<std::string>({busy}));
}

TEST_F(FileSteps, FileInUseAtRemovalIsDeletedAtRestart) {
    planned = {{"", "held.dll", Text("held")}};
    MakeCabinets();
    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);
    const std::string held = At("held.dll");
    SavedValue pending(kSessionManagerKey, kPendingRenamesValue);

    HANDLE handle =
        CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    StartMaintenance(*engine, SM_REMOVE);
    RecordingSink removal;
    RunFileSteps(*engine, removal);
    CloseHandle(handle);

    EXPECT_TRUE(engine->restartNeeded);
    EXPECT_EQ(ReadBytes(held), planned[0].content);
    const auto pairs = RenameOperations(ReadMultiString(kSessionManagerKey, kPendingRenamesValue));
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs.back().first, "\\??\\" + held);
    EXPECT_EQ(pairs.back().second, "");
}

TEST_F(FileSteps, FileInUseOnTheWindows95FamilyIsRenamedThroughWininit) {
    planned = {{"", "busy95.dll", Text("new"), FILE_ATTRIBUTE_ARCHIVE, "Main", 5}};
    MakeCabinets();
    CreateDirectoryA(target.c_str(), nullptr);
    const std::string busy = At("busy95.dll");
    WriteBytes(busy, Text("old"));
    HANDLE held =
        CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto engine = MakeEngine();
    engine->osCode = kOsWin98;
    RecordingSink sink;
    RunFileSteps(*engine, sink);
    CloseHandle(held);

    char shortTarget[MAX_PATH] = "";
    char shortTwin[MAX_PATH] = "";
    GetShortPathNameA(busy.c_str(), shortTarget, MAX_PATH);
    GetShortPathNameA((busy + ".cor").c_str(), shortTwin, MAX_PATH);
    char entry[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", shortTarget, "", entry, MAX_PATH, "WININIT.INI");
    WritePrivateProfileStringA("rename", shortTarget, nullptr, "WININIT.INI");
    EXPECT_TRUE(engine->restartNeeded);
    EXPECT_EQ(std::string(entry), std::string(shortTwin));
    EXPECT_EQ(ReadBytes(busy + ".cor"), planned[0].content);
}

TEST_F(FileSteps, SecondDiskIsFoundInItsSiblingFolderWithoutAPrompt) {
    planned = {{"", "one.bin", RandomBytes(60000, 2)},
             {"Sub", "two.bin", RandomBytes(60000, 3)},
             {"", "three.bin", RandomBytes(60000, 4)}};
    MakeCabinets(120000);
    ASSERT_TRUE(PathExists(media + "\\CD2\\TSData2.cab"));
    auto engine = MakeEngine();  // silent: a prompt would cancel the run
    RecordingSink sink;
    RunFileSteps(*engine, sink);
    EXPECT_EQ(ReadBytes(At("one.bin")), planned[0].content);
    EXPECT_EQ(ReadBytes(At("Sub\\two.bin")), planned[1].content);
    EXPECT_EQ(ReadBytes(At("three.bin")), planned[2].content);
    EXPECT_EQ(sink.Find("Copying Files...")->position, 180000);
}

// A silent run shows no prompt: the file that continues on the missing disk ends the run as a user abort
// (a message that only the full user interface would show), a missing first cabinet with no text at all.
TEST_F(FileSteps, MissingDiskEndsASilentRun) {
    planned = {{"", "one.bin", RandomBytes(60000, 5)},
             {"", "two.bin", RandomBytes(60000, 6)},
             {"", "three.bin", RandomBytes(60000, 7)}};
    MakeCabinets(120000);
    ASSERT_TRUE(MoveFileA((media + "\\CD2").c_str(), (temp / "elsewhere").c_str()));
    auto engine = MakeEngine();
    RecordingSink sink;
    try {
        RunFileSteps(*engine, sink);
        ADD_FAILURE() << "the run went on without its second disk";
    } catch (const CTSSException& e) {
        EXPECT_EQ(e.Message(), "Cannot Extract files!(Cabinet not found)");
    }
    EXPECT_EQ(ReadBytes(At("one.bin")), planned[0].content);  // what was done stays

    auto missing = MakeEngine();
    missing->dataCabinetPath = media + "\\nothing.cab";
    try {
        RunFileSteps(*missing, sink);
        ADD_FAILURE() << "the run went on without its first cabinet";
    } catch (const CTSSException& e) {
        EXPECT_EQ(e.Message(), "");
    }
}

TEST_F(FileSteps, MissingDiskIsAskedForByItsNameAndAnotherFolderContinues) {
    planned = {{"", "one.bin", RandomBytes(60000, 9)},
             {"", "two.bin", RandomBytes(60000, 10)},
             {"", "three.bin", RandomBytes(60000, 11)}};
    MakeCabinets(120000);
    const std::string elsewhere = temp / "elsewhere";
    ASSERT_TRUE(MoveFileA((media + "\\CD2").c_str(), elsewhere.c_str()));
    auto engine = MakeEngine();
    engine->project.ui.uiType = kFullWizard;
    std::string message, offered;
    RecordingSink sink;
    {
        DialogAnswerer person("File Steps Setup", 1, [&](HWND dialog) {
            message = DialogAnswerer::ItemText(dialog, IDC_DISK_PROMPT_MESSAGE);
            offered = DialogAnswerer::ItemText(dialog, IDC_DISK_PROMPT_PATH);
            SetDlgItemTextA(dialog, IDC_DISK_PROMPT_PATH, (elsewhere + "\\TSData2.cab").c_str());
            DialogAnswerer::Press(dialog, IDOK);
        });
        RunFileSteps(*engine, sink);
        EXPECT_EQ(person.Answered(), 1);
    }
    EXPECT_EQ(message,
              "Please insert the following disk:\n\n    CD2\n\nor browse to a folder containing the "
              "specified file.");
    EXPECT_EQ(offered, media + "\\CD2\\TSData2.cab");
    EXPECT_EQ(ReadBytes(At("two.bin")), planned[1].content);
    EXPECT_EQ(ReadBytes(At("three.bin")), planned[2].content);
}

TEST_F(FileSteps, CancelledPromptForTheFirstCabinetEndsTheRunQuietly) {
    planned = {{"", "a.txt", Text("a")}};
    MakeCabinets();
    auto engine = MakeEngine();
    engine->project.ui.uiType = kFullWizard;
    engine->dataCabinetPath = media + "\\Disk1\\TSData1.cab";
    std::string message;
    RecordingSink sink;
    DialogAnswerer person("File Steps Setup", 1, [&](HWND dialog) {
        message = DialogAnswerer::ItemText(dialog, IDC_DISK_PROMPT_MESSAGE);
        DialogAnswerer::Press(dialog, IDCANCEL);
    });
    try {
        RunFileSteps(*engine, sink);
        ADD_FAILURE() << "the run went on without its cabinet";
    } catch (const CTSSException& e) {
        EXPECT_EQ(e.Message(), "");
    }
    EXPECT_EQ(message,
              "Setup needs the following file to continue. Please insert the installation disk or browse to "
              "a folder "
              "containing the specified file.");
    EXPECT_FALSE(PathExists(At("a.txt")));
}

TEST_F(FileSteps, UnusedSharedFileIsAskedAboutAndYesToAllCoversTheRest) {
    planned = {{"", "first.dll", Text("first"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true},
             {"", "second.dll", Text("second"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true}};
    MakeCabinets();
    SavedValue first(kSharedDllsKey, At("first.dll"));
    SavedValue second(kSharedDllsKey, At("second.dll"));
    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);
    ASSERT_TRUE(PathExists(At("second.dll")));

    StartMaintenance(*engine, SM_REMOVE);
    engine->project.ui.uiType = kFullWizard;
    std::string question;
    WPARAM defaultButton = 0;
    RecordingSink removal;
    {
        DialogAnswerer person("Setup", 1, [&](HWND dialog) {
            question = DialogAnswerer::ItemText(dialog, IDC_QB_MESSAGE);
            defaultButton = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
            DialogAnswerer::Press(dialog, IDC_QB_BUTTON3);
        });
        RunFileSteps(*engine, removal);
        EXPECT_EQ(person.Answered(), 1);
    }
    EXPECT_EQ(
        question,
        "The system indicates that the shared file:\n\n" + At("first.dll") +
            "\n\nis no longer used by any program. If any programs are still using this file and it is "
            "removed, those programs may not function properly. Are you sure you want to remove the "
            "shared file?\n\nLeaving the file on your system will not cause any harm. If you are unsure, "
            "choose No.");
    EXPECT_EQ(defaultButton, WPARAM(IDC_QB_BUTTON2));  // No
    EXPECT_EQ(engine->sharedFileAnswer, 2);
    EXPECT_FALSE(PathExists(At("first.dll")));
    EXPECT_FALSE(PathExists(At("second.dll")));
}

TEST_F(FileSteps, SelfRegisteringFilesAreRegisteredAndUnregistered) {
    planned = {{"", "probe.dll", ReadBytes(win_test_support::BuiltPath(REGISTER_PROBE_PATH))},
             {"Bin", "server.exe", ReadBytes(win_test_support::BuiltPath(RECORD_ARGS_PATH))}};
    MakeCabinets();
    const std::string out = temp / "probe.txt";
    SetEnvironmentVariableA("TESSARO_PROBE_OUT", out.c_str());
    auto engine = MakeEngine();
    for (CFileItem* file : engine->project.files) file->registerFile = true;
    RecordingSink install;
    RunFileSteps(*engine, install);
    EXPECT_EQ(ReadBytes(out), Text("register\n"));
    const std::vector<uint8_t> started = ReadBytes(out + ".args");
    EXPECT_NE(std::string(started.begin(), started.end()).find("server.exe -RegServer"), std::string::npos);

    StartMaintenance(*engine, SM_REMOVE);
    RecordingSink removal;
    RunFileSteps(*engine, removal);
    SetEnvironmentVariableA("TESSARO_PROBE_OUT", nullptr);
    EXPECT_EQ(ReadBytes(out), Text("register\nunregister\n"));
    const std::vector<uint8_t> removed = ReadBytes(out + ".args");
    EXPECT_NE(std::string(removed.begin(), removed.end()).find("server.exe -UnregServer"), std::string::npos);
    EXPECT_FALSE(PathExists(At("probe.dll")));  // the library was let go before it was deleted
    EXPECT_FALSE(PathExists(At("Bin\\server.exe")));
}

TEST_F(FileSteps, UnattendedRemovalKeepsAnUnusedSharedFileWithoutAsking) {
    planned = {{"", "lonely.dll", Text("lonely"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true}};
    MakeCabinets();
    SavedValue saved(kSharedDllsKey, At("lonely.dll"));
    auto engine = MakeEngine();
    RecordingSink install;
    RunFileSteps(*engine, install);
    StartMaintenance(*engine, SM_REMOVE);
    engine->project.ui.uiType = kUnattendedSetup;
    RecordingSink removal;
    RunFileSteps(*engine, removal);
    EXPECT_EQ(ReadBytes(At("lonely.dll")), planned[0].content);
    DWORD count = 0;
    EXPECT_FALSE(ReadDword(kSharedDllsKey, At("lonely.dll"), &count));
}

TEST_F(FileSteps, TestModeChangesNothingYetStepsThroughAllBytes) {
    planned = {{"", "a.txt", Text("aaaa")},
             {"Bin", "b.bin", RandomBytes(50000, 8)},
             {"Bin", "shared.dll", Text("shared"), FILE_ATTRIBUTE_ARCHIVE, "Main", 3, false, true}};
    MakeCabinets();
    SavedValue saved(kSharedDllsKey, At("Bin\\shared.dll"));
    auto engine = MakeEngine();
    engine->test = true;
    RecordingSink sink;
    RunFileSteps(*engine, sink);
    EXPECT_FALSE(FolderExists(target));
    DWORD count = 0;
    EXPECT_FALSE(ReadDword(kSharedDllsKey, At("Bin\\shared.dll"), &count));
    const auto* copying = sink.Find("Copying Files...");
    ASSERT_NE(copying, nullptr);
    EXPECT_EQ(copying->range, 50010);
    EXPECT_EQ(copying->position, 50010);
    // The detail line names the cabinet layer's folder and the file's title.
    ASSERT_EQ(copying->details.size(), 3u);
    EXPECT_EQ(copying->details[1], media + "\\b.bin");
    EXPECT_EQ(sink.Find("Making Folders...")->details, std::vector<std::string>({target, At("Bin")}));
}

TEST_F(FileSteps, FolderThatCannotBeMadeEndsTheRunWithTheSystemText) {
    planned = {{"Sub", "a.txt", Text("a")}};
    MakeCabinets();
    WriteBytes(target, Text("a file where the folder should be"));
    auto engine = MakeEngine();
    RecordingSink sink;
    try {
        RunFileSteps(*engine, sink);
        ADD_FAILURE() << "a folder below a file was made";
    } catch (const CTSSException& e) {
        EXPECT_FALSE(e.Message().empty());
    }
    EXPECT_EQ(ReadBytes(target), Text("a file where the folder should be"));
}

TEST_F(FileSteps, FilesOfTheMediaFolderNeedNoDataCabinet) {
    planned = {{"", "setup-helper.dll", Text("on the media")}};
    auto engine = MakeEngine();  // no cabinet was made: the media hold only uncompressed files
    engine->project.files[0]->compressed = false;
    engine->project.ui.uiType = kFullWizard;  // a prompt would wait for a person who never comes
    engine->dataCabinetPath = media + "\\TSData1.cab";
    RecordingSink sink;
    RunFileSteps(*engine, sink);
    ASSERT_NE(sink.Find("Copying Files..."), nullptr);
    EXPECT_EQ(sink.Find("Copying Files...")->range, 12);
    EXPECT_TRUE(FolderExists(target));
}

TEST_F(FileSteps, PathTooLongForTheCabinetLayerEndsTheRunNamingTheFile) {
    const std::string longFolder(180, 'f');
    const std::string longTitle = std::string(40, 't') + ".txt";
    planned = {{"", "first.txt", Text("first")},
             {longFolder, longTitle, Text("long")},
             {"", "last.txt", Text("last")}};
    MakeCabinets();
    auto engine = MakeEngine();
    RecordingSink sink;
    try {
        RunFileSteps(*engine, sink);
        ADD_FAILURE() << "a file that could not be written was passed over in silence";
    } catch (const CTSSException& e) {
        EXPECT_NE(e.Message().find(At(longFolder + "\\" + longTitle)), std::string::npos) << e.Message();
    }
    EXPECT_EQ(ReadBytes(At("first.txt")), planned[0].content);
    EXPECT_EQ(ReadBytes(At("last.txt")), planned[2].content);  // the other files are installed all the same
}

// The folder listing answers as a search for each path would: case ignored, short names found, nothing
// in a folder that is not there; a path added is there from then on.
TEST(FolderEntries, AnswersAsASearchForThePathWould) {
    TempFolder temp;
    WriteBytes(temp / "Readme.TXT", {'r'});
    WriteBytes(temp / "a rather long file name.text", {'l'});
    CreateDirectoryA((temp / "Sub").c_str(), nullptr);
    char shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA((temp / "a rather long file name.text").c_str(), shortName, MAX_PATH), 0u);
    const std::string alias = std::string(shortName).substr(std::string(shortName).find_last_of('\\') + 1);
    ASSERT_NE(alias, "a rather long file name.text");
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {temp / "Readme.TXT", true},
        {temp / "README.txt", true},
        {temp / alias, true},
        {temp / "sub", true},
        {temp / "missing.txt", false},
        {temp / "Readme", false},
        {temp / "Gone\\Readme.TXT", false},
    };
    FolderEntries entries;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(entries.Exists(c.path), c.exists);
        EXPECT_EQ(PathExists(c.path), c.exists);
    }
    // Written by the run after the folder was listed.
    WriteBytes(temp / "later.txt", {'n'});
    entries.Add(temp / "later.txt");
    EXPECT_TRUE(entries.Exists(temp / "LATER.TXT"));
    entries.Add(temp / "Gone\\new.txt");
    EXPECT_TRUE(entries.Exists(temp / "gone\\New.txt"));
}

TEST(MakeFolderPath, CreatesEveryMissingParent) {
    TempFolder temp;
    const std::string deep = temp / "a\\b\\c";
    MakeFolderPath(deep);
    EXPECT_TRUE(FolderExists(deep));
    MakeFolderPath(deep);  // an existing folder is no error
    EXPECT_TRUE(FolderExists(temp / "a\\b"));
}

}  // namespace
