#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "setup/engine/Crc32.h"
#include "setup/engine/SingleFileImage.h"
#include "tests/PeBuilder.h"
#include "tests/TestSupport.h"

namespace {

// The payload's checksum is zlib's CRC-32 (the build writes it with zlib): every length and alignment
// around the four-byte steps, and a long buffer taken in uneven pieces, agree with zlib.
TEST(PayloadChecksum, AgreesWithZlibForEveryLengthAlignmentAndSplit) {
    std::vector<uint8_t> data(100003);
    uint32_t seed = 12345;
    for (uint8_t& byte : data) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    for (size_t offset = 0; offset < 4; ++offset) {
        for (size_t length = 0; length < 12; ++length) {
            EXPECT_EQ(Crc32(0, data.data() + offset, length),
                      crc32(0L, data.data() + offset, static_cast<uInt>(length)))
                << "offset " << offset << ", length " << length;
        }
    }
    uint32_t pieces = 0;
    for (size_t at = 0, piece = 1; at < data.size(); at += piece, piece = piece * 3 + 1) {
        piece = std::min(piece, data.size() - at);
        pieces = Crc32(pieces, data.data() + at, piece);
    }
    EXPECT_EQ(pieces, crc32(0L, data.data(), static_cast<uInt>(data.size())));
}

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

// Media as the build writes them today: the payload followed by its CRC-32 and the checked tag.
Bytes CheckedImage(const Bytes& program, const Bytes& database, const Bytes& cabinet) {
    Bytes image = program;
    PutU32(image, static_cast<uint32_t>(database.size()));
    image.insert(image.end(), database.begin(), database.end());
    image.insert(image.end(), cabinet.begin(), cabinet.end());
    const uLong crc =
        crc32(0L, image.data() + program.size(), static_cast<uInt>(image.size() - program.size()));
    PutU32(image, static_cast<uint32_t>(crc));
    image.insert(image.end(), {'K', 'Z', 'V', 1});
    PutU32(image, static_cast<uint32_t>(program.size()));
    return image;
}

// What Authenticode signing does to a PE file: zero bytes up to a multiple of 8, then the certificate
// table, which the security directory names.
Bytes Signed(Bytes image, bool pe32Plus) {
    image.resize((image.size() + 7) / 8 * 8, 0);
    const size_t table = image.size();
    const Bytes certificate{0x30, 0x82, 0x01, 0x02, 0x00, 0x02, 0x02, 0x00, 'c', 'e', 'r', 't', 0, 0, 0, 0};
    image.insert(image.end(), certificate.begin(), certificate.end());
    const size_t entry = testing_support::kPeHeaderOffset + 24 + (pe32Plus ? 108 : 92) + 4 + 4 * 8;
    testing_support::Put32(image, entry, static_cast<uint32_t>(table));
    testing_support::Put32(image, entry + 4, static_cast<uint32_t>(certificate.size()));
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

TEST_F(SingleFileImage, CheckedPayloadIsUnpackedAlsoWhenSigned) {
    for (const bool pe32Plus : {false, true}) {
        for (const bool sign : {false, true}) {
            // Programs of every length, so that signing pads the image with 0 to 7 zero bytes.
            for (size_t extra = 0; extra < 8; ++extra) {
                SCOPED_TRACE(testing::Message()
                             << "pe32+ " << pe32Plus << " signed " << sign << " +" << extra);
                testing_support::PeLayout layout;
                layout.pe32Plus = pe32Plus;
                Bytes pe = testing_support::BuildPe(layout);
                pe.resize(pe.size() + extra, 0xCC);
                const Bytes checked = CheckedImage(pe, database, cabinet);
                const Bytes image = sign ? Signed(checked, pe32Plus) : checked;
                Write(temp / "Setup.exe", image);
                std::string path;
                ASSERT_TRUE(ExtractImageCabinet(temp / "Setup.exe", temp.Path(), &path));
                EXPECT_EQ(testing_support::ReadBytes(path), cabinet);
                Write(copy(), image);
                ImageContents contents;
                ASSERT_TRUE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
                EXPECT_FALSE(contents.damaged);
                EXPECT_EQ(testing_support::ReadBytes(contents.databasePath), database);
                EXPECT_EQ(testing_support::ReadBytes(contents.dataCabinetPath), cabinet);
                EXPECT_EQ(testing_support::ReadBytes(contents.setupProgramPath), Image(pe, nullptr, nullptr));
            }
        }
    }
}

TEST_F(SingleFileImage, EveryDamagedPayloadByteIsFoundBeforeAnythingIsWritten) {
    testing_support::PeLayout layout;
    layout.pe32Plus = true;
    const Bytes pe = testing_support::BuildPe(layout);
    for (const bool sign : {false, true}) {
        const Bytes sound = CheckedImage(pe, database, cabinet);
        const Bytes whole = sign ? Signed(sound, true) : sound;
        // Every byte of the database length, database, cabinet and checksum.
        for (size_t at = pe.size(); at < sound.size() - 8; ++at) {
            SCOPED_TRACE(testing::Message() << "signed " << sign << " byte " << at);
            Bytes damaged = whole;
            damaged[at] ^= 0x01;
            Write(copy(), damaged);
            ImageContents contents;
            EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
            EXPECT_TRUE(contents.damaged);
            EXPECT_FALSE(platform::FileExists(temp / "TSdb.dat"));
            EXPECT_FALSE(platform::FileExists(temp / "TSSetup.exe"));
            EXPECT_TRUE(platform::FileExists(copy()));
            Write(temp / "Setup.exe", damaged);
            std::string path;
            EXPECT_FALSE(ExtractImageCabinet(temp / "Setup.exe", temp.Path(), &path));
            EXPECT_FALSE(platform::FileExists(temp / "TSData.cab"));
        }
    }
}

TEST_F(SingleFileImage, CheckedTrailerWithLengthsThatDoNotFitIsDamaged) {
    Bytes beyond = CheckedImage(program, database, cabinet);
    beyond[program.size()] = 0x7F;  // database length past the checksum
    Bytes tooShort = program;
    tooShort.insert(tooShort.end(), {1, 2, 3, 'K', 'Z', 'V', 1});
    PutU32(tooShort, static_cast<uint32_t>(program.size()));  // no room for a length and a checksum
    for (const Bytes& image : {beyond, tooShort}) {
        Write(copy(), image);
        ImageContents contents;
        EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
        EXPECT_TRUE(contents.damaged);
        EXPECT_FALSE(platform::FileExists(temp / "TSdb.dat"));
    }
}

TEST_F(SingleFileImage, SecurityDirectoryThatDoesNotEndTheFileIsIgnored) {
    const Bytes pe = testing_support::BuildPe(testing_support::PeLayout{});
    Bytes image = Signed(CheckedImage(pe, database, cabinet), false);
    image.push_back(0);  // the table no longer ends the file: no trailer to be found
    Write(copy(), image);
    ImageContents contents;
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_FALSE(contents.damaged);
    // A table not preceded by zero bytes alone: the byte before the trailer's end is not padding.
    Bytes unpadded = CheckedImage(pe, database, cabinet);
    unpadded.push_back(0x55);
    Write(copy(), Signed(unpadded, false));
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_FALSE(contents.damaged);
}

TEST_F(SingleFileImage, ProgramSignedOnItsOwnIsUnpackedAsItWasSigned) {
    testing_support::PeLayout layout;
    layout.pe32Plus = true;
    const Bytes pe = testing_support::BuildPe(layout);
    const size_t checksumAt = testing_support::kPeHeaderOffset + 24 + 64;
    const size_t entry = testing_support::kPeHeaderOffset + 24 + 108 + 4 + 4 * 8;
    Bytes signedProgram = Signed(Image(pe, nullptr, nullptr), true);
    testing_support::Put32(signedProgram, checksumAt, 0x12345678);
    // The program inside the image: its checksum and entry cleared, kept after the cabinet.
    Bytes image = signedProgram;
    testing_support::Put32(image, checksumAt, 0);
    testing_support::Put32(image, entry, 0);
    testing_support::Put32(image, entry + 4, 0);
    PutU32(image, static_cast<uint32_t>(database.size()));
    image.insert(image.end(), database.begin(), database.end());
    image.insert(image.end(), cabinet.begin(), cabinet.end());
    PutU32(image, 0x12345678);
    for (size_t i = 0; i < 2; ++i) {
        PutU32(image,
               static_cast<uint32_t>(signedProgram[entry + 4 * i] | signedProgram[entry + 4 * i + 1] << 8 |
                                     signedProgram[entry + 4 * i + 2] << 16));
    }
    const size_t n = signedProgram.size();
    PutU32(image, static_cast<uint32_t>(crc32(0L, image.data() + n, static_cast<uInt>(image.size() - n))));
    image.insert(image.end(), {'K', 'Z', 'V', 2});
    PutU32(image, static_cast<uint32_t>(n));
    Write(copy(), Signed(image, true));
    ImageContents contents;
    ASSERT_TRUE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &contents));
    EXPECT_EQ(testing_support::ReadBytes(contents.setupProgramPath), signedProgram);
    EXPECT_EQ(testing_support::ReadBytes(contents.databasePath), database);
    EXPECT_EQ(testing_support::ReadBytes(contents.dataCabinetPath), cabinet);
    // The unpacked program is a program without payload, which names the media files beside it.
    ImageContents again;
    ASSERT_TRUE(UnpackSingleFileImage(contents.setupProgramPath, "C:\\Media", temp.Path(), &again));
    EXPECT_EQ(again.databasePath, "C:\\Media\\tsdb.dat");
    // The kept fields count in the checksum.
    Bytes damaged = Signed(image, true);
    damaged[image.size() - 20] ^= 0x10;
    Write(copy(), damaged);
    ImageContents refused;
    EXPECT_FALSE(UnpackSingleFileImage(copy(), "C:\\Media", temp.Path(), &refused));
    EXPECT_TRUE(refused.damaged);
}

}  // namespace
