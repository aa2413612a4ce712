#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/engine/SingleFileImage.h"
#include "tests/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

Bytes Image(const Bytes& program, const Bytes* database, const Bytes* cabinet) {
    Bytes image = program;
    if (database != nullptr) {
        PutU32(image, static_cast<uint32_t>(database->size()));
        image.insert(image.end(), database->begin(), database->end());
        image.insert(image.end(), cabinet->begin(), cabinet->end());
    }
    image.insert(image.end(), {'K', 'Z', 'V', 0});
    PutU32(image, static_cast<uint32_t>(program.size()));
    return image;
}

void Write(const std::string& path, const Bytes& bytes) {
    platform::File file;
    ASSERT_TRUE(file.Open(path, platform::File::Mode::Replace));
    file.Write(bytes.data(), bytes.size());
    file.Close();
}

class SingleFileImage : public ::testing::Test {
protected:
    testing_support::TempFolder temp;
    const Bytes program{'M', 'Z', 1, 2, 3, 4, 5};
    const Bytes database{'T', 'S', 'D', 'B', 9};
    const Bytes cabinet{'M', 'S', 'C', 'F', 0, 0, 7, 7};
    std::string copy() { return temp / "setup.img"; }
};

TEST_F(SingleFileImage, PayloadIsUnpacked) {
    Write(copy(), Image(program, &database, &cabinet));
    ImageContents contents;
    ASSERT_TRUE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_EQ(contents.databasePath, temp / "TSdb.dat");
    EXPECT_EQ(contents.dataCabinetPath, temp / "TSData.cab");
    EXPECT_EQ(contents.setupProgramPath, temp / "TSSetup.exe");
    EXPECT_EQ(testing_support::ReadBytes(contents.databasePath), database);
    EXPECT_EQ(testing_support::ReadBytes(contents.dataCabinetPath), cabinet);
    // The unpacked program is itself an image without payload.
    EXPECT_EQ(testing_support::ReadBytes(contents.setupProgramPath), Image(program, nullptr, nullptr));
    EXPECT_FALSE(platform::FileExists(copy()));
}

TEST_F(SingleFileImage, ProgramWithoutPayloadNamesMediaFiles) {
    Write(copy(), Image(program, nullptr, nullptr));
    ImageContents contents;
    ASSERT_TRUE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_EQ(contents.databasePath, "C:\\Media\\tsdb.dat");
    EXPECT_EQ(contents.dataCabinetPath, "C:\\Media\\TSData1.cab");
    EXPECT_EQ(contents.setupProgramPath, "");
    EXPECT_FALSE(platform::FileExists(copy()));
}

TEST_F(SingleFileImage, FileWithoutTagStays) {
    Bytes plain = program;
    plain.insert(plain.end(), {'K', 'Z', 'X', 0, 7, 0, 0, 0});
    Write(copy(), plain);
    ImageContents contents;
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_TRUE(platform::FileExists(copy()));
    Write(copy(), Bytes{'K', 'Z', 'V'});  // shorter than a trailer
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_FALSE(UnpackSingleFileImage(temp / "missing.img", "C:\\Media", temp.Path(), &contents));
}

TEST_F(SingleFileImage, HostileLengthsAreRefused) {
    ImageContents contents;
    // Program length beyond the file.
    Bytes big = Image(program, &database, &cabinet);
    big[big.size() - 1] = 0x7F;
    Write(copy(), big);
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    // Database length running into the trailer.
    Bytes longDb = Image(program, &database, &cabinet);
    longDb[program.size()] = 0xF0;
    longDb[program.size() + 3] = 0xFF;
    Write(copy(), longDb);
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    // A database length one byte past the trailer.
    Bytes past = Image(program, &database, &cabinet);
    past[program.size()] = static_cast<uint8_t>(database.size() + cabinet.size() + 1);
    Write(copy(), past);
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    // Program length that leaves no room for the database length.
    Bytes cut = program;
    cut.insert(cut.end(), {1, 2});
    cut.insert(cut.end(), {'K', 'Z', 'V', 0});
    PutU32(cut, static_cast<uint32_t>(program.size()));
    Write(copy(), cut);
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_FALSE(platform::FileExists(temp / "TSdb.dat"));
}

TEST_F(SingleFileImage, PayloadEndingWithTheDatabaseHasNoCabinet) {
    // Media whose files all lie in the Source Folder, or that carry only registry data.
    const Bytes noCabinet;
    Write(copy(), Image(program, &database, &noCabinet));
    ImageContents contents;
    ASSERT_TRUE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_EQ(contents.databasePath, temp / "TSdb.dat");
    EXPECT_EQ(testing_support::ReadBytes(contents.databasePath), database);
    EXPECT_EQ(contents.setupProgramPath, temp / "TSSetup.exe");
    EXPECT_EQ(contents.dataCabinetPath, temp / "TSData.cab");
    EXPECT_FALSE(platform::FileExists(contents.dataCabinetPath));  // nothing to extract from
    EXPECT_FALSE(platform::FileExists(copy()));
    std::string path;
    EXPECT_FALSE(ExtractImageCabinet(temp / "TSSetup.exe", temp.Path(), &path));
    Write(temp / "Setup.exe", Image(program, &database, &noCabinet));
    EXPECT_FALSE(ExtractImageCabinet(temp / "Setup.exe", temp.Path(), &path));
}

TEST_F(SingleFileImage, CabinetTakenAgainFromImage) {
    const std::string image = temp / "Setup.exe";
    Write(image, Image(program, &database, &cabinet));
    std::string path;
    ASSERT_TRUE(ExtractImageCabinet(image, temp.Path(), &path));
    EXPECT_EQ(testing_support::ReadBytes(path), cabinet);
    Write(image, Image(program, nullptr, nullptr));
    EXPECT_FALSE(ExtractImageCabinet(image, temp.Path(), &path));
}

}  // namespace
