#pragma once

#include <cstdint>
#include <string>

// A single-file setup image: the setup program (N bytes), then the database's length M (uint32) and its
// bytes, then the data cabinet, ended by the 8-byte trailer "KZV", a zero byte and N. A program whose
// trailer gives a length of N + 8 carries no payload.

constexpr char kImageTag[4] = {'K', 'Z', 'V', '\0'};

struct ImageContents {
    std::string databasePath;
    std::string dataCabinetPath;
    std::string setupProgramPath;  // set only when the program was unpacked from a payload
};

// Reads the copy of the running program at copyPath. With a payload, writes "TSSetup.exe" (the program
// with a trailer of its own), "TSdb.dat" and "TSData.cab" into tempFolder (no cabinet when the payload
// ends with the database: media without data files); without one, names tsdb.dat and
// TSData1.cab beside the program. The copy is deleted when it was an image. False when the file is not an
// image or its lengths do not fit: the copy is then left where it is.
bool UnpackSingleFileImage(const std::string& copyPath, const std::string& moduleFolder,
                           const std::string& tempFolder, ImageContents* contents);

// Writes the data cabinet of the image at imagePath to tempFolder\TSData.cab; false when the file is not an
// image with a payload that holds a cabinet. On success *cabinetPath names the written file.
bool ExtractImageCabinet(const std::string& imagePath, const std::string& tempFolder, std::string* cabinetPath);
