// A build replaces only its own media and only when it succeeds; what it needs is checked before anything
// is written; lists far longer than two thousand entries are built whole.
#include <map>

#include "builder/MediaBuild.h"
#include "builder/MediaPlacement.h"
#include "cabinet/Cabinet.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/FindFiles.h"
#include "tests/builder/BuilderTestSupport.h"

using testing_support::BuilderFixture;
using testing_support::Pattern;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Kind = BuildOutput::Kind;

namespace {

// Every file below a folder with its bytes, and every folder (with an empty marker), by relative path.
std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> tree;
    for (const auto& file : platform::FilesBelow(folder)) {
        tree[file.relativeName] = ReadBytes(file.path);
    }
    std::vector<std::string> pending{""};
    while (!pending.empty()) {
        const std::string below = pending.back();
        pending.pop_back();
        for (const auto& entry :
             platform::FindFiles((below.empty() ? folder : folder + "\\" + below) + "\\*")) {
            if (entry.isFolder) {
                const std::string name = below.empty() ? entry.name : below + "\\" + entry.name;
                tree[name + "\\"] = {};
                pending.push_back(name);
            }
        }
    }
    return tree;
}

// The names of the files a cabinet lists (nothing is extracted).
std::vector<std::string> CabinetNames(const std::string& path) {
    std::vector<std::string> names;
    CCabinet cabinet(path);
    cabinet.Open();
    cabinet.Extract(
        [&](int, const std::string&, char* name) {
            names.push_back(name);
            return 0;
        },
        [](int, int, const platform::FileTime*) { return 1; },
        [](const char*, const char*, char*, int) { return -1; });
    cabinet.Close();
    return names;
}

class MediaPlacementTest : public BuilderFixture {
protected:
    bool Build(const std::string& outputFolder) {
        BuildOptions options;
        options.outputFolder = outputFolder;
        options.rawSetup = rawSetup;
        return build.Build(project, lines, options);
    }
    bool Build() { return Build(output); }
    std::string Report() const {
        std::string text;
        for (const auto& line : lines.Lines()) {
            text += CommandLineText(line.kind, line.text) + "\n";
        }
        return text;
    }
    bool Reported(const std::string& start) const {
        for (const auto& line : lines.Lines()) {
            if (line.text.rfind(start, 0) == 0) {
                return true;
            }
        }
        return false;
    }
    CMediaBuild build;
};

TEST(MediaFileNamesTest, OwnFilesAndDiskFolders) {
    for (const char* own : {"Setup.exe", "SETUP.EXE", "tsdb.dat", "autorun.inf", "CDIcon.ico", "TSData1.cab",
                            "TSData.cab", "tsdata12.CAB"}) {
        EXPECT_TRUE(IsMediaFileName(own)) << own;
    }
    for (const char* other : {"Setup.exe.bak", "readme.txt", "TSFiles.dat", "data.cab", "mine.txt"}) {
        EXPECT_FALSE(IsMediaFileName(other)) << other;
    }
    struct Case {
        const char* pattern;
        const char* name;
        bool disk;
    } cases[] = {
        {"CD%d", "CD1", true},       {"CD%d", "cd12", true},        {"CD%d", "CD", false},
        {"CD%d", "CDx", false},      {"CD%d", "CD1a", false},       {"Disk%02d", "Disk01", true},
        {"Disk%02d", "Disk7", true}, {"Disk%d", "Disks", false},    {"Disk%d", "Extras", false},
        {"", "CD1", false},          {"Disk%d-x", "Disk3-x", true}, {"Disk%d-x", "Disk3", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDiskFolderName(c.pattern, c.name), c.disk) << c.pattern << " " << c.name;
    }
}

