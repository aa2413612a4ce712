#include <zlib.h>

#include <algorithm>
#include <functional>

#include "builder/MediaBuild.h"
#include "cabinet/Cabinet.h"
#include "model/ProjectFile.h"
#include "model/TreeArchive.h"
#include "platform/FindFiles.h"
#include "setup/engine/SingleFileImage.h"
#include "tests/PeBuilder.h"
#include "tests/builder/BuilderTestSupport.h"

using testing_support::BuilderFixture;
using testing_support::Pattern;
using testing_support::ReadBytes;
using Kind = BuildOutput::Kind;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : platform::FindFiles(folder + "\\*")) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The files of a cabinet (and the cabinets that follow it in the disk folders below mediaRoot), extracted
// into a folder; their names in order.
std::vector<std::string> Extract(const std::string& cabinetPath, const std::string& into,
                                 const std::string& mediaRoot = "") {
    platform::CreateFolderPath(into);
    std::vector<std::string> names;
    CCabinet cabinet(cabinetPath);
    cabinet.Open();
    cabinet.Extract(
        [&](int, const std::string&, char* path) {
            names.push_back(path);
            const std::string target = into + "\\" + path;
            std::snprintf(path, CCabinet::kPathBuffer, "%s", target.c_str());
            return 1;
        },
        [](int, int, const platform::FileTime*) { return 2; },
        [&](const char* cabinetName, const char* diskName, char* folder, int) {
            const std::string next = mediaRoot + "\\" + diskName + "\\";
            if (mediaRoot.empty() || !platform::FileExists(next + cabinetName)) {
                return -1;
            }
            std::snprintf(folder, CCabinet::kPathBuffer, "%s", next.c_str());
            return 0;
        });
    cabinet.Close();
    return names;
}

class MediaBuildTest : public BuilderFixture {
protected:
    bool Build() {
        BuildOptions options;
        options.outputFolder = output;
        options.rawSetup = rawSetup;
        options.sign = sign;
        return build.Build(project, lines, options);
    }
    std::string Report() const {
        std::string text;
        for (const auto& line : lines.Lines()) {
            text += CommandLineText(line.kind, line.text) + "\n";
        }
        return text;
    }
    CMediaBuild build;
    std::function<std::string(const std::string&)> sign;
};

TEST_F(MediaBuildTest, CdBuildLayoutDatabaseAndCabinet) {
    const auto appBytes = Pattern(300000, 1);
    main->files.Add(AddFile("app.exe", appBytes, bin));
    CFolder* source = AddRootFolder("Source Folder");
    CFolder* extras = source->AddChild(std::make_unique<CFolder>("Extras"));
    AddFile("notes.txt", {'n'}, extras);
    project.ui.licenseFiles[0] = Source("a.txt", {'a'});
    project.ui.licenseFiles[2] = Source("c.rtf", {'c'});
    project.ui.pageBanner[kWelcomePage] = Source("welcome.bmp", {'B', 'M'});
    project.ui.pageBanner[kFeaturesPage] = Source("features.bmp", {'B', 'M'});
    project.ui.showPage[kFeaturesPage] = 0;
    ASSERT_TRUE(Build()) << Report();
    EXPECT_EQ(lines.Lines().back().text, "Finished 0 Error, 0 Warning.");
    EXPECT_TRUE(build.MediaBuilt());

    const std::string cd1 = output + "\\CD\\CD1";
    EXPECT_EQ(build.MediaFolder(), cd1);
    EXPECT_EQ(Names(output), std::vector<std::string>{"CD"});  // TSFiles.cab went into the database
    EXPECT_EQ(Names(cd1),
              (std::vector<std::string>{"Extras", "Setup.exe", "TSData1.cab", "autorun.inf", "tsdb.dat"}));
    EXPECT_EQ(ReadBytes(cd1 + "\\Extras\\notes.txt"), std::vector<uint8_t>{'n'});
    const auto autorun = ReadBytes(cd1 + "\\autorun.inf");
    EXPECT_EQ(std::string(autorun.begin(), autorun.end()), "[autorun]\r\nopen=Setup.exe\r\n");

    // Setup.exe: the image, then the trailer only.
    const auto image = ReadBytes(rawSetup);
    const auto setup = ReadBytes(cd1 + "\\Setup.exe");
    ASSERT_EQ(setup.size(), image.size() + 8);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), setup.begin()));
    EXPECT_EQ(std::string(setup.end() - 8, setup.end() - 4), std::string("KZV\0", 4));
    EXPECT_EQ(U32At(setup, setup.size() - 4), image.size());

    // The data cabinet gives back the product's files; the Source Folder's are not in it.
    EXPECT_EQ(Extract(cd1 + "\\TSData1.cab", folder / "data"), std::vector<std::string>{"app.exe"});
    EXPECT_EQ(ReadBytes(folder / "data\\app.exe"), appBytes);

    // The database loads as a setup program reads it and carries the support cabinet.
    CProject loaded;
    CTreeArchive ar(kMainClass, kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(cd1 + "\\tsdb.dat"));
    loaded.Serialize(kProjectKey, ar);
    const std::string support = folder / "TSFiles.cab";
    ar.ExchangeFile(support);
    ar.CloseAfterLoad();
    EXPECT_EQ(loaded.productName, "Widget");
    EXPECT_EQ(loaded.files.size(), 2u);
    EXPECT_EQ(Extract(support, folder / "support"),
              (std::vector<std::string>{"License0.txt", "License1.rtf", "Banner0.bmp"}));
    EXPECT_EQ(ReadBytes(folder / "support\\License1.rtf"), std::vector<uint8_t>{'c'});
}