TEST_F(MediaPlacementTest, DynamicFolderOfMoreThanTwoThousandFilesIsBuiltWhole) {
    constexpr int kCount = 2100;
    const std::string source = folder / "many";
    ASSERT_TRUE(platform::CreateFolder(source));
    for (int i = 0; i < kCount; ++i) {
        WriteBytes(source + "\\f" + std::to_string(i) + ".txt", {static_cast<uint8_t>(i)});
    }
    CFolder* dynamic = bin->AddChild(std::make_unique<CFolder>("Many"));
    dynamic->isDynamic = true;
    dynamic->dynamicPath = source;
    ASSERT_TRUE(Build()) << Report();
    EXPECT_EQ(lines.Lines().back().text, "Finished 0 Error, 0 Warning.");

    const std::string cd1 = output + "\\CD\\CD1";
    CProject loaded;
    CTreeArchive ar(kMainClass, kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(cd1 + "\\tsdb.dat"));
    loaded.Serialize(kProjectKey, ar);
    ar.CloseAfterLoad();
    ASSERT_EQ(loaded.files.size(), size_t(kCount));
    EXPECT_EQ(loaded.files[kCount - 1]->folder->name, "Many");
    const std::vector<std::string> inCabinet = CabinetNames(cd1 + "\\TSData1.cab");
    ASSERT_EQ(inCabinet.size(), size_t(kCount));
    EXPECT_EQ(project.files.size(), 0u) << "the generated files are gone after the build";
}

TEST_F(MediaPlacementTest, EmptyDestinationIsAnErrorOfItsOwnBeforeAnythingIsBuilt) {
    main->files.Add(AddFile("app.exe", {1}, bin));
    for (const char* destination : {"", "   "}) {
        project.destination = destination;
        EXPECT_FALSE(Build("")) << destination;
        EXPECT_EQ(lines.Texts(Kind::kError),
                  std::vector<std::string>{"No Destination Directory has been defined!"});
        EXPECT_FALSE(Reported("Making")) << Report();
        EXPECT_FALSE(CMediaBuild::Check(project, lines));
        EXPECT_TRUE(lines.Has(Kind::kError, "No Destination Directory has been defined!"));
    }
    // An output folder given for the build (the command line's --out) is the destination.
    EXPECT_TRUE(CMediaBuild::Check(project, lines, output)) << Report();
    EXPECT_TRUE(Build(output)) << Report();
    EXPECT_TRUE(platform::FileExists(output + "\\CD\\CD1\\Setup.exe"));
}

TEST_F(MediaPlacementTest, MissingOrUnreadableRawSetupIsFoundBeforeAnythingIsWritten) {
    main->files.Add(AddFile("app.exe", Pattern(5000, 7), bin));
    ASSERT_TRUE(Build()) << Report();
    const auto before = Snapshot(output);
    const std::string image = rawSetup;

    rawSetup = folder / "nowhere.dat";
    EXPECT_FALSE(Build());
    EXPECT_EQ(lines.Texts(Kind::kError),
              std::vector<std::string>{"Cannot find the file \"" + rawSetup + "\"!"});
    EXPECT_FALSE(Reported("Making internal data")) << Report();
    EXPECT_FALSE(Reported("Compressing")) << Report();
    EXPECT_EQ(Snapshot(output), before);

    rawSetup = folder.Path();  // a folder: there, but no image to read
    EXPECT_FALSE(Build());
    EXPECT_EQ(lines.Texts(Kind::kError),
              std::vector<std::string>{"Cannot read the file \"" + rawSetup + "\"!"});
    EXPECT_EQ(Snapshot(output), before);

    // A build into a folder that does not exist yet leaves no folder behind.
    EXPECT_FALSE(Build(folder / "new\\media"));
    EXPECT_FALSE(platform::FolderExists(folder / "new"));
    rawSetup = image;
}