TEST_F(MediaBuildTest, SingleFileSetupCarriesDatabaseAndData) {
    project.mediaType = 2;
    const auto appBytes = Pattern(200000, 2);
    main->files.Add(AddFile("app.exe", appBytes, bin));
    Source("keep.txt", {'k'});
    output = folder.Path();
    ASSERT_TRUE(Build()) << Report();
    EXPECT_EQ(build.MediaFolder(), folder.Path());
    EXPECT_FALSE(platform::FileExists(folder / "tsdb.dat"));
    EXPECT_FALSE(platform::FileExists(folder / "TSData.cab"));
    EXPECT_FALSE(platform::FileExists(folder / "TSFiles.cab"));
    EXPECT_EQ(ReadBytes(folder / "keep.txt"), std::vector<uint8_t>{'k'});

    const auto image = ReadBytes(rawSetup);
    const auto setup = ReadBytes(folder / "Setup.exe");
    const size_t n = image.size();
    ASSERT_GT(setup.size(), n + 16);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), setup.begin()));
    EXPECT_EQ(std::string(setup.end() - 8, setup.end() - 4), std::string("KZV\1", 4));
    EXPECT_EQ(U32At(setup, setup.size() - 4), n);
    EXPECT_EQ(U32At(setup, setup.size() - 12),
              crc32(0L, setup.data() + n, static_cast<uInt>(setup.size() - 12 - n)));
    const uint32_t databaseLength = U32At(setup, n);
    ASSERT_LT(n + 4 + databaseLength, setup.size() - 12);
    // The payload splits back into a database and a cabinet that give back the files.
    testing_support::WriteBytes(folder / "db.dat",
                                {setup.begin() + n + 4, setup.begin() + n + 4 + databaseLength});
    testing_support::WriteBytes(folder / "data.cab",
                                {setup.begin() + n + 4 + databaseLength, setup.end() - 12});
    CProject loaded;
    CTreeArchive ar(kMainClass, kSetupProgram);
    ASSERT_TRUE(ar.OpenForLoad(folder / "db.dat"));
    loaded.Serialize(kProjectKey, ar);
    ar.CloseAfterLoad();
    EXPECT_EQ(loaded.productVersion, "1.0");
    EXPECT_EQ(Extract(folder / "data.cab", folder / "x"), std::vector<std::string>{"app.exe"});
    EXPECT_EQ(ReadBytes(folder / "x\\app.exe"), appBytes);
}

TEST_F(MediaBuildTest, FloppyFirstDiskLimitAndThreeDiskSet) {
    project.mediaType = 1;
    project.makeAutorun = true;
    main->files.Add(AddFile("big.bin", Pattern(3300000, 3), bin));
    ASSERT_TRUE(Build()) << Report();
    const std::string floppy = output + "\\Floppy";
    EXPECT_EQ(Names(floppy), (std::vector<std::string>{"Disk01", "Disk02", "Disk03"}));
    EXPECT_EQ(Names(floppy + "\\Disk01"), (std::vector<std::string>{"Setup.exe", "TSData1.cab", "tsdb.dat"}));
    EXPECT_EQ(Names(floppy + "\\Disk03"), std::vector<std::string>{"TSData3.cab"});
    EXPECT_EQ(Extract(floppy + "\\Disk01\\TSData1.cab", folder / "x", floppy),
              std::vector<std::string>{"big.bin"});
    EXPECT_EQ(ReadBytes(folder / "x\\big.bin"), Pattern(3300000, 3));

    // The first disk holds the image, the database and the reserve, and 32768 bytes more.
    const int64_t counted = build.FirstDiskBytes();
    EXPECT_EQ(counted, int64_t(ReadBytes(rawSetup).size() + ReadBytes(floppy + "\\Disk01\\tsdb.dat").size()));
    project.reservedSpace = static_cast<int32_t>(1407233 - counted);
    EXPECT_FALSE(Build());
    EXPECT_TRUE(
        lines.Has(Kind::kError, "Not enough space on first disk. Minimum required space:1440001 bytes."))
        << Report();
    EXPECT_FALSE(platform::FileExists(output + "\\TSFiles.cab"));
    project.reservedSpace -= 1;
    EXPECT_TRUE(Build()) << Report();
    EXPECT_EQ(build.FirstDiskBytes(), 1407232);
}

TEST_F(MediaBuildTest, CustomSizeWithoutLimitMakesOneCabinetOnTheFirstDisk) {
    project.mediaType = 3;
    project.mediaSize = 0;
    main->files.Add(AddFile("app.exe", Pattern(1000, 4), bin));
    ASSERT_TRUE(Build()) << Report();
    EXPECT_EQ(Names(output + "\\Custom"), std::vector<std::string>{"Disk1"});
    EXPECT_EQ(Names(output + "\\Custom\\Disk1"),
              (std::vector<std::string>{"Setup.exe", "TSData1.cab", "autorun.inf", "tsdb.dat"}));
}

TEST_F(MediaBuildTest, RebuildReplacesTheCdTreeAndKeepsOtherContent) {
    main->files.Add(AddFile("app.exe", {1}, bin));
    ASSERT_TRUE(Build()) << Report();
    platform::CreateFolder(output + "\\CD\\CD2");
    testing_support::WriteBytes(output + "\\CD\\CD2\\TSData2.cab", {1});  // left by a bigger build
    testing_support::WriteBytes(output + "\\mine.txt", {2});
    ASSERT_TRUE(Build()) << Report();
    EXPECT_FALSE(platform::FolderExists(output + "\\CD\\CD2"));
    EXPECT_TRUE(platform::FileExists(output + "\\mine.txt"));
}

TEST_F(MediaBuildTest, FailedCheckWritesNothing) {
    main->files.Add(AddFile("app.exe", {1}, bin));
    project.productName.clear();
    EXPECT_FALSE(Build());
    EXPECT_FALSE(build.MediaBuilt());
    EXPECT_FALSE(platform::FolderExists(output));
    EXPECT_EQ(lines.Lines().back().text, "Finished 1 Error, 0 Warning.");
}

TEST_F(MediaBuildTest, MissingRawSetupIsOneError) {
    main->files.Add(AddFile("app.exe", {1}, bin));
    rawSetup = folder / "nowhere\\TSS.dat";
    EXPECT_FALSE(Build());
    EXPECT_EQ(lines.Texts(Kind::kError),
              std::vector<std::string>{"Cannot find the file \"" + rawSetup + "\"!"});
    EXPECT_EQ(lines.Lines().back().text, "Finished 1 Error, 0 Warning.");
    rawSetup.clear();
    EXPECT_FALSE(Build());
    EXPECT_EQ(lines.Texts(Kind::kError), std::vector<std::string>{"Cannot find the \"Raw Setup\" file!"});
}

TEST_F(MediaBuildTest, BadOutputFolderAndVanishedSourceAreReported) {
    CFileItem* file = AddFile("app.exe", {1}, bin);
    main->files.Add(file);
    // An output folder below a file cannot be made; the file stays as it was.
    testing_support::WriteBytes(folder / "plain", {9});
    output = folder / "plain\\out";
    EXPECT_FALSE(Build());
    EXPECT_EQ(lines.Texts(Kind::kError),
              std::vector<std::string>{"Cannot create the folder \"" + output + "\"!"});
    EXPECT_EQ(ReadBytes(folder / "plain"), std::vector<uint8_t>{9});

    // Generated items are gone after every build, failed or not.
    CFolder* dynamic = AddRootFolder("Dynamic");
    dynamic->isDynamic = true;
    dynamic->dynamicPath = folder / "dyn";
    platform::CreateFolder(folder / "dyn");
    testing_support::WriteBytes(folder / "dyn\\one.txt", {1});
    main->folders.Add(dynamic);
    const size_t before = project.files.size();
    output = folder / "out2";
    EXPECT_TRUE(Build()) << Report();
    EXPECT_TRUE(lines.Has(Kind::kInformation, "Compressing \"" + (folder / "dyn\\one.txt") + "\"..."));
    EXPECT_EQ(project.files.size(), before);
}

}  // namespace