TEST_F(MediaPlacementTest, AFailedBuildLeavesThePreviousMediaAsTheyWere) {
    project.mediaType = 1;
    main->files.Add(AddFile("big.bin", Pattern(2000000, 3), bin));
    ASSERT_TRUE(Build()) << Report();
    const auto before = Snapshot(output);
    ASSERT_TRUE(before.count("Floppy\\Disk02\\TSData2.cab"));

    // The first disk is found too small only after the database is written.
    project.reservedSpace = 1430000;
    EXPECT_FALSE(Build());
    EXPECT_TRUE(Reported("Not enough space on first disk.")) << Report();
    EXPECT_TRUE(Reported("Making Setup Database...")) << Report();
    EXPECT_EQ(Snapshot(output), before);

    // The same failure into a new folder takes the folders it made away again.
    EXPECT_FALSE(Build(folder / "fresh\\out"));
    EXPECT_FALSE(platform::FolderExists(folder / "fresh"));

    // A failure while the new media are moved in puts every file back: here a folder of the user's stands
    // where a copy of the Source Folder belongs.
    project.reservedSpace = 0;
    project.mediaType = 0;
    ASSERT_TRUE(Build()) << Report();
    CFolder* sourceFolder = AddRootFolder("Source Folder");
    AddFile("readme.txt", {'r'}, sourceFolder);
    ASSERT_TRUE(platform::CreateFolder(output + "\\CD\\CD1\\readme.txt"));
    const auto cd = Snapshot(output);
    main->files.Add(AddFile("more.bin", Pattern(1000, 4), bin));
    EXPECT_FALSE(Build());
    EXPECT_TRUE(lines.Has(Kind::kError, "Cannot replace the file \"" + output + "\\CD\\CD1\\readme.txt\"!"))
        << Report();
    EXPECT_EQ(Snapshot(output), cd);

    // Single-file media: a failed build keeps the previous Setup.exe.
    platform::RemoveTree(output + "\\CD\\CD1\\readme.txt");
    project.mediaType = 2;
    ASSERT_TRUE(Build()) << Report();
    const auto single = Snapshot(output);
    rawSetup = folder / "gone.dat";
    EXPECT_FALSE(Build());
    EXPECT_EQ(Snapshot(output), single);
}

TEST_F(MediaPlacementTest, ARebuildRemovesOnlyTheMediasOwnFiles) {
    CFolder* sourceFolder = AddRootFolder("Source Folder");
    AddFile("readme.txt", {'1'}, sourceFolder);
    main->files.Add(AddFile("app.exe", Pattern(3000, 5), bin));
    ASSERT_TRUE(Build()) << Report();
    const std::string cd = output + "\\CD";
    // The user's own files beside and inside the media, and what an earlier, bigger build left.
    WriteBytes(output + "\\mine.txt", {'m'});
    WriteBytes(cd + "\\CD1\\mine.txt", {'m'});
    ASSERT_TRUE(platform::CreateFolder(cd + "\\CD1\\Docs"));
    WriteBytes(cd + "\\CD1\\Docs\\guide.txt", {'g'});
    ASSERT_TRUE(platform::CreateFolder(cd + "\\Artwork"));
    WriteBytes(cd + "\\Artwork\\label.bmp", {'b'});
    for (const char* disk : {"CD2", "CD3"}) {
        ASSERT_TRUE(platform::CreateFolder(cd + "\\" + disk));
        WriteBytes(cd + "\\" + disk + "\\TSData" + std::string(disk + 2) + ".cab", {'c'});
    }
    WriteBytes(cd + "\\CD3\\keep.txt", {'k'});
    WriteBytes(project.files[0]->sourcePath, {'2'});

    ASSERT_TRUE(Build()) << Report();
    EXPECT_EQ(ReadBytes(output + "\\mine.txt"), std::vector<uint8_t>{'m'});
    EXPECT_EQ(ReadBytes(cd + "\\CD1\\mine.txt"), std::vector<uint8_t>{'m'});
    EXPECT_EQ(ReadBytes(cd + "\\CD1\\Docs\\guide.txt"), std::vector<uint8_t>{'g'});
    EXPECT_EQ(ReadBytes(cd + "\\Artwork\\label.bmp"), std::vector<uint8_t>{'b'});
    EXPECT_EQ(ReadBytes(cd + "\\CD1\\readme.txt"), std::vector<uint8_t>{'2'}) << "the copy is renewed";
    EXPECT_FALSE(platform::FolderExists(cd + "\\CD2")) << "a disk folder with only media files goes";
    EXPECT_EQ(ReadBytes(cd + "\\CD3\\keep.txt"), std::vector<uint8_t>{'k'});
    EXPECT_FALSE(platform::FileExists(cd + "\\CD3\\TSData3.cab"));
    EXPECT_FALSE(platform::FolderExists(output + "\\~Tessaro.build"));
    EXPECT_FALSE(platform::FolderExists(output + "\\~Tessaro.previous"));
    EXPECT_TRUE(platform::FileExists(cd + "\\CD1\\TSData1.cab"));
}

}  // namespace