namespace {

TEST_F(MediaBuildTest, ProjectsWithoutSupportOrDataFiles) {
    // The engine makes no cabinet without files: such a build embeds no support cabinet and writes no data
    // cabinet, and a single-file payload ends with the database.
    project.ui.showPage[kLicensePage] = 0;
    CFolder* source = AddRootFolder("Source Folder");
    AddFile("readme.txt", {'r'}, source);
    for (int32_t type : {0, 2}) {
        project.mediaType = type;
        output = folder / ("out" + std::to_string(type));
        ASSERT_TRUE(Build()) << Report();
    }
    EXPECT_EQ(Names(folder / "out0\\CD\\CD1"),
              (std::vector<std::string>{"Setup.exe", "autorun.inf", "readme.txt", "tsdb.dat"}));
    const auto setup = ReadBytes(folder / "out2\\Setup.exe");
    const size_t n = ReadBytes(rawSetup).size();
    EXPECT_EQ(n + 4 + U32At(setup, n) + 12, setup.size());
}

// What signing does to a PE file, as a stand-in for osslsigncode: zero bytes up to a multiple of 8, then
// a certificate table that the security entry names, and a new checksum.
std::string FakeSign(const std::string& path, int* calls) {
    ++*calls;
    auto bytes = ReadBytes(path);
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    const uint32_t table = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), 24, static_cast<uint8_t>(0xA0 + *calls));
    const size_t optional = testing_support::kPeHeaderOffset + 24;
    testing_support::Put32(bytes, optional + 64, 0xC0DE0000u + static_cast<uint32_t>(*calls));
    testing_support::Put32(bytes, optional + 108 + 4 + 32, table);
    testing_support::Put32(bytes, optional + 108 + 4 + 36, 24);
    testing_support::WriteBytes(path, bytes);
    return std::string();
}

TEST_F(MediaBuildTest, SignedMediaUnpackToTheProgramAsItWasSigned) {
    testing_support::PeLayout layout;
    layout.pe32Plus = true;
    const auto pe = testing_support::BuildPe(layout);
    rawSetup = Source("TSS.dat", pe);
    const auto appBytes = Pattern(30000, 5);
    main->files.Add(AddFile("app.exe", appBytes, bin));
    int calls = 0;
    std::vector<std::string> signedPaths;
    sign = [&](const std::string& path) {
        signedPaths.push_back(platform::FileTitle(path));
        return FakeSign(path, &calls);
    };
    project.mediaType = 0;
    output = folder / "cd";
    ASSERT_TRUE(Build()) << Report();
    const auto cd = ReadBytes(folder / "cd\\CD\\CD1\\Setup.exe");
    EXPECT_EQ(U32At(cd, testing_support::kPeHeaderOffset + 24 + 64), 0xC0DE0001u);
    project.mediaType = 2;
    output = folder / "single";
    ASSERT_TRUE(Build()) << Report();
    // The program alone first (the maintenance copy), then the whole image.
    EXPECT_EQ(signedPaths, (std::vector<std::string>{"Setup.exe", "TSSetup.exe", "Setup.exe"}));
    const std::string copy = folder / "setup.img";
    testing_support::WriteBytes(copy, ReadBytes(folder / "single\\Setup.exe"));
    platform::CreateFolder(folder / "temp");
    ImageContents contents;
    ASSERT_TRUE(UnpackSingleFileImage(copy, "C:\\Media", folder / "temp", &contents));
    // The unpacked program is the program signed on its own: its own checksum, entry and table.
    auto alone = pe;
    alone.insert(alone.end(), {'K', 'Z', 'V', 0});
    const uint32_t n = static_cast<uint32_t>(pe.size());
    alone.insert(alone.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0, 0});
    testing_support::WriteBytes(folder / "alone.exe", alone);
    int aloneCalls = 1;
    FakeSign(folder / "alone.exe", &aloneCalls);
    EXPECT_EQ(ReadBytes(contents.setupProgramPath), ReadBytes(folder / "alone.exe"));
    EXPECT_EQ(Extract(contents.dataCabinetPath, folder / "x"), std::vector<std::string>{"app.exe"});
    EXPECT_EQ(ReadBytes(folder / "x\\app.exe"), appBytes);

    // A signer that fails fails the build, which leaves the previous media as they were.
    const auto before = ReadBytes(folder / "single\\Setup.exe");
    sign = [](const std::string&) { return std::string("osslsigncode could not sign it"); };
    EXPECT_FALSE(Build());
    EXPECT_NE(Report().find("error: osslsigncode could not sign it"), std::string::npos) << Report();
    EXPECT_EQ(ReadBytes(folder / "single\\Setup.exe"), before);
}

}  // namespace
